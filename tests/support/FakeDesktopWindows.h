#pragma once

#include "platform/graphics/DesktopWindows.h"

#include <QPoint>
#include <vector>

class QWindow;

namespace velmora::testing {

// A window system a test describes: whether windows can be placed and a compositing manager
// runs, which the test can start and stop. It is the current one while it lives. Watched
// windows' frames move and map when the test says so, as a window manager would move them
// interactively; stacking requests are recorded.
class TFakeDesktopWindows : public TDesktopWindows {
public:
    TFakeDesktopWindows(bool canPlaceWindows, bool compositor);
    ~TFakeDesktopWindows() override;

    bool CanPlaceWindows() const override { return FCanPlace; }
    bool HasCompositor() const override { return FCompositor; }
    std::unique_ptr<TFrameWatch> WatchFrame(QWindow& window, TFrameWatchEvents events) override;

    // A compositing manager starts or stops; listeners are told.
    void SetCompositor(bool value);
    // The frame of window moves to put window's top-left at topLeft, or is mapped or unmapped.
    void MoveFrame(const QWindow& window, const QPoint& topLeft);
    void MapFrame(const QWindow& window, bool mapped);

    struct TStackRequest {
        const QWindow* Companion;
        const QWindow* Below;
        bool CompanionVisible;
    };
    const std::vector<TStackRequest>& StackRequests() const { return FStackRequests; }
    void ClearStackRequests() { FStackRequests.clear(); }
    int WatchCount() const { return int(FWatches.size()); }
    // How often a companion was introduced to its window.
    int AccompanyCount() const { return FAccompanied; }

private:
    class TWatch;
    bool FCanPlace;
    bool FCompositor;
    std::vector<TWatch*> FWatches;
    std::vector<TStackRequest> FStackRequests;
    int FAccompanied = 0;
};

} // namespace velmora::testing
