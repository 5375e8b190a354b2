#pragma once

#include "tests/desktop/XConnection.h"
#include "tests/installer/wizard/RealProcessSupport.h"

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <memory>
#include <vector>

namespace velmora::testing {

// The desktops a user may run the wizard on. Every X11 kind runs openbox; the Wayland kind is
// weston on its X11 backend, its output a window of a private X server, so input sent to that
// server reaches weston's clients as real Wayland input and its screen shows their surfaces.
enum class TDesktopKind {
    OpenboxPicom,    // X11, openbox, a compositing manager (per-pixel alpha, no shadows of its own)
    OpenboxXcompmgr, // X11, openbox, xcompmgr -c (which draws a shadow under every window)
    Openbox,         // X11, openbox, no compositing manager
    Weston,          // Wayland
};

QString KindName(TDesktopKind AKind);

struct TDesktopOptions {
    TDesktopKind Kind = TDesktopKind::Openbox;
    // 2: the desktop asks programs for twice the pixels (Xft.dpi 192 on X11; QT_SCALE_FACTOR=2
    // for the programs on Wayland, whose output stays at 1).
    int Scale = 1;
    // The accessibility bus beside the session bus every session has, and programs started
    // with Qt's bridge on.
    bool Accessibility = false;
    QSize Screen = QSize(1024, 768);
};

// One desktop session, started fresh for a test as the sandbox's unprivileged user with the
// sandbox's home and XDG folders, and torn down whole when the session ends: its servers are
// stopped and any process still carrying the sandbox's home is killed.
class TDesktopSession {
public:
    // A colour nothing in the wizard resembles, so a window is told from its shadow.
    static constexpr QRgb KDesktopColour = 0xff8c6ea0;

    TDesktopSession(const TRealProcessSandbox& ASandbox, const TDesktopOptions& AOptions);
    ~TDesktopSession();
    TDesktopSession(const TDesktopSession&) = delete;
    TDesktopSession& operator=(const TDesktopSession&) = delete;

    // Why this session cannot be had on this machine (a program missing): the test skips.
    const QString& Unavailable() const { return FUnavailable; }
    // What went wrong starting it although everything was there: the test fails.
    const QString& Failure() const { return FFailure; }
    bool Ready() const { return FUnavailable.isEmpty() && FFailure.isEmpty(); }

    const TDesktopOptions& Options() const { return FOptions; }
    // The scale for programs started from now on (the X resources, or their environment).
    void SetScale(int AScale);
    bool IsWayland() const { return FOptions.Kind == TDesktopKind::Weston; }
    // The X display that input goes to and screenshots come from (weston's host on Wayland).
    const QString& Display() const;
    const TXConnection& X() const { return *FX; }

    // The screen now, and the empty desktop as it was before any program was started.
    QImage Grab() const;
    const QImage& EmptyDesktop() const { return FEmptyDesktop; }
    // A picture taken once the screen has stopped changing (a fade, a repaint, a move).
    QImage SettledGrab(int ATimeoutMs = 10000) const;

    // The environment a program of this desktop gets: the sandbox's, the display or the
    // Wayland socket, the session bus and the accessibility switch, the scale.
    QProcessEnvironment Environment() const;
    void Start(QProcess& AProcess, const QString& AProgram,
               const QStringList& AArguments = QStringList()) const;

    // The session bus's address.
    const QString& SessionBus() const { return FSessionBus; }

    // The servers' own logs, for failure messages.
    QString Logs() const;

private:
    struct TServer {
        QString Name;
        std::unique_ptr<QProcess> Process;
        QString LogFile;
    };

    bool Need(const QString& AProgram);
    QProcess* StartServer(const QString& AName, const QString& AProgram,
                          const QStringList& AArguments, bool AReadOutput = false);
    static constexpr int KDefaultWaitMs = 20000;
    bool WaitFor(const QString& AWhat, const std::function<bool()>& ACondition,
                 int ATimeoutMs = KDefaultWaitMs);
    void StartX11Desktop();
    void StartWeston();
    // Ends the running weston and starts another on the same X server.
    void RestartWeston();
    void StartSessionBus();
    void StartAccessibility();
    void TakeEmptyDesktop();
    void StopAll();
    // Kills every process that still carries the sandbox's home in its environment.
    void Reap();

    const TRealProcessSandbox& FSandbox;
    TDesktopOptions FOptions;
    QString FUnavailable;
    QString FFailure;
    std::unique_ptr<TVirtualDisplay> FDisplay;
    std::unique_ptr<TXConnection> FX;
    std::vector<TServer> FServers;
    QString FWaylandSocket;
    QString FSessionBus;
    QImage FEmptyDesktop;
};

} // namespace velmora::testing
