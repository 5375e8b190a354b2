#include "installer/wizard/WizardImageButton.h"

namespace velmora {

TWizardImageButton::TWizardImageButton(QWidget* parent) : TSkinImage(parent) {
    setCursor(Qt::PointingHandCursor);
    SetControlAction(TControlAction::Press);
}

void TWizardImageButton::CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) {
    const qreal opacity = Graphics.Painter().opacity();
    if (!isEnabled())
        Graphics.Painter().setOpacity(opacity * DisabledOpacity);
    TSkinImage::CustomPaint(Graphics, ADrawRect);
    Graphics.Painter().setOpacity(opacity);
}

void TWizardImageButton::ButtonLookChanged() {
    if (IsDown()) {
        if (OnMouseDown)
            OnMouseDown();
    } else if (MouseInControl()) {
        if (OnMouseEnter)
            OnMouseEnter();
    } else if (OnMouseLeave) {
        OnMouseLeave();
    }
}

void TWizardImageButton::changeEvent(QEvent* event) {
    TSkinImage::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        RepaintSelfImage();
}

} // namespace velmora
