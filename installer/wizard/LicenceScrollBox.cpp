#include "installer/wizard/LicenceScrollBox.h"

#include <QKeyEvent>
#include <QScrollBar>

namespace velmora {

TLicenceScrollBox::TLicenceScrollBox(QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Keyboard readers reach the text without a mouse.
    setFocusPolicy(Qt::StrongFocus);
}

void TLicenceScrollBox::keyPressEvent(QKeyEvent* event) {
    QScrollBar* bar = verticalScrollBar();
    switch (event->key()) {
    case Qt::Key_Home:
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
        return;
    case Qt::Key_End:
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        return;
    case Qt::Key_Space:
        bar->triggerAction((event->modifiers() & Qt::ShiftModifier)
                               ? QAbstractSlider::SliderPageStepSub
                               : QAbstractSlider::SliderPageStepAdd);
        return;
    default:
        QScrollArea::keyPressEvent(event);
    }
}

} // namespace velmora
