#include "installer/wizard/WizardImageButton.h"

#include <QMouseEvent>

namespace velmora {

TWizardImageButton::TWizardImageButton(QWidget* parent) : TSkinImage(parent) {
    setCursor(Qt::PointingHandCursor);
}

void TWizardImageButton::CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) {
    const qreal opacity = Graphics.Painter().opacity();
    if (!isEnabled())
        Graphics.Painter().setOpacity(opacity * DisabledOpacity);
    TSkinImage::CustomPaint(Graphics, ADrawRect);
    Graphics.Painter().setOpacity(opacity);
}

void TWizardImageButton::enterEvent(QEnterEvent* event) {
    TSkinImage::enterEvent(event);
    if (OnMouseEnter)
        OnMouseEnter();
}

void TWizardImageButton::leaveEvent(QEvent* event) {
    TSkinImage::leaveEvent(event);
    if (OnMouseLeave)
        OnMouseLeave();
}

void TWizardImageButton::mousePressEvent(QMouseEvent* event) {
    TSkinImage::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && OnMouseDown)
        OnMouseDown();
}

void TWizardImageButton::changeEvent(QEvent* event) {
    TSkinImage::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        RepaintSelfImage();
}

} // namespace velmora
