#include "platform/graphics/DesktopWindows.h"

#include "platform/graphics/X11DesktopWindows.h"

#include <QGuiApplication>
#include <QWindow>
#include <vector>

namespace velmora {

namespace {

// Where windows are not watched through a window system of their own: Wayland, where the
// compositor places every surface itself, and the platforms without a window manager
// (offscreen, framebuffers), where nothing composes translucent windows.
class TPlainFrameWatch final : public TFrameWatch {
public:
    // A companion there has no title a desktop could list; it only goes below.
    void Accompany(QWindow& companion) override { KeepBelow(companion); }
    // Without frames, the bottom of the stack is below every window.
    void KeepBelow(QWindow& companion) override { companion.lower(); }
};

class TPlainDesktopWindows final : public TDesktopWindows {
public:
    explicit TPlainDesktopWindows(const QString& platform)
        : FCanPlace(platform != QLatin1String("wayland") &&
                    !platform.startsWith(QLatin1String("wayland-"))) {}
    bool CanPlaceWindows() const override { return FCanPlace; }
    // A Wayland compositor composes, but it also places; the others compose nothing.
    bool HasCompositor() const override { return !FCanPlace; }
    std::unique_ptr<TFrameWatch> WatchFrame(QWindow&, TFrameWatchEvents) override {
        return std::make_unique<TPlainFrameWatch>();
    }

private:
    bool FCanPlace;
};

TDesktopWindows*& TestOverride() {
    static TDesktopWindows* value = nullptr;
    return value;
}

std::unique_ptr<TDesktopWindows> MakeHost() {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb"))
        if (std::unique_ptr<TDesktopWindows> x11 = MakeX11DesktopWindows())
            return x11;
    return std::make_unique<TPlainDesktopWindows>(platform);
}

} // namespace

TFrameWatch::~TFrameWatch() = default;

TDesktopWindows::TDesktopWindows() = default;
TDesktopWindows::~TDesktopWindows() = default;

TDesktopWindows& TDesktopWindows::Current() {
    if (TDesktopWindows* test = TestOverride())
        return *test;
    // Before the application exists nothing is known of the platform, and nothing is kept.
    if (QGuiApplication::instance() == nullptr) {
        static TPlainDesktopWindows none{QString()};
        return none;
    }
    // Made once the platform is known and kept for the process: its windows live as long.
    static std::unique_ptr<TDesktopWindows> host = MakeHost();
    return *host;
}

void TDesktopWindows::SetCurrent(TDesktopWindows* value) {
    TestOverride() = value;
}

int TDesktopWindows::AddListener(std::function<void()> listener) {
    const int id = FNextListener++;
    FListeners.emplace(id, std::move(listener));
    return id;
}

void TDesktopWindows::RemoveListener(int id) {
    FListeners.erase(id);
}

void TDesktopWindows::NotifyListeners() {
    std::vector<int> ids;
    ids.reserve(FListeners.size());
    for (const auto& entry : FListeners)
        ids.push_back(entry.first);
    for (int id : ids) {
        const auto found = FListeners.find(id);
        if (found == FListeners.end())
            continue;
        // A copy: the listener may remove itself while it runs.
        const std::function<void()> listener = found->second;
        listener();
    }
}

} // namespace velmora
