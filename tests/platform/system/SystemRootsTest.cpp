#include "platform/system/SystemRoots.h"

#include "platform/system/SpecialFolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
