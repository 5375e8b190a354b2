#include "installer/wizard/FirstEvent.h"

#include <QWidget>
#include <utility>

namespace velmora {

namespace {

class TFirstEvent final : public QObject {
public:
    TFirstEvent(QWidget& AWidget, QEvent::Type AType, std::function<void()> AAction)
        : QObject(&AWidget), FType(AType), FAction(std::move(AAction)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == FType) {
            watched->removeEventFilter(this);
            FAction();
            deleteLater();
        }
        return false;
    }

private:
    QEvent::Type FType;
    std::function<void()> FAction;
};

} // namespace

void OnFirstEvent(QWidget& AWidget, QEvent::Type AType, std::function<void()> AAction) {
    AWidget.installEventFilter(new TFirstEvent(AWidget, AType, std::move(AAction)));
}

} // namespace velmora
