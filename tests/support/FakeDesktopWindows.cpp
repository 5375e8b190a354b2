#include "tests/support/FakeDesktopWindows.h"

#include <QWindow>
#include <algorithm>

namespace velmora::testing {

class TFakeDesktopWindows::TWatch final : public TFrameWatch {
public:
    TWatch(TFakeDesktopWindows& owner, const QWindow& window, TFrameWatchEvents events)
        : Owner(owner), Window(&window), Events(std::move(events)) {
        Owner.FWatches.push_back(this);
    }
    ~TWatch() override {
        Owner.FWatches.erase(std::remove(Owner.FWatches.begin(), Owner.FWatches.end(), this),
                             Owner.FWatches.end());
    }
    void Accompany(QWindow& companion) override {
        ++Owner.FAccompanied;
        KeepBelow(companion);
    }
    void KeepBelow(QWindow& companion) override {
        Owner.FStackRequests.push_back({&companion, Window, companion.isVisible()});
    }

    TFakeDesktopWindows& Owner;
    const QWindow* Window;
    TFrameWatchEvents Events;
};

TFakeDesktopWindows::TFakeDesktopWindows(bool canPlaceWindows, bool compositor)
    : FCanPlace(canPlaceWindows), FCompositor(compositor) {
    SetCurrent(this);
}

TFakeDesktopWindows::~TFakeDesktopWindows() {
    if (&Current() == this)
        SetCurrent(nullptr);
}

std::unique_ptr<TFrameWatch> TFakeDesktopWindows::WatchFrame(QWindow& window,
                                                             TFrameWatchEvents events) {
    return std::make_unique<TWatch>(*this, window, std::move(events));
}

void TFakeDesktopWindows::SetCompositor(bool value) {
    FCompositor = value;
    NotifyListeners();
}

void TFakeDesktopWindows::MoveFrame(const QWindow& window, const QPoint& topLeft) {
    const std::vector<TWatch*> watches = FWatches;
    for (TWatch* watch : watches)
        if (watch->Window == &window && watch->Events.OnMoved)
            watch->Events.OnMoved(topLeft);
}

void TFakeDesktopWindows::MapFrame(const QWindow& window, bool mapped) {
    const std::vector<TWatch*> watches = FWatches;
    for (TWatch* watch : watches)
        if (watch->Window == &window && watch->Events.OnMapped)
            watch->Events.OnMapped(mapped);
}

} // namespace velmora::testing
