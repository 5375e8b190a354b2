#pragma once

#include <QPoint>
#include <functional>
#include <map>
#include <memory>

class QWindow;

namespace velmora {

// What a window that follows another one (the soft shadow around a skinned form) hears of
// the window it follows, through the window system rather than through that window's own
// events: a window manager that moves a window interactively tells the window itself only
// when the move ends.
struct TFrameWatchEvents {
    // The watched window's top-left in logical pixels, each time its frame moves or is
    // restacked.
    std::function<void(const QPoint&)> OnMoved;
    // The frame was mapped or unmapped (minimised, another workspace shown).
    std::function<void(bool)> OnMapped;
};

// One watched window; the watch ends with this object.
class TFrameWatch {
public:
    virtual ~TFrameWatch();
    // Once companion's platform window exists: it keeps no title of its own (tools that list
    // windows by title find the watched window alone), and it goes directly below the watched
    // window.
    virtual void Accompany(QWindow& companion) = 0;
    // Puts companion directly below the watched window's frame in the stacking order: never
    // above it, and no lower than it needs to be.
    virtual void KeepBelow(QWindow& companion) = 0;
};

// The desktop's window system as the shadow needs it: whether a top-level window can be put
// where the program wants it, whether a compositing manager shows its per-pixel alpha, and the
// stacking and moves of the window it accompanies. The process has one; tests put their own.
class TDesktopWindows {
public:
    TDesktopWindows();
    virtual ~TDesktopWindows();
    TDesktopWindows(const TDesktopWindows&) = delete;
    TDesktopWindows& operator=(const TDesktopWindows&) = delete;

    // The one a test set, else the host's (made on first use, for the platform Qt runs on).
    static TDesktopWindows& Current();
    // Puts value in place of the host's; nullptr gives the host's back. Listeners of the one
    // replaced are not carried over.
    static void SetCurrent(TDesktopWindows* value);

    // A top-level window stays where the program puts it (X11, offscreen); false where the
    // compositor places windows itself (Wayland).
    virtual bool CanPlaceWindows() const = 0;
    // A compositing manager runs and shows the per-pixel alpha of top-level windows; without
    // one a translucent window shows black where it is transparent.
    virtual bool HasCompositor() const = 0;
    // A separate translucent window placed beside another one looks right.
    bool CanShowCompanionWindows() const { return CanPlaceWindows() && HasCompositor(); }

    // Called, on the GUI thread, after CanShowCompanionWindows() may have changed (a
    // compositing manager started or stopped). Returns a number for RemoveListener.
    int AddListener(std::function<void()> listener);
    void RemoveListener(int id);

    // Starts watching window, which must have its platform window. Events are delivered on the
    // GUI thread while the returned object lives.
    virtual std::unique_ptr<TFrameWatch> WatchFrame(QWindow& window, TFrameWatchEvents events) = 0;

protected:
    // Tells every listener; a listener may remove itself or others while being told.
    void NotifyListeners();

private:
    std::map<int, std::function<void()>> FListeners;
    int FNextListener = 1;
};

} // namespace velmora
