#include "tests/desktop/DesktopSession.h"

#include "tests/desktop/DesktopInput.h"
#include "tests/desktop/ScreenPicture.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <algorithm>
#include <csignal>

namespace velmora::testing {

namespace {

constexpr const char* KAccessibilityLauncher = "/usr/libexec/at-spi-bus-launcher";
// How many westons a session starts, one after the other, before it says XTEST input cannot
// reach weston's clients, and how long each may take to follow the pointer: one that does
// follows it within a fifth of a second here.
constexpr int KWestonStarts = 5;
constexpr int KWestonPointerMs = 3000;

QString Tail(const QString& AFile, qint64 ABytes) {
    QFile file(AFile);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    if (file.size() > ABytes)
        file.seek(file.size() - ABytes);
    return QString::fromUtf8(file.readAll());
}

// The weston shell as plain as a desktop gets: the test's colour, no panel, no animations,
// no on-screen keyboard, never idle.
QByteArray WestonConfig() {
    return QStringLiteral("[core]\nidle-time=0\nrequire-input=false\n\n"
                          "[shell]\nbackground-color=0x%1\npanel-position=none\nlocking=false\n"
                          "animation=none\nclose-animation=none\nstartup-animation=none\n"
                          "focus-animation=none\n\n[input-method]\npath=\n")
        .arg(TDesktopSession::KDesktopColour, 8, 16, QLatin1Char('0'))
        .toUtf8();
}

} // namespace

QString KindName(TDesktopKind AKind) {
    switch (AKind) {
    case TDesktopKind::OpenboxPicom:
        return QStringLiteral("OpenboxPicom");
    case TDesktopKind::OpenboxXcompmgr:
        return QStringLiteral("OpenboxXcompmgr");
    case TDesktopKind::Openbox:
        return QStringLiteral("Openbox");
    case TDesktopKind::Weston:
        return QStringLiteral("Weston");
    }
    return QString();
}

TDesktopSession::TDesktopSession(const TRealProcessSandbox& ASandbox,
                                 const TDesktopOptions& AOptions)
    : FSandbox(ASandbox), FOptions(AOptions) {
    QDir().mkpath(FSandbox.Path(QStringLiteral("logs")));
    if (!Need(QStringLiteral("Xvfb")) || !Need(QStringLiteral("xdotool")))
        return;
    if (IsWayland()) {
        if (!Need(QStringLiteral("weston")))
            return;
    } else if (!Need(QStringLiteral("openbox")) ||
               (FOptions.Kind == TDesktopKind::OpenboxPicom && !Need(QStringLiteral("picom"))) ||
               (FOptions.Kind == TDesktopKind::OpenboxXcompmgr &&
                !Need(QStringLiteral("xcompmgr")))) {
        return;
    }
    if (!Need(QStringLiteral("dbus-daemon")) ||
        (FOptions.Accessibility && !Need(QString::fromLatin1(KAccessibilityLauncher))))
        return;

    FDisplay = std::make_unique<TVirtualDisplay>(FOptions.Screen);
    if (FDisplay->Name().isEmpty()) {
        FFailure = QStringLiteral("no X server could be started");
        return;
    }
    WaitUntil(
        [this] {
            FX = std::make_unique<TXConnection>(FDisplay->Name());
            return FX->IsOpen();
        },
        5000);
    if (!FX->IsOpen()) {
        FFailure = QStringLiteral("the X server %1 does not accept connections (error %2)")
                       .arg(FDisplay->Name())
                       .arg(FX->Error());
        return;
    }
    // Weston paints the colour itself; its host's root stays black, so a weston window not
    // painted yet never passes for its desktop.
    if (!IsWayland())
        FX->SetDesktopColour(KDesktopColour);
    if (IsWayland())
        StartWeston();
    else
        StartX11Desktop();
    if (Ready())
        StartSessionBus();
    if (Ready() && FOptions.Accessibility)
        StartAccessibility();
    if (Ready())
        TakeEmptyDesktop();
    // A weston that never takes the X server's pointer is a weston of that start (about one in
    // three here); another one on the same server mostly does.
    for (int again = 0; again < KWestonStarts - 1 && IsWayland() && !FUnavailable.isEmpty();
         ++again) {
        FUnavailable.clear();
        RestartWeston();
        if (Ready())
            TakeEmptyDesktop();
    }
}

TDesktopSession::~TDesktopSession() {
    StopAll();
}

bool TDesktopSession::Need(const QString& AProgram) {
    const bool found = AProgram.startsWith(u'/')
                           ? QFileInfo(AProgram).isExecutable()
                           : !QStandardPaths::findExecutable(AProgram).isEmpty();
    if (!found)
        FUnavailable =
            AProgram + QStringLiteral(" is not installed (scripts/setup.sh installs it)");
    return found;
}

const QString& TDesktopSession::Display() const {
    static const QString none;
    return FDisplay ? FDisplay->Name() : none;
}

QProcessEnvironment TDesktopSession::Environment() const {
    QProcessEnvironment env =
        FSandbox.Environment(IsWayland() ? QStringLiteral("wayland") : QStringLiteral("xcb"),
                             IsWayland() ? QString() : Display());
    if (IsWayland() && !FWaylandSocket.isEmpty())
        env.insert(QStringLiteral("WAYLAND_DISPLAY"), FWaylandSocket);
    if (IsWayland() && FOptions.Scale != 1)
        env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(FOptions.Scale));
    // Until the session's bus runs there is none: without an address a D-Bus client would
    // start one of its own.
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               FSessionBus.isEmpty() ? QStringLiteral("disabled:") : FSessionBus);
    if (FOptions.Accessibility) {
        env.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
        env.insert(QStringLiteral("QT_ACCESSIBILITY"), QStringLiteral("1"));
    }
    // For a person looking into a failure by hand: "NAME=value;NAME=value" more for the
    // programs (WAYLAND_DEBUG=1, QT_LOGGING_RULES=...); their output is in the logs.
    for (const QString& extra :
         qEnvironmentVariable("VELMORA_DESKTOP_PROGRAM_ENV").split(u';', Qt::SkipEmptyParts))
        if (const qsizetype at = extra.indexOf(u'='); at > 0)
            env.insert(extra.left(at), extra.mid(at + 1));
    return env;
}

void TDesktopSession::Start(QProcess& AProcess, const QString& AProgram,
                            const QStringList& AArguments) const {
    // Into a file: a program writing more than a pipe holds to a pipe nobody reads would stop.
    static int started = 0;
    const QString log = FSandbox.Path(
        QStringLiteral("logs/%1-%2.log").arg(QFileInfo(AProgram).fileName()).arg(++started));
    AProcess.setStandardOutputFile(log);
    AProcess.setStandardErrorFile(log, QIODevice::Append);
    FSandbox.Start(AProcess, AProgram, Environment(), AArguments);
}

QProcess* TDesktopSession::StartServer(const QString& AName, const QString& AProgram,
                                       const QStringList& AArguments, bool AReadOutput) {
    TServer server{AName, std::make_unique<QProcess>(),
                   FSandbox.Path(QStringLiteral("logs/") + AName + QStringLiteral(".log"))};
    if (!AReadOutput)
        server.Process->setStandardOutputFile(server.LogFile);
    server.Process->setStandardErrorFile(server.LogFile, QIODevice::Append);
    // The servers all live on the X display, weston's included.
    QProcessEnvironment env = Environment();
    env.insert(QStringLiteral("DISPLAY"), Display());
    FSandbox.Start(*server.Process, AProgram, env, AArguments);
    QProcess* process = server.Process.get();
    FServers.push_back(std::move(server));
    if (process->state() != QProcess::Running)
        FFailure = AName + QStringLiteral(" did not start");
    return process;
}

bool TDesktopSession::WaitFor(const QString& AWhat, const std::function<bool()>& ACondition,
                              int ATimeoutMs) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        for (const TServer& server : FServers) {
            // Waiting for no time takes note of an end that has happened.
            server.Process->waitForFinished(0);
            if (server.Process->state() != QProcess::Running) {
                FFailure = server.Name + QStringLiteral(" ended while waiting for ") + AWhat;
                return false;
            }
        }
        if (ACondition())
            return true;
        if (clock.elapsed() > ATimeoutMs) {
            FFailure = QStringLiteral("timed out waiting for ") + AWhat;
            return false;
        }
        QThread::msleep(50);
    }
}

void TDesktopSession::SetScale(int AScale) {
    FOptions.Scale = AScale;
    if (!IsWayland() && FX)
        FX->SetResources(QStringLiteral("Xft.dpi:\t%1\n").arg(96 * AScale).toUtf8());
}

void TDesktopSession::StartX11Desktop() {
    SetScale(FOptions.Scale);
    StartServer(QStringLiteral("openbox"), QStringLiteral("openbox"),
                {QStringLiteral("--sm-disable")});
    if (!Ready() || !WaitFor(QStringLiteral("openbox to manage the screen"),
                             [this] { return FX->SelectionOwned("WM_S0"); }))
        return;
    if (FOptions.Kind == TDesktopKind::OpenboxPicom)
        StartServer(QStringLiteral("picom"), QStringLiteral("picom"),
                    {QStringLiteral("--backend"), QStringLiteral("xrender"),
                     QStringLiteral("--config"), QStringLiteral("/dev/null")});
    else if (FOptions.Kind == TDesktopKind::OpenboxXcompmgr)
        StartServer(QStringLiteral("xcompmgr"), QStringLiteral("xcompmgr"), {QStringLiteral("-c")});
    else
        return;
    if (Ready())
        WaitFor(QStringLiteral("the compositing manager"),
                [this] { return FX->SelectionOwned("_NET_WM_CM_S0"); });
}

void TDesktopSession::StartWeston() {
    const QString config = FSandbox.Path(QStringLiteral("config/weston.ini"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) || file.write(WestonConfig()) < 0) {
        FFailure = QStringLiteral("cannot write ") + config;
        return;
    }
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    FWaylandSocket = QStringLiteral("velmora-wayland");
    StartServer(QStringLiteral("weston"), QStringLiteral("weston"),
                {QStringLiteral("--backend=x11-backend.so"), QStringLiteral("--use-pixman"),
                 QStringLiteral("--width=%1").arg(FOptions.Screen.width()),
                 QStringLiteral("--height=%1").arg(FOptions.Screen.height()),
                 QStringLiteral("--socket=") + FWaylandSocket,
                 QStringLiteral("--config=") + config});
    const QString socket = FSandbox.Path(QStringLiteral("runtime/")) + FWaylandSocket;
    if (!Ready() || !WaitFor(QStringLiteral("weston's socket"),
                             [&socket] { return TVirtualDisplay::Accepts(socket); }))
        return;
}

void TDesktopSession::RestartWeston() {
    const auto weston = std::find_if(FServers.begin(), FServers.end(), [](const TServer& server) {
        return server.Name == QStringLiteral("weston");
    });
    if (weston != FServers.end()) {
        // Ended by request, weston takes its socket and lock file away itself.
        weston->Process->terminate();
        if (!weston->Process->waitForFinished(5000))
            weston->Process->kill();
        weston->Process->waitForFinished(5000);
        FServers.erase(weston);
    }
    StartWeston();
}

void TDesktopSession::StartSessionBus() {
    const QString address =
        QStringLiteral("unix:path=") + FSandbox.Path(QStringLiteral("runtime/bus"));
    QProcess* bus = StartServer(
        QStringLiteral("dbus-daemon"), QStringLiteral("dbus-daemon"),
        {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
         QStringLiteral("--address=") + address, QStringLiteral("--print-address=1")},
        true);
    QByteArray printed;
    if (!Ready() || !WaitFor(QStringLiteral("the session bus"), [&] {
            bus->waitForReadyRead(50);
            printed += bus->readAllStandardOutput();
            return printed.contains('\n');
        }))
        return;
    FSessionBus = QString::fromUtf8(printed).trimmed();
}

void TDesktopSession::StartAccessibility() {
    StartServer(QStringLiteral("at-spi-bus-launcher"), QString::fromLatin1(KAccessibilityLauncher),
                {QStringLiteral("--launch-immediately")});
    if (!Ready())
        return;
    // The launcher names the accessibility bus on the X root window once it runs.
    if (!IsWayland())
        WaitFor(QStringLiteral("the accessibility bus"),
                [this] { return !FX->RootProperty("AT_SPI_BUS").isEmpty(); });
}

QImage TDesktopSession::Grab() const {
    return FX ? FX->GrabScreen() : QImage();
}

QImage TDesktopSession::SettledGrab(int ATimeoutMs) const {
    QImage last = Grab();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ATimeoutMs) {
        QThread::msleep(120);
        QImage next = Grab();
        // A text caret may blink; anything larger is still moving.
        if (!last.isNull() && DifferingShare(last, next, 0) * next.width() * next.height() <= 64)
            return next;
        last = std::move(next);
    }
    return last;
}

void TDesktopSession::TakeEmptyDesktop() {
    QImage plain(FOptions.Screen, QImage::Format_RGB32);
    plain.fill(KDesktopColour);
    // At most a pointer's worth of pixels differs from the colour, at AWhere if given.
    const auto bare = [&](const QRect& AWhere) {
        const QImage shot = Grab();
        const QRect changed = ChangedRegion(shot, plain);
        return !shot.isNull() && changed.width() <= 32 && changed.height() <= 32 &&
               (AWhere.isEmpty() || changed.isEmpty() || AWhere.contains(changed));
    };
    if (!WaitFor(QStringLiteral("the desktop to be painted"), [&] { return bare(QRect()); }))
        return;
    // Weston draws the pointer into its output, where it last saw it: the pointer is moved (the
    // server reports no motion to where it already is) and parked in the far corner, where the
    // empty desktop is pictured with it and where every test picture is taken with it.
    const TDesktopInput input(Display());
    const QRect corner(QPoint(FOptions.Screen.width() - 32, FOptions.Screen.height() - 32),
                       QSize(32, 32));
    int nudge = 0;
    if (!WaitFor(
            QStringLiteral("the pointer to reach its corner"),
            [&] {
                // Again and again, since weston may not listen to the pointer yet.
                input.MoveTo(QPoint(FOptions.Screen.width() / 2 + ++nudge % 7,
                                    FOptions.Screen.height() / 2));
                input.Park(FOptions.Screen);
                QThread::msleep(100);
                return bare(corner);
            },
            IsWayland() ? KWestonPointerMs : KDefaultWaitMs)) {
        // Weston at times never takes the X server's pointer (in some runs on this
        // machine, also with nothing else running): then no input of the test reaches it,
        // and the session says so instead of failing the test for the compositor.
        if (IsWayland()) {
            FUnavailable = QStringLiteral("weston did not follow the X server's pointer, %1 "
                                          "times started for %2 s each: XTEST input cannot reach "
                                          "its clients this run")
                               .arg(KWestonStarts)
                               .arg(KWestonPointerMs / 1000);
            FFailure.clear();
        }
        return;
    }
    FEmptyDesktop = SettledGrab();
}

QString TDesktopSession::Logs() const {
    QString text;
    const QStringList logs = QDir(FSandbox.Path(QStringLiteral("logs")))
                                 .entryList({QStringLiteral("*.log")}, QDir::Files);
    for (const QString& log : logs)
        text += QStringLiteral("--- %1\n%2\n")
                    .arg(log, Tail(FSandbox.Path(QStringLiteral("logs/") + log), 3000));
    return text;
}

void TDesktopSession::StopAll() {
    for (auto it = FServers.rbegin(); it != FServers.rend(); ++it) {
        QProcess& process = *it->Process;
        if (process.state() == QProcess::NotRunning)
            continue;
        process.terminate();
        if (!process.waitForFinished(3000))
            Stop(process);
    }
    FServers.clear();
    FX.reset();
    FDisplay.reset();
    Reap();
}

void TDesktopSession::Reap() {
    const QByteArray mark =
        "HOME=" + QFile::encodeName(FSandbox.Path(QStringLiteral("home"))) + '\0';
    QList<pid_t> found;
    const auto scan = [&] {
        found.clear();
        const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
        for (const QString& entry : entries) {
            bool number = false;
            const pid_t pid = entry.toInt(&number);
            if (!number || pid == ::getpid())
                continue;
            QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
            if (environ.open(QIODevice::ReadOnly) &&
                ('\0' + environ.readAll()).contains('\0' + mark))
                found.append(pid);
        }
        return found.isEmpty();
    };
    if (scan())
        return;
    for (const pid_t pid : found)
        ::kill(pid, SIGKILL);
    WaitUntil(scan, 5000);
}

} // namespace velmora::testing
