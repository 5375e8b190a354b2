// Root installing on behalf of a real, unprivileged desktop user (as sudo and pkexec leave
// it): the desktop shortcut lands on that person's desktop, as named by their own
// user-dirs.dirs, and is theirs; the programs menu is the machine-wide one and its cache is
// refreshed; the uninstaller undoes it all. The account is made
// for the test with its home below a temporary folder and removed afterwards; the machine
// folders are staged, so nothing of the real system is touched.
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;

namespace {

struct stat Stat(const QString& path) {
    struct stat info {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

void Write(const QString& path, const QByteArray& bytes, uid_t owner = 0) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
    file.close();
    ASSERT_EQ(::chown(QFile::encodeName(path).constData(), owner, owner), 0);
}

int RunTool(const QString& program, const QStringList& args, const QProcessEnvironment& env = {},
            QString* output = nullptr) {
    QProcess process;
    if (!env.isEmpty())
        process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForFinished(60000))
        return -1;
    if (output != nullptr)
        *output = QString::fromUtf8(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// A login-less account whose home lies in the test's folder, gone again with the test.
class TTestAccount {
public:
    explicit TTestAccount(const QString& home)
        : FName(QStringLiteral("velmora-t%1").arg(::getpid())), FHome(home) {
        RemoveLeftOvers();
        QString output;
        FMade = RunTool(QStringLiteral("useradd"),
                        {u"--no-create-home"_qs, u"--home-dir"_qs, home, u"--shell"_qs,
                         u"/usr/sbin/nologin"_qs, u"--user-group"_qs, FName},
                        {}, &output) == 0;
        if (!FMade) {
            FError = output;
            return;
        }
        const passwd* entry = ::getpwnam(FName.toLocal8Bit().constData());
        FMade = entry != nullptr;
        if (FMade) {
            Uid = entry->pw_uid;
            Gid = entry->pw_gid;
        }
    }
    ~TTestAccount() {
        if (FMade)
            RunTool(QStringLiteral("userdel"), {FName});
    }
    bool Made() const { return FMade; }
    // Accounts of earlier runs that were killed before they could clean up.
    static void RemoveLeftOvers() {
        QStringList stale;
        ::setpwent();
        while (const passwd* entry = ::getpwent()) {
            const QString name = QString::fromLocal8Bit(entry->pw_name);
            bool isNumber = false;
            const int pid = name.mid(9).toInt(&isNumber);
            if (name.startsWith(u"velmora-t"_qs) && isNumber && ::kill(pid, 0) != 0)
                stale << name;
        }
        ::endpwent();
        for (const QString& name : stale)
            RunTool(QStringLiteral("userdel"), {name});
    }
    const QString& Error() const { return FError; }
    const QString& Name() const { return FName; }
    uid_t Uid = 0;
    gid_t Gid = 0;

private:
    QString FName;
    QString FHome;
    bool FMade = false;
    QString FError;
};

TEST(DesktopUserInstallTest, RootPutsTheShortcutOnTheDesktopUsersOwnDesktop) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to install on another user's behalf";
    if (QStandardPaths::findExecutable(QStringLiteral("useradd")).isEmpty())
        GTEST_SKIP() << "no useradd to make a desktop user with";
    QTemporaryDir dir;
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    const QString home = dir.filePath(u"home"_qs);
    TTestAccount account(home);
    ASSERT_TRUE(account.Made()) << account.Error().toStdString();
    ASSERT_TRUE(QDir().mkpath(home + u"/.config"_qs));
    for (const QString& folder : {home, home + u"/.config"_qs})
        ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), account.Uid, account.Gid), 0);
    Write(home + u"/.config/user-dirs.dirs"_qs,
          "XDG_DOWNLOAD_DIR=\"$HOME/下载\"\nXDG_DESKTOP_DIR=\"$HOME/桌面\"\n", account.Uid);

    // Stand-ins for the desktop's helpers write down who ran them with what.
    const QString bin = dir.filePath(u"bin"_qs);
    const QString calls = dir.filePath(u"calls/log"_qs);
    QDir().mkpath(bin);
    QDir().mkpath(dir.filePath(u"calls"_qs));
    ::chmod(QFile::encodeName(dir.filePath(u"calls"_qs)).constData(), 01777);
    for (const QString& tool : {u"gio"_qs, u"update-desktop-database"_qs}) {
        Write(bin + u'/' + tool,
              "#!/bin/sh\necho \"$(id -u) ${0##*/} $*\" >> " + QFile::encodeName(calls) + "\n");
        ::chmod(QFile::encodeName(bin + u'/' + tool).constData(), 0755);
    }
    QProcessEnvironment env;
    env.insert(u"PATH"_qs, bin + u":/usr/sbin:/usr/bin:/sbin:/bin"_qs);
    env.insert(u"HOME"_qs, dir.filePath(u"root-home"_qs));
    env.insert(u"SUDO_UID"_qs, QString::number(account.Uid));
    env.insert(u"SUDO_USER"_qs, account.Name());
    env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    env.insert(u"ASAN_OPTIONS"_qs, u"detect_leaks=0"_qs);
    const QString machine = dir.filePath(u"machine"_qs);
    const QString apps = dir.filePath(u"Apps"_qs);

    QString output;
    ASSERT_EQ(RunTool(QStringLiteral(SETUP_CLI),
                      {u"install"_qs, QStringLiteral(BUILT_PAYLOAD_ARCHIVE), apps,
                       u"--machine-root"_qs, machine},
                      env, &output),
              0)
        << output.toStdString();

    const QString desktop = home + u"/桌面"_qs;
    const QString shortcut = desktop + u"/Velmora3.0.desktop"_qs;
    const QString menu = machine + u"/menu/all-users"_qs;
    const QStringList menuEntries = {menu + u"/Velmora3.0/Velmora3.0.desktop"_qs,
                                     menu + u"/Velmora3.0/卸载Velmora3.0.desktop"_qs};
    EXPECT_EQ(Stat(desktop).st_uid, account.Uid) << "the desktop folder was made as theirs";
    EXPECT_EQ(Stat(shortcut).st_uid, account.Uid);
    EXPECT_EQ(Stat(shortcut).st_gid, account.Gid);
    EXPECT_TRUE(S_ISREG(Stat(shortcut).st_mode));
    EXPECT_EQ(Stat(shortcut).st_mode & 0777, 0755u) << "a desktop launches executable entries";
    for (const QString& entry : menuEntries)
        EXPECT_EQ(Stat(entry).st_uid, 0u) << entry.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(u"root-home/Desktop"_qs)));
    // Nothing root made in the person's home stays root's.
    QDirIterator inHome(home, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
    while (inHome.hasNext())
        EXPECT_EQ(Stat(inHome.next()).st_uid, account.Uid) << inHome.filePath().toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(u"root-home/.local"_qs)));

    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (!validator.isEmpty()) {
        for (const QString& entry : QStringList{shortcut} + menuEntries) {
            QString says;
            EXPECT_EQ(RunTool(validator, {entry}, {}, &says), 0) << entry.toStdString();
            EXPECT_EQ(says, QString()) << says.toStdString();
        }
    }
    // The account has no session bus (it never logged in), so there is no desktop session to
    // tell about trust and gio is not run; with a session it runs as the account
    // (ShellLinksTest). The menu is refreshed as root.
    EXPECT_EQ(QString::fromUtf8(velmora::test::ReadFile(calls)),
              QStringLiteral("0 update-desktop-database -q %1\n").arg(menu));

    QFile::remove(calls);
    ASSERT_EQ(RunTool(QStringLiteral(UNINSTALL_EXE), {u"--yes"_qs, u"--machine-root"_qs, machine},
                      env, &output),
              0)
        << output.toStdString();
    EXPECT_FALSE(QFileInfo::exists(shortcut));
    EXPECT_FALSE(QFileInfo::exists(menu + u"/Velmora3.0"_qs));
    EXPECT_TRUE(QFileInfo(desktop).isDir()) << "the person's desktop stays";
    EXPECT_EQ(QString::fromUtf8(velmora::test::ReadFile(calls)),
              QStringLiteral("0 update-desktop-database -q %1\n").arg(menu));
    // Installed for the person again, then removed from a root shell (no SUDO_UID) after the
    // person swapped their desktop for a link to a folder they cannot write: root walks their
    // home as them and deletes nothing through the link.
    ASSERT_EQ(RunTool(QStringLiteral(SETUP_CLI),
                      {u"install"_qs, QStringLiteral(BUILT_PAYLOAD_ARCHIVE), apps,
                       u"--machine-root"_qs, machine},
                      env, &output),
              0)
        << output.toStdString();
    const QString outside = dir.filePath(u"outside"_qs);
    QDir().mkpath(outside);
    Write(outside + u"/Velmora3.0.desktop"_qs, "not the installer's", 0);
    ASSERT_TRUE(QDir().rename(desktop, home + u"/桌面.moved"_qs));
    ASSERT_TRUE(QFile::link(outside, desktop));
    QProcessEnvironment rootShell = env;
    rootShell.remove(u"SUDO_UID"_qs);
    rootShell.remove(u"SUDO_USER"_qs);
    RunTool(QStringLiteral(UNINSTALL_EXE), {u"--yes"_qs, u"--machine-root"_qs, machine}, rootShell,
            &output);
    EXPECT_EQ(velmora::test::ReadFile(outside + u"/Velmora3.0.desktop"_qs), "not the installer's")
        << output.toStdString();
}

} // namespace
