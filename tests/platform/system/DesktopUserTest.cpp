#include "platform/system/DesktopUser.h"

#include "platform/system/UserProcessLauncher.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace velmora;

namespace {

QProcessEnvironment Env(std::initializer_list<std::pair<const char*, const char*>> values) {
    QProcessEnvironment environment;
    for (const auto& [name, value] : values)
        environment.insert(QLatin1String(name), QLatin1String(value));
    return environment;
}

TEST(DesktopUser, RootActsForTheUserSudoOrPkexecNamed) {
    struct TCase {
        uid_t Euid;
        QProcessEnvironment Environment;
        std::optional<uid_t> Expected;
    };
    const TCase cases[] = {
        {1000, Env({{"SUDO_UID", "1001"}}), std::nullopt}, // not root: start as oneself
        {0, Env({}), std::nullopt},                        // a root login of its own
        {0, Env({{"SUDO_UID", "1000"}}), 1000},
        {0, Env({{"PKEXEC_UID", "1002"}}), 1002},
        {0, Env({{"PKEXEC_UID", "1002"}, {"SUDO_UID", "1000"}}), 1002},
        {0, Env({{"SUDO_UID", "0"}}), std::nullopt}, // root on behalf of root
        {0, Env({{"SUDO_UID", "12ab"}}), std::nullopt},
        {0, Env({{"SUDO_UID", "-5"}}), std::nullopt},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Environment.toStringList().join(u' ').toStdString());
        EXPECT_EQ(DesktopUserId(c.Euid, c.Environment), c.Expected);
    }
}

TEST(DesktopUser, EnvironmentIsTheUsersNeverRoots) {
    const TDesktopUser user{1000, 1000, u"mei"_qs, u"/home/mei"_qs, u"/bin/bash"_qs};
    const QProcessEnvironment current = Env({{"HOME", "/root"},
                                             {"XDG_CONFIG_HOME", "/root/.config"},
                                             {"DISPLAY", ":0"},
                                             {"LANG", "zh_CN.UTF-8"},
                                             {"PATH", "/root/bin:/usr/sbin"},
                                             {"SUDO_UID", "1000"}});
    const QStringList withBus = DesktopUserEnvironment(user, current, u"/run/user/1000"_qs, true);
    EXPECT_EQ(withBus, QStringList({u"HOME=/home/mei"_qs, u"USER=mei"_qs, u"LOGNAME=mei"_qs,
                                    u"SHELL=/bin/bash"_qs, u"PATH=/usr/local/bin:/usr/bin:/bin"_qs,
                                    u"DISPLAY=:0"_qs, u"LANG=zh_CN.UTF-8"_qs,
                                    u"XDG_RUNTIME_DIR=/run/user/1000"_qs,
                                    u"DBUS_SESSION_BUS_ADDRESS=unix:path=/run/user/1000/bus"_qs}));
    const QStringList withoutBus =
        DesktopUserEnvironment(user, current, u"/run/user/1000"_qs, false);
    EXPECT_FALSE(withoutBus.join(u'\n').contains(u"XDG_RUNTIME_DIR"_qs));
    EXPECT_FALSE(withoutBus.join(u'\n').contains(u"/root"_qs));
}

// The real hand-over: as root, a program started for another account runs with that
// account's ids and home.
TEST(DesktopUser, ProgramsStartAsTheDesktopUser) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root";
    std::optional<TDesktopUser> user = LookUpDesktopUser(65534);
    if (!user)
        GTEST_SKIP() << "no account 65534";
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther);
    ::chmod(dir.path().toLocal8Bit().constData(), 01777);
    const QString script = dir.filePath(u"who.sh"_qs);
    const QString answer = dir.filePath(u"answer"_qs);
    {
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\necho \"$(id -u) $(id -g) $HOME\" > " + answer.toLocal8Bit() +
                   ".tmp && mv " + answer.toLocal8Bit() + ".tmp " + answer.toLocal8Bit() + "\n");
    }
    QFile::setPermissions(script,
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    TUserProcessLauncher launcher(u"/usr/bin:/bin"_qs, user,
                                  DesktopUserEnvironment(*user, {}, QString(), false));
    launcher.Open(script);
    QDeadlineTimer deadline(10000);
    while (!QFile::exists(answer) && !deadline.hasExpired())
        QThread::msleep(10);
    QFile file(answer);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()).trimmed(),
              QStringLiteral("%1 %2 %3").arg(user->Uid).arg(user->Gid).arg(user->Home));
}

} // namespace
