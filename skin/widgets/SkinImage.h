#pragma once

#include "skin/widgets/SkinImageBox.h"

#include <QImage>
#include <memory>
#include <vector>

namespace velmora {

// An image box fed from a picture property. The picture is always drawn stretched
// over the control; Stretch and Center are stored only.
class TSkinImage : public TSkinImageBox {
public:
    explicit TSkinImage(QWidget* parent = nullptr);
    ~TSkinImage() override;

    QString ClassName() const override { return QStringLiteral("TSkinImage"); }

    const QImage& Picture() const { return FPicture; }
    // Copies the picture (its change notification converts it), then repaints.
    void SetPicture(const QImage& Value);
    // The same with the picture's renderings at higher ratios (its variants), which the
    // control is then drawn from on screens they fit.
    void SetPicture(const TGPBitmap& Value);
    // The picture with those renderings, as the second SetPicture takes it.
    TGPBitmap PictureBitmap() const;
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value) { FStretch = Value; }
    bool Center() const { return FCenter; }
    void SetCenter(bool Value) { FCenter = Value; }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value) { FAutoSize = Value; }

    // A drawing surface on Image; without an image, a transparent one of the control's size
    // is made first. Null when no image can be made (a control of no size).
    std::unique_ptr<TGPGraphics> ImageGraphics();

protected:
    void PictureChanged();

private:
    QImage FPicture;
    std::vector<QImage> FPictureVariants;
    bool FStretch = false;
    bool FCenter = false;
    bool FAutoSize = false;
};

} // namespace velmora
