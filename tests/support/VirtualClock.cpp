#include "tests/support/VirtualClock.h"

#include <algorithm>

namespace velmora::testing {

class TVirtualClock::TVirtualTimer final : public TSkinTimer {
public:
    explicit TVirtualTimer(TVirtualClock* clock) : FClock(clock) {
        FClock->FTimers.push_back(this);
    }
    ~TVirtualTimer() override {
        auto& timers = FClock->FTimers;
        timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
    }
    // As a running QTimer does, a running timer starts its new interval from now.
    void SetInterval(int milliseconds) override {
        FInterval = milliseconds;
        if (FActive)
            FDue = FClock->FNow + FInterval;
    }
    int Interval() const override { return FInterval; }
    void Start() override {
        FActive = true;
        FDue = FClock->FNow + FInterval;
    }
    void Stop() override { FActive = false; }
    bool IsActive() const override { return FActive; }

    TVirtualClock* FClock;
    int FInterval = 0;
    bool FActive = false;
    qint64 FDue = 0;
};

TVirtualClock::TVirtualClock() {
    SetSkinTimerFactory([this] { return std::make_unique<TVirtualTimer>(this); });
}

TVirtualClock::~TVirtualClock() {
    SetSkinTimerFactory({});
}

void TVirtualClock::Advance(int milliseconds) {
    const qint64 end = FNow + milliseconds;
    for (;;) {
        TVirtualTimer* next = nullptr;
        for (TVirtualTimer* timer : FTimers) {
            if (timer->FActive && timer->FDue <= end &&
                (next == nullptr || timer->FDue < next->FDue))
                next = timer;
        }
        if (next == nullptr)
            break;
        FNow = next->FDue;
        next->FDue += std::max(1, next->FInterval); // a periodic timer runs again
        if (next->OnTimer)
            next->OnTimer();
    }
    FNow = end;
}

} // namespace velmora::testing
