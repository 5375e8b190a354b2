#include "skin/widgets/SkinImage.h"

#include "skin/drawing/GdiSkinHelper.h"

namespace velmora {

TSkinImage::TSkinImage(QWidget* parent) : TSkinImageBox(parent) {
    resize(105, 105);
}

TSkinImage::~TSkinImage() = default;

void TSkinImage::SetPicture(const QImage& Value) {
    FPicture = Value;
    FPictureVariants.clear();
    PictureChanged();
    RepaintSelfImage();
}

void TSkinImage::SetPicture(const TGPBitmap& Value) {
    FPicture = Value.Image();
    FPictureVariants = Value.Variants();
    PictureChanged();
    RepaintSelfImage();
}

TGPBitmap TSkinImage::PictureBitmap() const {
    TGPBitmap picture(FPicture);
    for (const QImage& variant : FPictureVariants)
        picture.AddVariant(variant);
    return picture;
}

void TSkinImage::PictureChanged() {
    GuardedStep(*this, QStringLiteral("PictureChanged"), [&] {
        if (FPicture.isNull())
            return;
        const IGPBitmap bitmap = TSkinHelper::CreateBitmap(FPicture);
        if (!bitmap)
            return;
        for (const QImage& variant : FPictureVariants)
            bitmap->AddVariant(variant);
        LoadFromImage(bitmap, false);
        if (FAutoSize)
            resize(bitmap->Width(), bitmap->Height());
    });
}

std::unique_ptr<TGPGraphics> TSkinImage::ImageGraphics() {
    if (!FImage) {
        IGPBitmap bitmap = NewGPBitmap(width(), height());
        if (!bitmap)
            return nullptr;
        FImage = std::move(bitmap);
    }
    return std::make_unique<TGPGraphics>(*FImage);
}

} // namespace velmora
