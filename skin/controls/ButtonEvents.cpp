#include "skin/controls/ButtonEvents.h"

#include "skin/controls/ButtonBehaviour.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace velmora {

void FeedMouseButton(TButtonBehaviour& AButton, const QMouseEvent& AEvent, bool AInside) {
    if (AEvent.button() != Qt::LeftButton)
        return;
    switch (AEvent.type()) {
    case QEvent::MouseButtonPress:
        AButton.Press(AInside);
        break;
    case QEvent::MouseButtonRelease:
        AButton.Release(AInside);
        break;
    case QEvent::MouseButtonDblClick:
        AButton.DoublePress(AInside);
        break;
    default:
        break;
    }
}

bool FeedKeyPress(TButtonBehaviour& AButton, const QKeyEvent& AEvent, bool AReturnClicks) {
    switch (AEvent.key()) {
    case Qt::Key_Space:
        // A held key repeats its press; the click waits for the release.
        if (!AEvent.isAutoRepeat())
            AButton.KeyDown();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!AReturnClicks)
            return false;
        AButton.KeyActivate();
        return true;
    case Qt::Key_Escape:
        if (!AButton.KeyPressed())
            return false;
        AButton.Cancel();
        return true;
    default:
        return false;
    }
}

bool FeedKeyRelease(TButtonBehaviour& AButton, const QKeyEvent& AEvent) {
    if (AEvent.key() != Qt::Key_Space || AEvent.isAutoRepeat() || !AButton.KeyPressed())
        return false;
    AButton.KeyUp();
    return true;
}

bool IsKeyboardFocusReason(Qt::FocusReason AReason) {
    return AReason == Qt::TabFocusReason || AReason == Qt::BacktabFocusReason ||
           AReason == Qt::ShortcutFocusReason;
}

} // namespace velmora
