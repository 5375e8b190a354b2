#pragma once

#include "skin/controls/SkinControl.h"

#include <QString>
#include <functional>

namespace velmora::gallery {

// A translucent card with a heading; the form shows through it.
class TGalleryPanel : public TSkinCustomControl {
public:
    TGalleryPanel(const QString& heading, QWidget* parent);
    QString ClassName() const override { return QStringLiteral("TGalleryPanel"); }

protected:
    void CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) override;

private:
    QString FHeading;
};

// Text only: everything around the glyphs is the parent's picture.
class TGalleryLabel : public TSkinCustomControl {
public:
    TGalleryLabel(const QString& text, QWidget* parent);
    QString ClassName() const override { return QStringLiteral("TGalleryLabel"); }
    void SetText(const QString& Value);

protected:
    void CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) override;

private:
    QString FText;
};

// A rounded button with a hover and a pressed look.
class TGalleryButton : public TSkinCustomControl {
public:
    TGalleryButton(const QString& caption, QWidget* parent);
    QString ClassName() const override { return QStringLiteral("TGalleryButton"); }
    std::function<void()> OnClick;

protected:
    void CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetHover(bool Value);
    void SetDown(bool Value);
    QString FCaption;
    bool FHover = false;
    bool FDown = false;
};

} // namespace velmora::gallery
