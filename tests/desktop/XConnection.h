#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>

struct xcb_connection_t;

namespace velmora::testing {

// A core-protocol client of one X display: what the tests need to see the screen as the user
// sees it and to dress the desktop, without a program per question. Everything here is plain
// X11, so it works the same on a bare server, under a window manager and under a compositing
// manager (whose overlay window is part of what the root shows).
class TXConnection {
public:
    explicit TXConnection(const QString& ADisplay);
    ~TXConnection();
    TXConnection(const TXConnection&) = delete;
    TXConnection& operator=(const TXConnection&) = delete;

    bool IsOpen() const { return FConnection != nullptr; }
    // Why the connection failed (an XCB_CONN_* code), 0 when open.
    int Error() const { return FError; }
    QSize ScreenSize() const;

    // The whole screen as the user sees it, stacking and compositing included, as RGB32.
    QImage GrabScreen() const;

    // The desktop's own colour: the root's background, painted at once.
    void SetDesktopColour(QRgb AColour) const;

    // The resource database programs read at start (Xft.dpi and friends), replaced whole.
    void SetResources(const QByteArray& AResources) const;

    // Where a window lies on the screen, its frame left out (a window manager may reparent).
    std::optional<QRect> WindowGeometry(quint32 AWindow) const;

    // Whether a window is mapped and viewable (an unmapped or withdrawn window is not).
    bool IsViewable(quint32 AWindow) const;

    QPoint Pointer() const;

    // Whether some client owns the selection AName: a window manager owns "WM_S0" and a
    // compositing manager "_NET_WM_CM_S0" on screen 0 for as long as they run.
    bool SelectionOwned(const char* AName) const;

    // Takes the keyboard focus away from every program's window to a window of this
    // connection (an input-only pixel in the screen's corner, out of the window manager's
    // hands), so that the program's window is inactive.
    void TakeFocus() const;

    // A string property of the root window (such as AT_SPI_BUS), empty when unset.
    QByteArray RootProperty(const char* AName) const;

private:
    quint32 Root() const;
    void Sync() const;

    xcb_connection_t* FConnection = nullptr;
    int FScreen = 0;
    int FError = 0;
    mutable quint32 FFocusSink = 0;
};

} // namespace velmora::testing
