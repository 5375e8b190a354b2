#pragma once

#include "platform/graphics/GPBitmap.h"

#include <QString>

namespace velmora {

// A picture of the wizard's forms, embedded under ":/forms/" (AName is relative to it, as
// "BaseMsgBox/Hint0.png"), with its renderings for screens of more device pixels per logical
// pixel ("BaseMsgBox/Hint0@1.5x.png", "...@2x.png") as variants; drawing picks the one that
// fits. A missing or undecodable picture gives a null bitmap and one skin engine log entry
// naming the form and the picture, so the form still opens without it; a rendering that is
// missing or does not match the picture is logged the same way and left out.
TGPBitmap LoadFormPicture(const QString& AName, const QString& AClassName,
                          const QString& AObjectName);
// The same without a log entry: null when the build carries no such picture.
TGPBitmap FindFormPicture(const QString& AName);
// The logical size of the picture AName, read from its header without decoding it; invalid
// when the build carries no such picture or it cannot be read.
QSize FormPictureSize(const QString& AName);

// The ratios the form pictures are rendered at besides 1.
inline constexpr qreal KFormPictureRatios[] = {1.5, 2};

} // namespace velmora
