#include "skin/controls/FocusCues.h"

#include <QVariant>
#include <QWidget>

namespace velmora {

namespace {
// A property of the top-level window, so every kind of window (skinned or not) carries it and
// it dies with the window.
constexpr const char* KFocusCues = "velmoraFocusCues";
} // namespace

bool FocusCuesShown(const QWidget& AWidget) {
    const QWidget* window = AWidget.window();
    return window != nullptr && window->property(KFocusCues).toBool();
}

bool ShowFocusCues(QWidget& AWidget) {
    QWidget* window = AWidget.window();
    if (window == nullptr || window->property(KFocusCues).toBool())
        return false;
    window->setProperty(KFocusCues, true);
    return true;
}

} // namespace velmora
