#include "platform/graphics/GPBitmap.h"

#include <QColor>

namespace velmora {

QImage::Format ToQImageFormat(TGPPixelFormat format) {
    switch (format) {
    case TGPPixelFormat::Format24bppRGB:
        return QImage::Format_BGR888;
    case TGPPixelFormat::Format32bppRGB:
        return QImage::Format_RGB32;
    case TGPPixelFormat::Format32bppPARGB:
        return QImage::Format_ARGB32_Premultiplied;
    case TGPPixelFormat::Format32bppARGB:
        break;
    }
    return QImage::Format_ARGB32;
}

TGPPixelFormat FromQImageFormat(QImage::Format format) {
    switch (format) {
    case QImage::Format_BGR888:
        return TGPPixelFormat::Format24bppRGB;
    case QImage::Format_RGB32:
        return TGPPixelFormat::Format32bppRGB;
    case QImage::Format_ARGB32_Premultiplied:
        return TGPPixelFormat::Format32bppPARGB;
    default:
        return TGPPixelFormat::Format32bppARGB;
    }
}

void SetSkinResolution(QImage& image) {
    // 96 dpi expressed in dots per metre, rounded as the image header stores it.
    const int dotsPerMeter = qRound(SkinDotsPerInch / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
}

bool IsAllocatableSize(int width, int height) {
    return width > 0 && height > 0 && width <= MaxBitmapSide && height <= MaxBitmapSide &&
           qint64(width) * height * 4 <= MaxBitmapBytes;
}

TGPBitmap::TGPBitmap(int width, int height)
    : FImage(IsAllocatableSize(width, height) ? QImage(width, height, QImage::Format_ARGB32)
                                              : QImage()) {
    if (!FImage.isNull()) {
        FImage.fill(Qt::transparent);
        SetSkinResolution(FImage);
    }
}

TGPBitmap::TGPBitmap(QImage image) : FImage(std::move(image)) {
    if (!FImage.isNull())
        SetSkinResolution(FImage);
}

TGPBitmap::TGPBitmap(std::vector<QImage> frames, std::vector<int> delaysMs, QString rawFormat)
    : FRawFormat(std::move(rawFormat)) {
    if (frames.empty())
        return;
    FImage = frames.front();
    if (!FImage.isNull())
        SetSkinResolution(FImage);
    if (frames.size() > 1) {
        delaysMs.resize(frames.size(), 0);
        FFrames = std::make_unique<TFrames>(TFrames{std::move(frames), std::move(delaysMs)});
        FFrames->Images.front() = FImage;
    }
}

int TGPBitmap::FrameCount() const {
    if (FFrames)
        return static_cast<int>(FFrames->Images.size());
    return FImage.isNull() ? 0 : 1;
}

bool TGPBitmap::SelectActiveFrame(int index) {
    if (index < 0 || index >= FrameCount())
        return false;
    if (!FFrames || index == FActiveFrame)
        return true;
    FFrames->Images[static_cast<std::size_t>(FActiveFrame)] = FImage;
    FImage = FFrames->Images[static_cast<std::size_t>(index)];
    if (!FImage.isNull())
        SetSkinResolution(FImage);
    FActiveFrame = index;
    return true;
}

int TGPBitmap::FrameDelay(int index) const {
    if (!FFrames || index < 0 || index >= FrameCount())
        return 0;
    return FFrames->DelaysMs[static_cast<std::size_t>(index)];
}

QRgb TGPBitmap::GetPixel(int x, int y) const {
    if (!FImage.valid(x, y))
        return 0;
    if (FImage.format() == QImage::Format_ARGB32)
        return reinterpret_cast<const QRgb*>(FImage.constScanLine(y))[x];
    return FImage.pixelColor(x, y).rgba();
}

void TGPBitmap::SetPixel(int x, int y, QRgb argb) {
    if (!FImage.valid(x, y))
        return;
    if (FImage.format() == QImage::Format_ARGB32) {
        reinterpret_cast<QRgb*>(FImage.scanLine(y))[x] = argb;
        return;
    }
    FImage.setPixelColor(x, y, QColor::fromRgba(argb));
}

IGPBitmap NewGPBitmap(int width, int height) {
    if (!IsAllocatableSize(width, height))
        return {};
    auto bitmap = std::make_shared<TGPBitmap>(width, height);
    if (bitmap->IsNull())
        return {}; // out of memory
    return bitmap;
}

} // namespace velmora
