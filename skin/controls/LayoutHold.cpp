#include "skin/controls/LayoutHold.h"

#include <QLayout>
#include <QWidget>

namespace velmora {

void SetLayoutHeld(QWidget& widget, bool held) {
    QLayout* layout = widget.layout();
    if (layout == nullptr)
        return;
    layout->setEnabled(!held);
    if (!held) {
        layout->invalidate();
        layout->activate();
    }
}

} // namespace velmora
