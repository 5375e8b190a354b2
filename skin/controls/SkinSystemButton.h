#pragma once

#include "skin/controls/SkinControl.h"

#include <functional>

namespace velmora {

// A title-bar button: three pictures (normal, hover, down) in two sets, the clicked set being
// used while Clicked is true.
class TSkinSystemButton : public TFormDrawSkinCustomControl {
public:
    explicit TSkinSystemButton(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TSkinSystemButton"); }

    bool Clicked() const { return FClicked; }
    void SetClicked(bool Value);
    bool MouseDown() const { return FMouseDown; }

    const IGPBitmap& NormalBitmapNormal() const { return FNormalBitmapNormal; }
    void SetNormalBitmapNormal(const IGPBitmap& Value) { SetBitmap(FNormalBitmapNormal, Value); }
    const IGPBitmap& NormalBitmapHover() const { return FNormalBitmapHover; }
    void SetNormalBitmapHover(const IGPBitmap& Value) { SetBitmap(FNormalBitmapHover, Value); }
    const IGPBitmap& NormalBitmapDown() const { return FNormalBitmapDown; }
    void SetNormalBitmapDown(const IGPBitmap& Value) { SetBitmap(FNormalBitmapDown, Value); }
    const IGPBitmap& ClickedBitmapNormal() const { return FClickedBitmapNormal; }
    void SetClickedBitmapNormal(const IGPBitmap& Value) { SetBitmap(FClickedBitmapNormal, Value); }
    const IGPBitmap& ClickedBitmapHover() const { return FClickedBitmapHover; }
    void SetClickedBitmapHover(const IGPBitmap& Value) { SetBitmap(FClickedBitmapHover, Value); }
    const IGPBitmap& ClickedBitmapDown() const { return FClickedBitmapDown; }
    void SetClickedBitmapDown(const IGPBitmap& Value) { SetBitmap(FClickedBitmapDown, Value); }

    // The picture the self image shows now, and the one the form shows while idle.
    IGPBitmap CurrentSelfBitmap() const;
    IGPBitmap CurrentNormalBitmap() const;

    // Raised after the system action.
    std::function<void()> OnClick;

    virtual void DoSystemClick();

protected:
    void PaintSelfImage(TGPGraphics& Graphics, const TGPRect& ADrawRect) override;
    void PaintNormalImage(TGPGraphics& Graphics, const TGPRect& ADrawRect) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDownChanged(bool down) override;
    void Click() override;

    // The form the button sits on.
    QWidget* ParentForm() const { return window(); }

private:
    void SetBitmap(IGPBitmap& field, const IGPBitmap& Value);

    bool FMouseEnter = false;
    bool FMouseDown = false;
    bool FClicked = false;
    IGPBitmap FNormalBitmapNormal, FNormalBitmapHover, FNormalBitmapDown;
    IGPBitmap FClickedBitmapNormal, FClickedBitmapHover, FClickedBitmapDown;
};

class TSysMinBtn : public TSkinSystemButton {
public:
    using TSkinSystemButton::TSkinSystemButton;
    QString ClassName() const override { return QStringLiteral("TSysMinBtn"); }
    void DoSystemClick() override;
};

class TSysMaxBtn : public TSkinSystemButton {
public:
    using TSkinSystemButton::TSkinSystemButton;
    QString ClassName() const override { return QStringLiteral("TSysMaxBtn"); }
    void DoSystemClick() override;
};

class TSysCloseBtn : public TSkinSystemButton {
public:
    using TSkinSystemButton::TSkinSystemButton;
    QString ClassName() const override { return QStringLiteral("TSysCloseBtn"); }
    void DoSystemClick() override;
};

} // namespace velmora
