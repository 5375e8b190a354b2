#include "skin/drawing/SkinTimer.h"

#include <QTimer>

namespace velmora {
namespace {

class TQtSkinTimer final : public TSkinTimer {
public:
    TQtSkinTimer() {
        QObject::connect(&FTimer, &QTimer::timeout, [this] {
            if (OnTimer)
                OnTimer();
        });
    }
    void SetInterval(int milliseconds) override { FTimer.setInterval(milliseconds); }
    int Interval() const override { return FTimer.interval(); }
    void Start() override { FTimer.start(); }
    void Stop() override { FTimer.stop(); }
    bool IsActive() const override { return FTimer.isActive(); }

private:
    QTimer FTimer;
};

TSkinTimerFactory& Factory() {
    static TSkinTimerFactory factory;
    return factory;
}

} // namespace

std::unique_ptr<TSkinTimer> CreateSkinTimer() {
    if (Factory())
        return Factory()();
    return std::make_unique<TQtSkinTimer>();
}

void SetSkinTimerFactory(TSkinTimerFactory factory) {
    Factory() = std::move(factory);
}

} // namespace velmora
