#include "skin/widgets/SkinImage.h"

#include "skin/drawing/GdiSkinHelper.h"

namespace velmora {

TSkinImage::TSkinImage(QWidget* parent) : TSkinImageBox(parent) {
    resize(105, 105);
}

TSkinImage::~TSkinImage() = default;

void TSkinImage::SetPicture(const QImage& Value) {
    FPicture = Value;
    PictureChanged();
    RepaintSelfImage();
}

void TSkinImage::PictureChanged() {
    GuardedStep(*this, QStringLiteral("PictureChanged"), [&] {
        if (FPicture.isNull())
            return;
        const IGPBitmap bitmap = TSkinHelper::CreateBitmap(FPicture);
        if (!bitmap)
            return;
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
