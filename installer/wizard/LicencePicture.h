#pragma once

#include "platform/graphics/GPBitmap.h"
#include "skin/widgets/SkinWidgetSupport.h"

#include <QLabel>
#include <functional>

namespace velmora {

// The licence viewer's picture: a label showing the licence picture at its logical size. It
// paints the rendering that fits the screen it is on (the same layout with more pixels), so
// the text is as sharp as the screen allows; pixmap() stays the plain picture. Screen
// readers read it as a document, "许可协议", whose text is the licence's words. A picture
// given by its source is decoded when the label is first shown or asked for its picture, not
// when it is made: the viewer is built at start-up, and its picture is the largest the wizard
// has.
class TLicencePicture : public QLabel, public ISkinAccessible {
public:
    explicit TLicencePicture(QWidget* parent = nullptr);

    void SetPicture(const TGPBitmap& APicture);
    // The label takes ALogicalSize at once; ALoad gives the picture when it is first needed.
    void SetPictureSource(const QSize& ALogicalSize, std::function<TGPBitmap()> ALoad);
    const TGPBitmap& Picture();
    bool PictureLoaded() const { return !FLoad; }
    void SetWords(const QString& AWords) { FWords = AWords; }

    QAccessible::Role AccessibleRole() const override { return QAccessible::Document; }
    QString AccessibleText() const override { return QStringLiteral("许可协议"); }
    QString AccessibleWords() const override { return FWords; }

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void LoadPicture();

    TGPBitmap FPicture{QImage()};
    std::function<TGPBitmap()> FLoad;
    QString FWords;
};

} // namespace velmora
