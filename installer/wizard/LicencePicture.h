#pragma once

#include "platform/graphics/GPBitmap.h"
#include "skin/widgets/SkinWidgetSupport.h"

#include <QLabel>

namespace velmora {

// The licence viewer's picture: a label showing the licence picture at its logical size. It
// paints the rendering that fits the screen it is on (the same layout with more pixels), so
// the text is as sharp as the screen allows; pixmap() stays the plain picture. Screen
// readers read it as a document, "许可协议", whose text is the licence's words.
class TLicencePicture : public QLabel, public ISkinAccessible {
public:
    explicit TLicencePicture(QWidget* parent = nullptr);

    void SetPicture(const TGPBitmap& APicture);
    const TGPBitmap& Picture() const { return FPicture; }
    void SetWords(const QString& AWords) { FWords = AWords; }

    QAccessible::Role AccessibleRole() const override { return QAccessible::Document; }
    QString AccessibleText() const override { return QStringLiteral("许可协议"); }
    QString AccessibleWords() const override { return FWords; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TGPBitmap FPicture{QImage()};
    QString FWords;
};

} // namespace velmora
