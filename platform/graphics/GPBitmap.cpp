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

void TGPBitmap::SetFrames(std::shared_ptr<const TGPFrameSet> frames) {
    FFrames = std::move(frames);
    FActiveFrame = 0;
    if (FFrames && !FFrames->Frames.empty()) {
        FImage = FFrames->Frames.front();
        SetSkinResolution(FImage);
    }
}

const QString& TGPBitmap::RawFormat() const {
    static const QString none;
    return FFrames ? FFrames->RawFormat : none;
}

int TGPBitmap::FrameCount() const {
    return FFrames && !FFrames->Frames.empty() ? static_cast<int>(FFrames->Frames.size()) : 1;
}

void TGPBitmap::SelectActiveFrame(int index) {
    if (index < 0 || index >= FrameCount())
        throw EGPBitmapError(
            QStringLiteral("frame %1 of a picture of %2 frames").arg(index).arg(FrameCount()));
    if (!FFrames || FFrames->Frames.empty() || index == FActiveFrame)
        return;
    // The frame's pixels are shared with the frame set until someone writes to them.
    FImage = FFrames->Frames[static_cast<size_t>(index)];
    SetSkinResolution(FImage);
    FActiveFrame = index;
}

const std::vector<quint32>& TGPBitmap::FrameDelays() const {
    if (!FFrames || !FFrames->HasDelays)
        throw EGPBitmapError(QStringLiteral("the picture holds no frame delay list"));
    return FFrames->Delays;
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
