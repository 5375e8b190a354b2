#include "platform/graphics/DevicePixels.h"

#include "platform/graphics/GPBitmap.h"

#include <QtMath>
#include <cmath>

namespace velmora {

namespace {
constexpr qreal KMaxSurfaceRatio = 8;
// A device size of n pixels at ratio r covers n / r logical pixels; the quotient of an exact
// product can land a hair below the whole number.
constexpr qreal KRatioNoise = 1e-6;
} // namespace

bool SameRatio(qreal a, qreal b) {
    return std::abs(a - b) < KRatioNoise;
}

qreal SurfaceRatio(qreal AWindowRatio) {
    if (!std::isfinite(AWindowRatio) || AWindowRatio < 1)
        return 1;
    return std::min(AWindowRatio, KMaxSurfaceRatio);
}

QSize DeviceSizeFor(const QSize& ALogical, qreal ARatio) {
    if (SameRatio(ARatio, 1))
        return ALogical;
    return QSize(qCeil(ALogical.width() * ARatio - KRatioNoise),
                 qCeil(ALogical.height() * ARatio - KRatioNoise));
}

QSize LogicalSize(const QImage& AImage) {
    const qreal ratio = AImage.devicePixelRatio();
    if (SameRatio(ratio, 1) || ratio <= 0)
        return AImage.size();
    return QSize(qFloor(AImage.width() / ratio + KRatioNoise),
                 qFloor(AImage.height() / ratio + KRatioNoise));
}

QRectF PixelRectF(const QRectF& ALogical, qreal ARatio) {
    if (SameRatio(ARatio, 1))
        return ALogical;
    return QRectF(ALogical.x() * ARatio, ALogical.y() * ARatio, ALogical.width() * ARatio,
                  ALogical.height() * ARatio);
}

QRect PixelRect(const QRect& ALogical, const QImage& AImage) {
    const qreal ratio = AImage.devicePixelRatio();
    if (SameRatio(ratio, 1))
        return ALogical & AImage.rect();
    const QRectF exact = PixelRectF(QRectF(ALogical), ratio);
    const int left = qFloor(exact.left() + KRatioNoise);
    const int top = qFloor(exact.top() + KRatioNoise);
    const int right = qCeil(exact.right() - KRatioNoise);
    const int bottom = qCeil(exact.bottom() - KRatioNoise);
    return QRect(left, top, right - left, bottom - top) & AImage.rect();
}

QImage NewDeviceImage(const QSize& ALogical, qreal ARatio, QImage::Format AFormat) {
    const QSize pixels = DeviceSizeFor(ALogical, ARatio);
    if (!IsAllocatableSize(pixels.width(), pixels.height()))
        return {};
    QImage image(pixels, AFormat);
    if (image.isNull())
        return {};
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(ARatio);
    SetSkinResolution(image);
    return image;
}

QImage CopyLogical(const QImage& AImage, const QRect& ASource) {
    const qreal ratio = AImage.devicePixelRatio();
    if (SameRatio(ratio, 1))
        return AImage.copy(ASource);
    QImage part = AImage.copy(PixelRect(ASource, AImage));
    part.setDevicePixelRatio(ratio);
    return part;
}

} // namespace velmora
