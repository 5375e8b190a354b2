#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSize>
#include <QTemporaryDir>
#include <QThread>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace velmora::testing {

// Real programs started by tests run as an unprivileged user when the tests run as root, in
// a temporary home with its own XDG folders, so they can never touch the real ones.
class TRealProcessSandbox {
public:
    static constexpr uid_t KNobody = 65534;

    TRealProcessSandbox() {
        ::chmod(QFile::encodeName(FDir.path()).constData(), 0755);
        for (const char* folder : {"home", "config", "data", "state", "cache", "runtime", "bin"})
            MakeFolder(QString::fromLatin1(folder));
    }

    QString Path(const QString& relative) const { return FDir.path() + u'/' + relative; }

    // A copy of AProgram named AName in the sandbox's bin folder, runnable by the test user.
    QString Install(const QString& AProgram, const QString& AName) const {
        const QString copy = Path(QStringLiteral("bin/") + AName);
        QFile::remove(copy);
        EXPECT_TRUE(QFile::copy(AProgram, copy)) << AProgram.toStdString();
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                        QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
        return copy;
    }

    QProcessEnvironment Environment(const QString& AQtPlatform, const QString& ADisplay) const {
        QProcessEnvironment env;
        // The sandbox's bin comes first, so a test can stand in for a desktop helper there.
        env.insert(QStringLiteral("PATH"),
                   Path(QStringLiteral("bin")) + QStringLiteral(":/usr/bin:/bin"));
        env.insert(QStringLiteral("HOME"), Path(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), Path(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), Path(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_STATE_HOME"), Path(QStringLiteral("state")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), Path(QStringLiteral("cache")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), Path(QStringLiteral("runtime")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), AQtPlatform);
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        if (!ADisplay.isEmpty())
            env.insert(QStringLiteral("DISPLAY"), ADisplay);
        return env;
    }

    // The user the sandbox's programs run as.
    static uid_t User() { return ::geteuid() == 0 ? KNobody : ::geteuid(); }

    // Starts AProgram with the sandbox's environment, as the unprivileged user under root.
    void Start(QProcess& AProcess, const QString& AProgram, const QString& AQtPlatform,
               const QString& ADisplay = QString(),
               const QStringList& AArguments = QStringList()) const {
        AProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        Start(AProcess, AProgram, Environment(AQtPlatform, ADisplay), AArguments);
    }

    // The same with an environment of the caller's making (a desktop session's), keeping the
    // channels the caller set up.
    void Start(QProcess& AProcess, const QString& AProgram, const QProcessEnvironment& AEnvironment,
               const QStringList& AArguments) const {
        AProcess.setProcessEnvironment(AEnvironment);
        AProcess.setWorkingDirectory(Path(QStringLiteral("home")));
        if (::geteuid() == 0)
            AProcess.start(QStringLiteral("setpriv"),
                           QStringList{QStringLiteral("--reuid=%1").arg(KNobody),
                                       QStringLiteral("--regid=%1").arg(KNobody),
                                       QStringLiteral("--clear-groups"), QStringLiteral("--"),
                                       AProgram} +
                               AArguments);
        else
            AProcess.start(AProgram, AArguments);
        ASSERT_TRUE(AProcess.waitForStarted(10000)) << AProgram.toStdString();
    }

private:
    void MakeFolder(const QString& AName) const {
        const QByteArray path = QFile::encodeName(Path(AName));
        ::mkdir(path.constData(), 0700);
        if (::geteuid() == 0) {
            EXPECT_EQ(::chown(path.constData(), KNobody, KNobody), 0);
        }
        if (AName == QLatin1String("bin"))
            ::chmod(path.constData(), 0755);
    }

    QTemporaryDir FDir;
};

// Polls ACondition, processing events, for up to ATimeoutMs; true once it holds.
inline bool WaitUntil(const std::function<bool()>& ACondition, int ATimeoutMs = 30000) {
    QElapsedTimer clock;
    clock.start();
    while (!ACondition()) {
        if (clock.elapsed() > ATimeoutMs)
            return false;
        QThread::msleep(50);
    }
    return true;
}

inline void Stop(QProcess& AProcess) {
    if (AProcess.state() == QProcess::NotRunning)
        return;
    AProcess.kill();
    AProcess.waitForFinished(10000);
}

// A private X display for the test's lifetime.
class TVirtualDisplay {
public:
    explicit TVirtualDisplay(QSize AScreen = QSize(1024, 768)) {
        // The server picks a free number itself and writes it once it accepts connections:
        // choosing one here raced with other tests starting their servers at the same time,
        // and a test could end up on a display another test's server owned and then closed.
        // It never resets: with no window manager each xdotool poll is the only client, and
        // a program connecting while the server started over after it was dropped.
        FServer.setStandardErrorFile(QProcess::nullDevice());
        FServer.start(QStringLiteral("Xvfb"),
                      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                       QStringLiteral("0"),
                       QStringLiteral("%1x%2x24").arg(AScreen.width()).arg(AScreen.height()),
                       QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                       QStringLiteral("-noreset"), QStringLiteral("-ac")});
        if (!FServer.waitForStarted(10000))
            return;
        QByteArray answer;
        WaitUntil(
            [&] {
                FServer.waitForReadyRead(50);
                answer += FServer.readAllStandardOutput();
                return answer.contains('\n') || FServer.state() != QProcess::Running;
            },
            20000);
        bool ok = false;
        const int number = answer.trimmed().toInt(&ok);
        if (ok && FServer.state() == QProcess::Running &&
            Accepts(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
            FName = QStringLiteral(":%1").arg(number);
        else
            StopServer();
    }
    ~TVirtualDisplay() { StopServer(); }
    const QString& Name() const { return FName; }

    // Whether a server listens on the Unix socket at ASocket (a display, a compositor).
    static bool Accepts(const QString& ASocket) {
        const QByteArray path = QFile::encodeName(ASocket);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (path.size() >= static_cast<qsizetype>(sizeof address.sun_path))
            return false;
        std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        const bool ok =
            ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return ok;
    }

private:
    // Asked to end, the server removes its socket and lock file.
    void StopServer() {
        if (FServer.state() == QProcess::NotRunning)
            return;
        FServer.terminate();
        if (!FServer.waitForFinished(10000))
            Stop(FServer);
    }

    QProcess FServer;
    QString FName;
};

using TWindowMatch = std::function<bool(const QString& title, QSize size)>;

// Finds the windows of real processes on a display and works them with the mouse and the
// keyboard through xdotool, as a user would.
class TDesktopDriver {
public:
    explicit TDesktopDriver(const TVirtualDisplay& ADisplay) : FDisplay(ADisplay) {}

    struct TWindow {
        QString Id;
        QString Title;
        QSize Size;
    };

    QString Xdotool(const QStringList& AArguments) const {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), FDisplay.Name());
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral("xdotool"), AArguments);
        tool.waitForFinished(10000);
        return QString::fromUtf8(tool.readAllStandardOutput());
    }

    // The visible windows of AProcess, remembered for EverShowed.
    QList<TWindow> Windows(const QProcess& AProcess) const {
        QList<TWindow> windows;
        const QString ids =
            Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--pid"), QString::number(AProcess.processId())});
        static const QRegularExpression size(QStringLiteral("WIDTH=(\\d+)\\s+HEIGHT=(\\d+)"));
        for (QString id : ids.split(u'\n', Qt::SkipEmptyParts)) {
            id = id.trimmed();
            const auto match = size.match(
                Xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id}));
            if (!match.hasMatch())
                continue;
            TWindow window{id, Xdotool({QStringLiteral("getwindowname"), id}).trimmed(),
                           QSize(match.captured(1).toInt(), match.captured(2).toInt())};
            FSeen[AProcess.processId()].append(window);
            windows.append(window);
        }
        return windows;
    }

    std::optional<QString> FindWindow(const QProcess& AProcess, const TWindowMatch& AMatch) const {
        for (const TWindow& window : Windows(AProcess))
            if (AMatch(window.Title, window.Size))
                return window.Id;
        return std::nullopt;
    }

    QString WaitForWindow(const QProcess& AProcess, const TWindowMatch& AMatch) const {
        std::optional<QString> id;
        EXPECT_TRUE(WaitUntil([&] { return (id = FindWindow(AProcess, AMatch)).has_value(); }))
            << "the expected window did not appear";
        return id.value_or(QString());
    }

    bool EverShowed(const QProcess& AProcess, const TWindowMatch& AMatch) const {
        for (const TWindow& window : FSeen.value(AProcess.processId()))
            if (AMatch(window.Title, window.Size))
                return true;
        return false;
    }

    // A left click at AAt in AWindow's coordinates.
    void Click(const QString& AWindow, QPoint AAt) const {
        Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), AWindow,
                 QString::number(AAt.x()), QString::number(AAt.y()), QStringLiteral("click"),
                 QStringLiteral("1")});
    }

    // Key strokes (xdotool names, such as "ctrl+a") to the window that has the focus; events
    // sent to a window directly are marked as synthetic, and Qt drops those.
    void Keys(const QString& AKeys) const { Xdotool({QStringLiteral("key"), AKeys}); }
    void Type(const QString& AText) const {
        Xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("10"), AText});
    }

private:
    const TVirtualDisplay& FDisplay;
    mutable QHash<qint64, QList<TWindow>> FSeen;
};

} // namespace velmora::testing
