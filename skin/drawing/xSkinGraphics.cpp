#include "skin/drawing/xSkinGraphics.h"

#include "platform/graphics/PictureDecoder.h"

#include <QFile>
#include <QImageWriter>

namespace velmora {

TGdipBitmap::TGdipBitmap(int Width, int Height) {
    Replace(std::make_unique<TGPBitmap>(Width, Height));
}

TGdipBitmap::TGdipBitmap(int Width, int Height, int Stride, TGPPixelFormat Format, uchar* Bits) {
    if (Bits == nullptr || Width <= 0 || Height <= 0) {
        Replace(std::make_unique<TGPBitmap>(QImage()));
        return;
    }
    Replace(
        std::make_unique<TGPBitmap>(QImage(Bits, Width, Height, Stride, ToQImageFormat(Format))));
}

TGdipBitmap::TGdipBitmap(const QString& FileName) {
    QImage image;
    QFile file(FileName);
    if (file.open(QIODevice::ReadOnly)) {
        TDecodedPicture picture = DecodePicture(file.readAll());
        if (picture.Ok())
            image = std::move(picture.Frames.front());
    }
    Replace(std::make_unique<TGPBitmap>(image));
}

TGdipBitmap::TGdipBitmap(const QIcon& Icon) {
    QSize size(32, 32);
    for (const QSize& available : Icon.availableSizes()) {
        if (available.width() * available.height() > size.width() * size.height())
            size = available;
    }
    QImage image;
    if (!Icon.isNull())
        image = Icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
    Replace(std::make_unique<TGPBitmap>(image));
}

TGdipBitmap::TGdipBitmap(const TGPBitmap& Bitmap) {
    Assign(Bitmap);
}

TGdipBitmap::TGdipBitmap(const TGdipBitmap& Bitmap) {
    if (Bitmap.FGPBitmap)
        Assign(*Bitmap.FGPBitmap);
    else
        Replace(std::make_unique<TGPBitmap>(QImage()));
}

TGdipBitmap::~TGdipBitmap() {
    UnLockBits();
}

std::unique_ptr<TGdipBitmap> TGdipBitmap::CreateFromBitmap(std::unique_ptr<TGPBitmap> Bitmap) {
    std::unique_ptr<TGdipBitmap> result(new TGdipBitmap());
    result->Replace(Bitmap ? std::move(Bitmap) : std::make_unique<TGPBitmap>(QImage()));
    return result;
}

void TGdipBitmap::Replace(std::unique_ptr<TGPBitmap> bitmap) {
    UnLockBits();
    FGPBitmap = std::move(bitmap);
    FIsLock = false;
    FBits = nullptr;
    FBitmapData = {};
    FWidth = FGPBitmap->Width();
    FHeight = FGPBitmap->Height();
}

void TGdipBitmap::ReCreate(int Width, int Height) {
    if (FGPBitmap && Width == FWidth && Height == FHeight)
        return;
    Replace(std::make_unique<TGPBitmap>(Width, Height));
}

void TGdipBitmap::Assign(const TGPBitmap& Bitmap) {
    // A deep copy, so the clone never shares pixels (or caller-owned memory) with the source.
    QImage copy = Bitmap.Image().copy();
    Replace(std::make_unique<TGPBitmap>(std::move(copy)));
}

void TGdipBitmap::Assign(const TGPBitmap& Bitmap, int Width, int Height) {
    QImage thumbnail;
    if (!Bitmap.IsNull() && Width > 0 && Height > 0)
        thumbnail = Bitmap.Image()
                        .convertToFormat(QImage::Format_ARGB32)
                        .scaled(Width, Height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    Replace(std::make_unique<TGPBitmap>(std::move(thumbnail)));
}

void TGdipBitmap::LockBits(TGPPixelFormat PixelFormat) {
    if (FIsLock || !FGPBitmap || FGPBitmap->IsNull())
        return;
    QImage& image = FGPBitmap->Image();
    const QImage::Format wanted = ToQImageFormat(PixelFormat);
    QImage* target = &image;
    if (image.format() != wanted) {
        FLockedCopy = image.convertToFormat(wanted);
        target = &FLockedCopy;
    }
    FBits = target->bits();
    FBitmapData = {target->width(), target->height(), static_cast<int>(target->bytesPerLine()),
                   PixelFormat, FBits};
    FIsLock = true;
}

void TGdipBitmap::UnLockBits() {
    if (!FIsLock)
        return;
    if (!FLockedCopy.isNull()) {
        QImage& image = FGPBitmap->Image();
        image = FLockedCopy.convertToFormat(image.format());
        FLockedCopy = QImage();
    }
    FIsLock = false;
    FBits = nullptr;
    FBitmapData = {};
}

bool TGdipBitmap::SaveToFile(const QString& FileName, const QByteArray& Encoder) const {
    if (!FGPBitmap || FGPBitmap->IsNull())
        return false;
    QImageWriter writer(FileName, Encoder);
    return writer.write(FGPBitmap->Image());
}

} // namespace velmora
