#include "installer/wizard/LicencePicture.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>

namespace velmora {

TLicencePicture::TLicencePicture(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The viewer may be the first window made with a skinned accessible in it.
    InstallSkinAccessibleFactory();
}

void TLicencePicture::SetPicture(const TGPBitmap& APicture) {
    FLoad = nullptr;
    FPicture = APicture;
    if (FPicture.IsNull()) {
        clear();
        return;
    }
    setPixmap(QPixmap::fromImage(FPicture.Image()));
    setFixedSize(FPicture.Width(), FPicture.Height());
}

void TLicencePicture::SetPictureSource(const QSize& ALogicalSize,
                                       std::function<TGPBitmap()> ALoad) {
    FPicture = TGPBitmap(QImage());
    clear();
    FLoad = std::move(ALoad);
    if (ALogicalSize.isValid())
        setFixedSize(ALogicalSize);
    if (FLoad && isVisible())
        LoadPicture();
}

const TGPBitmap& TLicencePicture::Picture() {
    LoadPicture();
    return FPicture;
}

void TLicencePicture::LoadPicture() {
    if (!FLoad)
        return;
    const std::function<TGPBitmap()> load = std::move(FLoad);
    FLoad = nullptr;
    SetPicture(load());
}

void TLicencePicture::showEvent(QShowEvent* event) {
    // Before the first paint, so the label paints the picture and never an empty frame.
    LoadPicture();
    QLabel::showEvent(event);
}

void TLicencePicture::paintEvent(QPaintEvent* event) {
    LoadPicture();
    if (FPicture.IsNull()) {
        QLabel::paintEvent(event);
        return;
    }
    const qreal ratio = devicePixelRatio();
    const QImage& shown = FPicture.ImageFor(ratio);
    QPainter painter(this);
    // A rendering of exactly the screen's ratio meets its pixels one to one; any other is
    // filtered, never enlarged by repeating pixels.
    painter.setRenderHint(QPainter::SmoothPixmapTransform,
                          !SameRatio(shown.devicePixelRatio(), ratio));
    painter.drawImage(QRectF(0, 0, FPicture.Width(), FPicture.Height()), shown,
                      QRectF(shown.rect()));
}

} // namespace velmora
