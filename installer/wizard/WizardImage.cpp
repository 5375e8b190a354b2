#include "installer/wizard/WizardImage.h"

#include <QMouseEvent>

namespace velmora {

void TWizardImage::enterEvent(QEnterEvent* event) {
    TSkinImage::enterEvent(event);
    if (OnMouseEnter)
        OnMouseEnter();
}

void TWizardImage::leaveEvent(QEvent* event) {
    TSkinImage::leaveEvent(event);
    if (OnMouseLeave)
        OnMouseLeave();
}

void TWizardImage::mousePressEvent(QMouseEvent* event) {
    // The pressed look first: the click that follows on release may close the form.
    if (event->button() == Qt::LeftButton && OnMouseDown)
        OnMouseDown();
    TSkinImage::mousePressEvent(event);
}

} // namespace velmora
