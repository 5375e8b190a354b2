#include "platform/system/SystemRoots.h"

#include "platform/system/SpecialFolders.h"
#include "platform/system/UserDirs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;

TEST(SystemRootsTest, BelowPutsEveryRootUnderTheFolder) {
    const TSystemRoots roots = TSystemRoots::Below(QStringLiteral("/tmp/stage/"));
    for (const QString& path : {roots.RegistryStoreFile, roots.ProgramFiles, roots.Desktop,
                                roots.UserProgramsMenu, roots.AllUsersProgramsMenu})
        EXPECT_TRUE(path.startsWith(QStringLiteral("/tmp/stage/"))) << path.toStdString();
    EXPECT_NE(roots.UserProgramsMenu, roots.AllUsersProgramsMenu);
}

TEST(SystemRootsTest, ScopeDecidesProgramFilesAndStore) {
    const QString home = QStringLiteral("/home/ann");
    const QString data = QStringLiteral("/home/ann/.local/share");
    const TSystemRoots machine = TSystemRoots::ForScope(true, home, data, home + "/Desktop");
    EXPECT_EQ(machine.ProgramFiles, QStringLiteral("/opt"));
    EXPECT_TRUE(machine.RegistryStoreFile.startsWith(QStringLiteral("/var/lib/")));
    EXPECT_EQ(machine.AllUsersProgramsMenu, QStringLiteral("/usr/local/share/applications"));
    EXPECT_EQ(machine.UserProgramsMenu, machine.AllUsersProgramsMenu)
        << "root's own menu is seen by nobody";

    const TSystemRoots user = TSystemRoots::ForScope(false, home, data, home + "/Desktop");
    EXPECT_EQ(user.ProgramFiles, QStringLiteral("/home/ann/.local/opt"));
    EXPECT_TRUE(user.RegistryStoreFile.startsWith(data + u'/'));
    EXPECT_EQ(user.UserProgramsMenu, data + QStringLiteral("/applications"));
    EXPECT_EQ(user.Desktop, QStringLiteral("/home/ann/Desktop"));
}

TEST(SystemRootsTest, DesktopFolderComesFromUserDirs) {
    QTemporaryDir config;
    EXPECT_EQ(XdgDesktopFolder(QStringLiteral("/home/ann"), config.path()),
              QStringLiteral("/home/ann/Desktop"));
    QFile dirs(config.path() + QStringLiteral("/user-dirs.dirs"));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("# comment\nXDG_DOWNLOAD_DIR=\"$HOME/Dl\"\nXDG_DESKTOP_DIR=\"$HOME/桌面\"\n");
    dirs.close();
    EXPECT_EQ(XdgDesktopFolder(QStringLiteral("/home/ann"), config.path()),
              QStringLiteral("/home/ann/桌面"));
}

TEST(SpecialFoldersTest, KnownIdsMapToRootsOthersAreEmpty) {
    TSystemRoots roots = TSystemRoots::Below(QStringLiteral("/r"));
    roots.Desktop = QStringLiteral("/r/desk/");
    const TSpecialFolders folders(roots);
    EXPECT_EQ(folders.Path(ISpecialFolders::Desktop), QStringLiteral("/r/desk"));
    EXPECT_EQ(folders.Path(2), roots.UserProgramsMenu);
    EXPECT_EQ(folders.Path(23), roots.AllUsersProgramsMenu);
    EXPECT_EQ(folders.Path(38), roots.ProgramFiles);
    EXPECT_TRUE(folders.Path(5).isEmpty());
    EXPECT_TRUE(folders.Path(-1).isEmpty());
    roots.Desktop.clear();
    EXPECT_TRUE(TSpecialFolders(roots).Path(0).isEmpty());
}

TEST(UserDirsTest, DesktopLineIsCheckedBeforeItIsUsed) {
    struct TCase {
        QByteArray Text;
        QString Folder;
        bool Refused;
    };
    const QString home = QStringLiteral("/home/ann");
    const TCase cases[] = {
        {"XDG_DESKTOP_DIR=\"$HOME/桌面\"\n", u"/home/ann/桌面"_qs, false},
        {"XDG_DESKTOP_DIR=\"/data/desk\"", u"/data/desk"_qs, false},
        {"XDG_DESKTOP_DIR=\"$HOME\"", u"/home/ann"_qs, false},
        {"XDG_DESKTOP_DIR=\"$HOME/a\\\"b\"", u"/home/ann/a\"b"_qs, false},
        {"  XDG_DESKTOP_DIR = \"$HOME/x//y/\"  ", u"/home/ann/x/y"_qs, false},
        {"# XDG_DESKTOP_DIR=\"/etc\"\nXDG_MUSIC_DIR=\"/m\"", QString(), false},
        {"XDG_DESKTOP_DIR=$HOME/Desktop", QString(), true},
        {"XDG_DESKTOP_DIR=\"desk\"", QString(), true},
        {"XDG_DESKTOP_DIR=\"$HOMEX/d\"", QString(), true},
        {"XDG_DESKTOP_DIR=\"$HOME/../root\"", QString(), true},
        {"XDG_DESKTOP_DIR=\"$HOME/./d\"", QString(), true},
        {"XDG_DESKTOP_DIR=\"$HOME/a\tb\"", QString(), true},
        {"XDG_DESKTOP_DIR=\"$HOME/a\"b\"", QString(), true},
        {"XDG_DESKTOP_DIR=\"$HOME/\xff\xfe\"", QString(), true},
        {"XDG_DESKTOP_DIR=\"$HOME/\\\"", QString(), true},
        // The last usable line wins; a bad line after it is reported and ignored.
        {"XDG_DESKTOP_DIR=\"$HOME/a\"\nXDG_DESKTOP_DIR=\"$HOME/b\"", u"/home/ann/b"_qs, false},
        {"XDG_DESKTOP_DIR=\"$HOME/a\"\nXDG_DESKTOP_DIR=\"../x\"", u"/home/ann/a"_qs, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text.toStdString());
        const TUserDirsDesktop result = DesktopFromUserDirs(c.Text, home);
        EXPECT_EQ(result.Folder, c.Folder);
        EXPECT_EQ(!result.Error.isEmpty(), c.Refused) << result.Error.toStdString();
    }
}

// Root reads the file of the person it acts for as untrusted input: a planted link, a FIFO,
// a huge file, another user's file or a folder outside the home all end at $HOME/Desktop.
TEST(UserDirsTest, RootReadsAnotherPersonsFileWithoutTrustingIt) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to read as another user's installer";
    QTemporaryDir dir;
    const QString home = dir.path() + u"/home"_qs;
    const QString config = home + u"/.config"_qs;
    const QString file = config + u"/user-dirs.dirs"_qs;
    const TDesktopUser user{65534, 65534, u"nobody"_qs, home, u"/bin/sh"_qs};
    const auto reset = [&](const std::function<void()>& plant) {
        QDir(home).removeRecursively();
        QDir().mkpath(config);
        ::chown(QFile::encodeName(home).constData(), 65534, 65534);
        ::chown(QFile::encodeName(config).constData(), 65534, 65534);
        plant();
    };
    const auto write = [&](const QString& path, const QByteArray& text, uid_t owner) {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(text);
        out.close();
        ::chown(QFile::encodeName(path).constData(), owner, owner);
    };
    const QString outside = dir.path() + u"/outside.dirs"_qs;
    write(outside, "XDG_DESKTOP_DIR=\"$HOME/from-a-link\"\n", 0);
    struct TCase {
        const char* Name;
        std::function<void()> Plant;
        QString Desktop;
        bool Refused;
    };
    const TCase cases[] = {
        {"the user's own file", [&] { write(file, "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n", 65534); },
         home + u"/桌面"_qs, false},
        {"no file", [] {}, home + u"/Desktop"_qs, false},
        {"a link to root's file", [&] { QFile::link(outside, file); }, home + u"/Desktop"_qs, true},
        {"a linked .config",
         [&] {
             QDir(config).removeRecursively();
             QDir().mkpath(dir.path() + u"/cfg"_qs);
             QFile::copy(outside, dir.path() + u"/cfg/user-dirs.dirs"_qs);
             QFile::link(dir.path() + u"/cfg"_qs, config);
         },
         home + u"/Desktop"_qs, true},
        {"a FIFO", [&] { ::mkfifo(QFile::encodeName(file).constData(), 0644); },
         home + u"/Desktop"_qs, true},
        {"a huge file", [&] { write(file, QByteArray(KUserDirsMaxSize + 1, '#'), 65534); },
         home + u"/Desktop"_qs, true},
        {"another user's file", [&] { write(file, "XDG_DESKTOP_DIR=\"$HOME/o\"\n", 1234); },
         home + u"/Desktop"_qs, true},
        {"a desktop outside the home",
         [&] { write(file, "XDG_DESKTOP_DIR=\"/usr/share/applications\"\n", 65534); },
         home + u"/Desktop"_qs, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        reset(c.Plant);
        QString error;
        EXPECT_EQ(DesktopFolderOf(user, error), c.Desktop);
        EXPECT_EQ(!error.isEmpty(), c.Refused) << error.toStdString();
    }
    QString error;
    EXPECT_EQ(DesktopFolderOf(TDesktopUser{65534, 65534, u"n"_qs, u"/"_qs, QString()}, error),
              QString())
        << "a home of / confines nothing";
}
