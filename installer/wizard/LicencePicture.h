#pragma once

#include "platform/graphics/GPBitmap.h"

#include <QLabel>

namespace velmora {

// The licence viewer's picture: a label showing the licence picture at its logical size. It
// paints the rendering that fits the screen it is on (the same layout with more pixels), so
// the text is as sharp as the screen allows; pixmap() stays the plain picture.
class TLicencePicture : public QLabel {
public:
    explicit TLicencePicture(QWidget* parent = nullptr);

    void SetPicture(const TGPBitmap& APicture);
    const TGPBitmap& Picture() const { return FPicture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TGPBitmap FPicture{QImage()};
};

} // namespace velmora
