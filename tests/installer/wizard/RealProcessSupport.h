#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
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
        env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
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

    // Starts AProgram with the sandbox's environment, as the unprivileged user under root.
    void Start(QProcess& AProcess, const QString& AProgram, const QString& AQtPlatform,
               const QString& ADisplay = QString()) const {
        AProcess.setProcessEnvironment(Environment(AQtPlatform, ADisplay));
        AProcess.setWorkingDirectory(Path(QStringLiteral("home")));
        AProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        if (::geteuid() == 0)
            AProcess.start(QStringLiteral("setpriv"),
                           {QStringLiteral("--reuid=%1").arg(KNobody),
                            QStringLiteral("--regid=%1").arg(KNobody),
                            QStringLiteral("--clear-groups"), QStringLiteral("--"), AProgram});
        else
            AProcess.start(AProgram, QStringList());
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

} // namespace velmora::testing
