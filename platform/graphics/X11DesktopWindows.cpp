#include "platform/graphics/X11DesktopWindows.h"

#include "platform/graphics/DesktopWindows.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

namespace velmora {

namespace {

struct TFree {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply> using TReply = std::unique_ptr<Reply, TFree>;

// Without the XFixes extension the selection owner is asked this often instead.
constexpr int CompositorPollInterval = 2000;
// Window managers nest a client in a frame or two; a deeper chain is not followed further.
constexpr int MaxFrameDepth = 16;

class TX11DesktopWindows;

// One client window and the window manager's frame around it (the client itself where no
// window manager reparents it).
class TX11FrameWatch final : public TFrameWatch {
public:
    TX11FrameWatch(TX11DesktopWindows& host, QWindow& window, TFrameWatchEvents events);
    ~TX11FrameWatch() override;
    void Accompany(QWindow& companion) override;
    void KeepBelow(QWindow& companion) override;
    void Handle(const xcb_generic_event_t& event);

private:
    void FindFrame();
    void ReportPosition();
    void ForgetFrame();
    void MeasureOffset();
    bool Framed() const { return FFrame != XCB_NONE && FFrame != FClient; }
    QPoint LogicalOf(const QPoint& native) const;

    TX11DesktopWindows& FHost;
    QPointer<QWindow> FWindow;
    xcb_window_t FClient;
    xcb_window_t FFrame = XCB_NONE;
    // The client's top-left inside its frame, in native pixels.
    QPoint FOffset;
    TFrameWatchEvents FEvents;
};

class TX11DesktopWindows final : public TDesktopWindows, public QAbstractNativeEventFilter {
public:
    TX11DesktopWindows(xcb_connection_t* connection, xcb_window_t root, int screen);
    ~TX11DesktopWindows() override;

    bool CanPlaceWindows() const override { return true; }
    bool HasCompositor() const override { return FCompositor; }
    std::unique_ptr<TFrameWatch> WatchFrame(QWindow& window, TFrameWatchEvents events) override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // The connection while the application that holds it lives, else null.
    xcb_connection_t* Connection() const {
        return FApplication && !xcb_connection_has_error(FConnection) ? FConnection : nullptr;
    }
    xcb_window_t Root() const { return FRoot; }
    const std::vector<xcb_atom_t>& TitleProperties() const { return FTitleProperties; }
    void Register(TX11FrameWatch* watch) { FWatches.push_back(watch); }
    void Unregister(TX11FrameWatch* watch) {
        FWatches.erase(std::remove(FWatches.begin(), FWatches.end(), watch), FWatches.end());
    }

private:
    xcb_atom_t Atom(const QByteArray& name) const;
    void WatchSelection();
    bool ReadCompositor() const;
    void SetCompositor(bool value);

    QPointer<QCoreApplication> FApplication;
    xcb_connection_t* FConnection;
    xcb_window_t FRoot;
    xcb_atom_t FSelection = XCB_NONE;
    std::vector<xcb_atom_t> FTitleProperties;
    int FSelectionNotify = -1;
    bool FCompositor = false;
    std::vector<TX11FrameWatch*> FWatches;
    // Listeners are told from the event loop, never from inside the X event being handled.
    QObject FContext;
    QTimer FPoll;
};

// --- the frame watch ---------------------------------------------------------------------------

TX11FrameWatch::TX11FrameWatch(TX11DesktopWindows& host, QWindow& window, TFrameWatchEvents events)
    : FHost(host), FWindow(&window), FClient(static_cast<xcb_window_t>(window.winId())),
      FEvents(std::move(events)) {
    FHost.Register(this);
    FindFrame();
}

TX11FrameWatch::~TX11FrameWatch() {
    FHost.Unregister(this);
    ForgetFrame();
}

void TX11FrameWatch::FindFrame() {
    xcb_connection_t* connection = FHost.Connection();
    if (connection == nullptr)
        return;
    xcb_window_t window = FClient;
    FFrame = XCB_NONE;
    for (int depth = 0; depth < MaxFrameDepth; ++depth) {
        const TReply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
        if (!tree)
            return;
        if (tree->parent == tree->root || tree->parent == XCB_NONE) {
            FFrame = window;
            break;
        }
        window = tree->parent;
    }
    if (!Framed())
        return;
    // Our own mask on the window manager's frame: its moves, restacking and mapping.
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_discard_reply(connection, xcb_change_window_attributes_checked(connection, FFrame,
                                                                       XCB_CW_EVENT_MASK, &mask)
                                      .sequence);
    MeasureOffset();
}

void TX11FrameWatch::ForgetFrame() {
    xcb_connection_t* connection = FHost.Connection();
    // The client's own mask is Qt's; only a frame's is ours to clear.
    if (connection != nullptr && Framed()) {
        const uint32_t mask = XCB_EVENT_MASK_NO_EVENT;
        xcb_discard_reply(connection, xcb_change_window_attributes_checked(connection, FFrame,
                                                                           XCB_CW_EVENT_MASK, &mask)
                                          .sequence);
        xcb_flush(connection);
    }
    FFrame = XCB_NONE;
}

void TX11FrameWatch::MeasureOffset() {
    xcb_connection_t* connection = FHost.Connection();
    if (connection == nullptr || !Framed())
        return;
    const TReply<xcb_translate_coordinates_reply_t> at(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, FClient, FFrame, 0, 0), nullptr));
    if (at)
        FOffset = QPoint(at->dst_x, at->dst_y);
}

QPoint TX11FrameWatch::LogicalOf(const QPoint& native) const {
    const QScreen* screen = FWindow ? FWindow->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return native;
    // Qt's scaling keeps each screen's top-left and divides the distance from it.
    const qreal ratio = screen->devicePixelRatio();
    const QPoint origin = screen->geometry().topLeft();
    return origin + (QPointF(native - origin) / ratio).toPoint();
}

void TX11FrameWatch::ReportPosition() {
    xcb_connection_t* connection = FHost.Connection();
    if (connection == nullptr || !FEvents.OnMoved)
        return;
    const TReply<xcb_translate_coordinates_reply_t> at(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, FClient, FHost.Root(), 0, 0), nullptr));
    if (at)
        FEvents.OnMoved(LogicalOf(QPoint(at->dst_x, at->dst_y)));
}

void TX11FrameWatch::Accompany(QWindow& companion) {
    xcb_connection_t* connection = FHost.Connection();
    if (connection == nullptr)
        return;
    // Qt names every window after the program when it has no title; a companion has none.
    const auto window = static_cast<xcb_window_t>(companion.winId());
    for (xcb_atom_t property : FHost.TitleProperties())
        xcb_delete_property(connection, window, property);
    KeepBelow(companion);
}

void TX11FrameWatch::KeepBelow(QWindow& companion) {
    xcb_connection_t* connection = FHost.Connection();
    if (connection == nullptr)
        return;
    const xcb_window_t sibling = FFrame != XCB_NONE ? FFrame : FClient;
    const uint32_t values[] = {sibling, XCB_STACK_MODE_BELOW};
    // A companion the window manager took into a frame of its own is no sibling of this one;
    // the request then fails and is dropped without a word.
    xcb_discard_reply(connection,
                      xcb_configure_window_checked(
                          connection, static_cast<xcb_window_t>(companion.winId()),
                          XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE, values)
                          .sequence);
    xcb_flush(connection);
}

void TX11FrameWatch::Handle(const xcb_generic_event_t& event) {
    switch (event.response_type & ~0x80) {
    case XCB_CONFIGURE_NOTIFY: {
        const auto& configure = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
        if (Framed() && configure.window == FFrame && FEvents.OnMoved) {
            const int border = configure.border_width;
            FEvents.OnMoved(
                LogicalOf(QPoint(configure.x + border, configure.y + border) + FOffset));
        } else if (Framed() && configure.window == FClient && (event.response_type & 0x80) == 0)
            // The client changed inside its frame (a resize, other decorations).
            MeasureOffset();
        break;
    }
    case XCB_REPARENT_NOTIFY: {
        const auto& reparent = reinterpret_cast<const xcb_reparent_notify_event_t&>(event);
        if (reparent.window == FClient) {
            // Taken into a frame (or out of one): the companion goes below the new frame.
            ForgetFrame();
            FindFrame();
            ReportPosition();
        }
        break;
    }
    case XCB_MAP_NOTIFY: {
        const auto& map = reinterpret_cast<const xcb_map_notify_event_t&>(event);
        if (Framed() && map.window == FFrame && FEvents.OnMapped)
            FEvents.OnMapped(true);
        break;
    }
    case XCB_UNMAP_NOTIFY: {
        const auto& unmap = reinterpret_cast<const xcb_unmap_notify_event_t&>(event);
        if (Framed() && unmap.window == FFrame && FEvents.OnMapped)
            FEvents.OnMapped(false);
        break;
    }
    case XCB_DESTROY_NOTIFY: {
        const auto& destroy = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
        if (destroy.window == FFrame)
            FFrame = XCB_NONE;
        break;
    }
    default:
        break;
    }
}

// --- the window system -------------------------------------------------------------------------

TX11DesktopWindows::TX11DesktopWindows(xcb_connection_t* connection, xcb_window_t root, int screen)
    : FApplication(QCoreApplication::instance()), FConnection(connection), FRoot(root) {
    FSelection = Atom("_NET_WM_CM_S" + QByteArray::number(screen));
    for (const char* title : {"WM_NAME", "_NET_WM_NAME", "WM_ICON_NAME", "_NET_WM_ICON_NAME"})
        if (const xcb_atom_t atom = Atom(title); atom != XCB_NONE)
            FTitleProperties.push_back(atom);
    FCompositor = ReadCompositor();
    WatchSelection();
    QCoreApplication::instance()->installNativeEventFilter(this);
}

TX11DesktopWindows::~TX11DesktopWindows() {
    if (QCoreApplication* application = FApplication)
        application->removeNativeEventFilter(this);
}

xcb_atom_t TX11DesktopWindows::Atom(const QByteArray& name) const {
    const TReply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
        FConnection, xcb_intern_atom(FConnection, 0, uint16_t(name.size()), name.constData()),
        nullptr));
    return atom ? atom->atom : xcb_atom_t(XCB_NONE);
}

void TX11DesktopWindows::WatchSelection() {
    if (FSelection == XCB_NONE)
        return;
    const xcb_query_extension_reply_t* extension =
        xcb_get_extension_data(FConnection, &xcb_xfixes_id);
    if (extension != nullptr && extension->present) {
        const TReply<xcb_xfixes_query_version_reply_t> version(xcb_xfixes_query_version_reply(
            FConnection,
            xcb_xfixes_query_version(FConnection, XCB_XFIXES_MAJOR_VERSION,
                                     XCB_XFIXES_MINOR_VERSION),
            nullptr));
        if (version && version->major_version >= 1) {
            // The same mask Qt selects for its own use on this connection, so neither undoes
            // the other's.
            const uint32_t mask = XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                  XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                  XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE;
            xcb_xfixes_select_selection_input(FConnection, FRoot, FSelection, mask);
            xcb_flush(FConnection);
            FSelectionNotify = extension->first_event + XCB_XFIXES_SELECTION_NOTIFY;
            return;
        }
    }
    FPoll.setInterval(CompositorPollInterval);
    QObject::connect(&FPoll, &QTimer::timeout, &FContext,
                     [this] { SetCompositor(ReadCompositor()); });
    FPoll.start();
}

bool TX11DesktopWindows::ReadCompositor() const {
    xcb_connection_t* connection = Connection();
    if (connection == nullptr || FSelection == XCB_NONE)
        return false;
    const TReply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, FSelection), nullptr));
    return owner && owner->owner != XCB_NONE;
}

void TX11DesktopWindows::SetCompositor(bool value) {
    if (FCompositor == value)
        return;
    FCompositor = value;
    QTimer::singleShot(0, &FContext, [this] { NotifyListeners(); });
}

std::unique_ptr<TFrameWatch> TX11DesktopWindows::WatchFrame(QWindow& window,
                                                            TFrameWatchEvents events) {
    return std::make_unique<TX11FrameWatch>(*this, window, std::move(events));
}

bool TX11DesktopWindows::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || message == nullptr)
        return false;
    const auto& event = *static_cast<const xcb_generic_event_t*>(message);
    const int type = event.response_type & ~0x80;
    if (FSelectionNotify >= 0 && type == FSelectionNotify) {
        const auto& notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t&>(event);
        if (notify.selection == FSelection)
            SetCompositor(notify.subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER &&
                          notify.owner != XCB_NONE);
        return false;
    }
    if (type != XCB_CONFIGURE_NOTIFY && type != XCB_REPARENT_NOTIFY && type != XCB_MAP_NOTIFY &&
        type != XCB_UNMAP_NOTIFY && type != XCB_DESTROY_NOTIFY)
        return false;
    // A watcher told of an event may end its own watch or another's.
    const std::vector<TX11FrameWatch*> watches = FWatches;
    for (TX11FrameWatch* watch : watches)
        if (std::find(FWatches.begin(), FWatches.end(), watch) != FWatches.end())
            watch->Handle(event);
    // Qt sees every event too: the client's own are its to handle.
    return false;
}

} // namespace

std::unique_ptr<TDesktopWindows> MakeX11DesktopWindows() {
    auto* application = qGuiApp;
    if (application == nullptr)
        return nullptr;
    auto* x11 = application->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr || xcb_connection_has_error(connection))
        return nullptr;
    int screen = 0;
    char* host = nullptr;
    int display = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen) == 0)
        screen = 0;
    std::free(host);
    // The screen the display name names, as Qt connected to it; the first one otherwise.
    xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
    if (roots.rem == 0)
        return nullptr;
    xcb_window_t root = roots.data->root;
    int number = 0;
    for (int index = 0; roots.rem > 0; ++index, xcb_screen_next(&roots))
        if (index == screen) {
            root = roots.data->root;
            number = index;
        }
    return std::make_unique<TX11DesktopWindows>(connection, root, number);
}

} // namespace velmora
