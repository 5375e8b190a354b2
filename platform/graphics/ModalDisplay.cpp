#include "platform/graphics/ModalDisplay.h"

#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QVariant>
#include <QWidget>

namespace velmora {

namespace {
constexpr const char* ResultProperty = "velmoraModalResult";
constexpr const char* ModalProperty = "velmoraShownModal";

// Ends the loop when the window hides, is closed or is destroyed.
class TModalWatcher : public QObject {
public:
    explicit TModalWatcher(QEventLoop* loop) : FLoop(loop) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide)
            FLoop->quit();
        return false;
    }

private:
    QEventLoop* FLoop;
};
} // namespace

int ShowModal(QWidget* window) {
    if (window == nullptr)
        return mrCancel;
    QPointer<QWidget> guard(window);
    const Qt::WindowModality modality = window->windowModality();
    window->setProperty(ResultProperty, int(mrNone));
    window->setProperty(ModalProperty, true);
    if (window->isVisible())
        window->hide();
    window->setWindowModality(Qt::ApplicationModal);

    QEventLoop loop;
    TModalWatcher watcher(&loop);
    window->installEventFilter(&watcher);
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window->show();
    if (window->isVisible())
        loop.exec(QEventLoop::DialogExec);

    if (!guard)
        return mrCancel;
    window->removeEventFilter(&watcher);
    window->setProperty(ModalProperty, false);
    const bool wasVisible = window->isVisible();
    if (wasVisible)
        window->hide();
    window->setWindowModality(modality);
    const int result = window->property(ResultProperty).toInt();
    return result == mrNone ? int(mrCancel) : result;
}

void SetModalResult(QWidget* window, int AResult) {
    if (window == nullptr)
        return;
    window->setProperty(ResultProperty, AResult);
    if (AResult != mrNone)
        window->hide();
}

int ModalResult(const QWidget* window) {
    return window != nullptr ? window->property(ResultProperty).toInt() : int(mrNone);
}

bool IsShownModal(const QWidget* window) {
    return window != nullptr && window->property(ModalProperty).toBool();
}

} // namespace velmora
