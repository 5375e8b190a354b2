#include "skin/controls/SkinSystemButton.h"

namespace velmora {

TSkinSystemButton::TSkinSystemButton(QWidget* parent) : TFormDrawSkinCustomControl(parent) {}

void TSkinSystemButton::SetClicked(bool Value) {
    if (FClicked == Value)
        return;
    FClicked = Value;
    Repaint();
}

void TSkinSystemButton::SetBitmap(IGPBitmap& field, const IGPBitmap& Value) {
    if (field == Value)
        return;
    field = Value;
    Repaint();
}

IGPBitmap TSkinSystemButton::CurrentSelfBitmap() const {
    if (FMouseDown)
        return FClicked ? FClickedBitmapDown : FNormalBitmapDown;
    if (FMouseEnter)
        return FClicked ? FClickedBitmapHover : FNormalBitmapHover;
    return CurrentNormalBitmap();
}

IGPBitmap TSkinSystemButton::CurrentNormalBitmap() const {
    return FClicked ? FClickedBitmapNormal : FNormalBitmapNormal;
}

void TSkinSystemButton::PaintSelfImage(TGPGraphics& Graphics, const TGPRect&) {
    Graphics.Clear(0);
    if (const IGPBitmap bitmap = CurrentSelfBitmap())
        Graphics.DrawImage(*bitmap, 0, 0);
}

void TSkinSystemButton::PaintNormalImage(TGPGraphics& Graphics, const TGPRect&) {
    Graphics.Clear(0);
    if (const IGPBitmap bitmap = CurrentNormalBitmap())
        Graphics.DrawImage(*bitmap, 0, 0);
}

void TSkinSystemButton::MouseEnter() {
    FMouseEnter = true;
}

void TSkinSystemButton::MouseLeave() {
    FMouseEnter = false;
}

void TSkinSystemButton::MouseDownChanged(bool down) {
    if (FMouseDown == down)
        return;
    FMouseDown = down;
    RepaintSelfImage();
}

void TSkinSystemButton::Click() {
    DoSystemClick();
    if (OnClick)
        OnClick();
}

void TSkinSystemButton::DoSystemClick() {
    SetClicked(!FClicked);
}

void TSysMinBtn::DoSystemClick() {
    TSkinSystemButton::DoSystemClick();
    if (QWidget* form = ParentForm(); form != nullptr && form != this)
        form->setWindowState((form->windowState() & ~Qt::WindowMaximized) | Qt::WindowMinimized);
}

void TSysMaxBtn::DoSystemClick() {
    TSkinSystemButton::DoSystemClick();
    QWidget* form = ParentForm();
    if (form == nullptr || form == this || form->isMinimized())
        return;
    if (form->isMaximized())
        form->showNormal();
    else
        form->showMaximized();
}

void TSysCloseBtn::DoSystemClick() {
    TSkinSystemButton::DoSystemClick();
    if (QWidget* form = ParentForm(); form != nullptr && form != this)
        form->close();
}

} // namespace velmora
