#pragma once

#include "platform/system/Errors.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace velmora {

// A drawing that cannot be rendered or a picture that cannot be written; the message names
// the file and the fault.
VELMORA_DECLARE_ERROR(ESvgRenderError, EVelmoraError);

// Renders the SVG file at ASize, or at the size the drawing declares (its width and height)
// when ASize is empty, times AScale: a picture for screens of AScale device pixels per
// logical pixel, its sides rounded up to whole pixels. The result keeps its alpha channel.
QImage RenderSvg(const QString& ASvgPath, QSize ASize = QSize(), qreal AScale = 1);

// "2", "1.5" -> the number; 0 for anything that is not a scale from 0.25 to 8.
qreal ParseScale(const QString& AText);

// Writes AImage in the format its file name asks for: ".png" keeps the alpha channel;
// ".jpg"/".jpeg" flattens onto white, because a JPEG has no alpha and the pictures that
// use it are opaque backgrounds.
void SavePicture(const QImage& AImage, const QString& APath, int AJpegQuality = 92);

// "562x371" -> QSize(562, 371); an invalid size for anything else.
QSize ParseSize(const QString& AText);

} // namespace velmora
