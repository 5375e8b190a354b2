#pragma once

#include <QImage>
#include <QRect>
#include <QRectF>
#include <QSize>

namespace velmora {

// Geometry of the skin engine is in logical pixels; a picture or buffer may hold more device
// pixels per logical pixel (its ratio, QImage::devicePixelRatio). These helpers are the one
// place where the two meet, so a rectangle of one picture is never read as pixels of another.

// Ratios within floating-point noise of each other are the same ratio.
bool SameRatio(qreal a, qreal b);

// The ratio a surface is made at for a window of ratio AWindowRatio: at least 1 (a buffer never
// holds fewer pixels than its logical size), at most 8, and 1 for anything not a number.
qreal SurfaceRatio(qreal AWindowRatio);

// The pixel size of a surface of ALogical logical pixels at ARatio: rounded up, so every
// logical pixel is covered.
QSize DeviceSizeFor(const QSize& ALogical, qreal ARatio);

// The logical size a picture covers: its pixels over its ratio, rounded down (the inverse of
// DeviceSizeFor for ratios of 1 or more). A picture of ratio 1 covers exactly its pixels.
QSize LogicalSize(const QImage& AImage);
inline QRect LogicalRect(const QImage& AImage) {
    return QRect(QPoint(0, 0), LogicalSize(AImage));
}

// The pixels of a picture of ratio ARatio that a logical rectangle covers.
QRectF PixelRectF(const QRectF& ALogical, qreal ARatio);
// The same, widened to whole pixels and kept on the picture.
QRect PixelRect(const QRect& ALogical, const QImage& AImage);

// A transparent picture of ALogical logical pixels at ARatio, in AFormat and at the skin
// resolution; null for a size no bitmap may have or when memory is short.
QImage NewDeviceImage(const QSize& ALogical, qreal ARatio,
                      QImage::Format AFormat = QImage::Format_ARGB32_Premultiplied);

// The logical part ASource of AImage as a picture of its own, at AImage's ratio.
QImage CopyLogical(const QImage& AImage, const QRect& ASource);

} // namespace velmora
