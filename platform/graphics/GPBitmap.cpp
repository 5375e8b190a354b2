#include "platform/graphics/GPBitmap.h"

#include <QColor>
#include <QPainter>

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

TGPBitmap::TGPBitmap(int width, int height, qreal ratio)
    : FImage(NewDeviceImage(QSize(width, height), SurfaceRatio(ratio), QImage::Format_ARGB32)) {}

TGPBitmap::TGPBitmap(QImage image) : FImage(std::move(image)) {
    if (!FImage.isNull())
        SetSkinResolution(FImage);
}

namespace {

// The device pixels of logical pixel (x, y) of image: a whole block at a ratio above 1.
QRect DeviceBlock(const QImage& image, int x, int y) {
    return PixelRect(QRect(x, y, 1, 1), image);
}

} // namespace

QRgb TGPBitmap::GetPixel(int x, int y) const {
    if (SameRatio(Ratio(), 1)) {
        if (!FImage.valid(x, y))
            return 0;
        if (FImage.format() == QImage::Format_ARGB32)
            return reinterpret_cast<const QRgb*>(FImage.constScanLine(y))[x];
        return FImage.pixelColor(x, y).rgba();
    }
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return 0;
    const QRect block = DeviceBlock(FImage, x, y);
    if (block.isEmpty())
        return 0;
    const int px = block.x();
    const int py = block.y();
    if (FImage.format() == QImage::Format_ARGB32)
        return reinterpret_cast<const QRgb*>(FImage.constScanLine(py))[px];
    return FImage.pixelColor(px, py).rgba();
}

void TGPBitmap::SetPixel(int x, int y, QRgb argb) {
    if (SameRatio(Ratio(), 1)) {
        if (!FImage.valid(x, y))
            return;
        FVariants.clear();
        if (FImage.format() == QImage::Format_ARGB32) {
            reinterpret_cast<QRgb*>(FImage.scanLine(y))[x] = argb;
            return;
        }
        FImage.setPixelColor(x, y, QColor::fromRgba(argb));
        return;
    }
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return;
    FVariants.clear();
    const QRect block = DeviceBlock(FImage, x, y);
    for (int py = block.top(); py <= block.bottom(); ++py)
        for (int px = block.left(); px <= block.right(); ++px) {
            if (FImage.format() == QImage::Format_ARGB32)
                reinterpret_cast<QRgb*>(FImage.scanLine(py))[px] = argb;
            else
                FImage.setPixelColor(px, py, QColor::fromRgba(argb));
        }
}

bool TGPBitmap::AddVariant(QImage variant) {
    const qreal ratio = variant.devicePixelRatio();
    // Exactly the pixels a surface of the picture's size at that ratio has (sides rounded up),
    // so the rendering covers the same logical rectangle.
    if (FImage.isNull() || variant.isNull() || ratio <= Ratio() || SameRatio(ratio, Ratio()) ||
        variant.size() != DeviceSizeFor(LogicalSize(FImage), ratio))
        return false;
    SetSkinResolution(variant);
    auto at = FVariants.begin();
    while (at != FVariants.end() && at->devicePixelRatio() < ratio &&
           !SameRatio(at->devicePixelRatio(), ratio))
        ++at;
    if (at != FVariants.end() && SameRatio(at->devicePixelRatio(), ratio))
        *at = std::move(variant);
    else
        FVariants.insert(at, std::move(variant));
    return true;
}

const QImage& TGPBitmap::ImageFor(qreal ARatio) const {
    if (FVariants.empty() || ARatio <= Ratio() || SameRatio(ARatio, Ratio()))
        return FImage;
    for (const QImage& variant : FVariants)
        if (variant.devicePixelRatio() >= ARatio || SameRatio(variant.devicePixelRatio(), ARatio))
            return variant;
    return FVariants.back();
}

void TGPBitmap::SetFrames(std::shared_ptr<const TGPFrameSet> frames) {
    FFrames = std::move(frames);
    FActiveFrame = 0;
    if (FFrames && !FFrames->Frames.empty()) {
        FVariants.clear();
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
    FVariants.clear();
    FImage = FFrames->Frames[static_cast<size_t>(index)];
    SetSkinResolution(FImage);
    FActiveFrame = index;
}

const std::vector<quint32>& TGPBitmap::FrameDelays() const {
    if (!FFrames || !FFrames->HasDelays)
        throw EGPBitmapError(QStringLiteral("the picture holds no frame delay list"));
    return FFrames->Delays;
}

IGPBitmap NewGPBitmap(int width, int height, qreal ratio) {
    if (!IsAllocatableSize(width, height))
        return {};
    auto bitmap = std::make_shared<TGPBitmap>(width, height, ratio);
    if (bitmap->IsNull())
        return {}; // out of memory
    return bitmap;
}

void CropVariants(const TGPBitmap& AFrom, const QRect& ASource, TGPBitmap& ATo) {
    for (const QImage& variant : AFrom.Variants()) {
        const QRect part = ASource & LogicalRect(variant);
        if (part.isEmpty())
            continue;
        QImage cut = NewDeviceImage(ASource.size(), variant.devicePixelRatio(), variant.format());
        if (cut.isNull())
            continue;
        QPainter painter(&cut);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QRectF(QRectF(part).translated(-ASource.topLeft())), variant,
                          PixelRectF(QRectF(part), variant.devicePixelRatio()));
        painter.end();
        ATo.AddVariant(std::move(cut));
    }
}

} // namespace velmora
