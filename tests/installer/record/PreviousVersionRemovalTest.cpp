#include "installer/PreviousVersionRemoval.h"

#include "platform/system/SqliteRegistryStore.h"
#include "tests/support/Sandbox.h"

#include <QDirIterator>
#include <QFileInfo>

using namespace velmora;
using namespace velmora::testing;

namespace {

class TRecordingDisplay final : public IProgressDisplay {
public:
    void SetStatusText(const QString& text) override { Calls << text; }
    void SetProgressRange(int minimum, int maximum) override {
        Calls << QStringLiteral("range %1..%2").arg(minimum).arg(maximum);
    }
    void SetProgressPosition(int position) override {
        Calls << QStringLiteral("position %1").arg(position);
    }
    QStringList Calls;
};

class RemovalTest : public SandboxTest {
protected:
    RemovalTest() : FRemoval(FRecord, FShell, FSettings, FState) {}

    QString Location() const { return Path(QStringLiteral("inst/")); }
    QString Product() const { return Location() + QStringLiteral("Velmora/"); }
    QString DesktopLink() const { return FRoots.Desktop + QStringLiteral("/Velmora3.0.desktop"); }
    QString MenuFolder() const { return FRoots.UserProgramsMenu + QStringLiteral("/Velmora3.0"); }
    QString MenuLink() const { return MenuFolder() + QStringLiteral("/Velmora3.0.desktop"); }
    QString MenuUninstallLink() const { return MenuFolder() + u"/卸载Velmora3.0.desktop"_qs; }

    // A previous installation as an earlier run left it, with user data and shortcuts.
    void PlantInstallation(const QString& location, bool programsShortcuts = true,
                           bool autoRun = false) {
        WriteFile(Product() + QStringLiteral("Corvex.exe"));
        WriteFile(Product() + QStringLiteral(".hidden"));
        WriteFile(Product() + QStringLiteral("sub/a.txt"));
        WriteFile(Product() + QStringLiteral("sub/deeper/users/x"));
        WriteFile(Product() + QStringLiteral("config/lower.ini"));
        WriteFile(Product() + QStringLiteral("Users/u.txt"));
        WriteFile(Product() + QStringLiteral("sub/Config/c.ini"));
        QDir().mkpath(Product() + QStringLiteral("empty"));
        for (const QString& link : {DesktopLink(), MenuLink(), MenuUninstallLink()})
            WriteFile(link);
        IRegistryStore& store = FServices.Registry();
        const QString key = UninstallRecordKey(FSettings);
        store.WriteString(key, QStringLiteral("InstallLocation"), location);
        store.WriteString(key, QStringLiteral("ShortcutFileName"), DesktopLink());
        store.WriteString(key, QStringLiteral("ProgramsStartUpFileName"), MenuLink());
        store.WriteString(key, QStringLiteral("ProgramsStartUpUnInstallFileName"),
                          MenuUninstallLink());
        store.WriteInteger(key, QStringLiteral("IsCreateDeskTopShortCut"), 1);
        store.WriteInteger(key, QStringLiteral("IsCreateProgramsShortCut"), programsShortcuts);
        store.WriteInteger(key, QStringLiteral("IsAutoRun"), autoRun);
        store.WriteString(AutoRunKey(), FSettings.ProgramKey(), QStringLiteral("/x"));
    }

    // Every entry below folder (links not followed), relative and sorted.
    static QStringList Entries(const QString& folder) {
        QStringList entries;
        QDirIterator it(folder,
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            entries << QDir(folder).relativeFilePath(it.next());
        entries.sort();
        return entries;
    }

    TPreviousVersionRemoval FRemoval;
};

} // namespace

TEST_F(RemovalTest, WithoutRecordNothingIsReadShownOrRun) {
    PlantInstallation(Location());
    FServices.Registry().DeleteKey(UninstallRecordKey(FSettings));
    TRecordingDisplay display;
    EXPECT_FALSE(FRemoval.RemoveLastVersion(display));
    EXPECT_TRUE(display.Calls.isEmpty());
    EXPECT_TRUE(FLauncher.Started.isEmpty());
    EXPECT_TRUE(QFile::exists(DesktopLink()));
    EXPECT_TRUE(QFile::exists(Product() + QStringLiteral("Corvex.exe")));
    EXPECT_TRUE(Log().isEmpty());
}

TEST_F(RemovalTest, RemovesEverythingButUserDataAndReportsProgress) {
    PlantInstallation(Location());
    TRecordingDisplay display;
    EXPECT_TRUE(FRemoval.RemoveLastVersion(display));
    EXPECT_EQ(display.Calls,
              (QStringList{u"正在卸载已安装版本..."_qs, QStringLiteral("range 0..100"),
                           QStringLiteral("position 0"), QStringLiteral("position 100")}));
    EXPECT_EQ(Entries(Location()),
              (QStringList{QStringLiteral("Velmora"), QStringLiteral("Velmora/Users"),
                           QStringLiteral("Velmora/Users/u.txt"), QStringLiteral("Velmora/sub"),
                           QStringLiteral("Velmora/sub/Config"),
                           QStringLiteral("Velmora/sub/Config/c.ini")}));
    EXPECT_FALSE(QFile::exists(DesktopLink()));
    EXPECT_FALSE(QFile::exists(MenuFolder()));
    EXPECT_FALSE(FRecord.CheckIsHasLastVer());
    EXPECT_EQ(FLauncher.Started,
              (QStringList{u"regsvr32 /s /u \""_qs + Product() + u"PicView.ocx\""_qs,
                           u"regsvr32 /s /u \""_qs + Product() + u"SnapCore.dll\""_qs}));
    EXPECT_TRUE(FServices.Registry().ValueExists(AutoRunKey(), FSettings.ProgramKey()));
    EXPECT_TRUE(Log().isEmpty());
}

TEST_F(RemovalTest, EmptyLocationDeletesNoFilesButShortcutsAndRecord) {
    PlantInstallation(QString());
    EXPECT_TRUE(FRemoval.UnInstallLastVersion().isEmpty());
    EXPECT_EQ(Entries(Product()).size(), 14);
    EXPECT_FALSE(QFile::exists(DesktopLink()));
    EXPECT_FALSE(QFile::exists(MenuLink()));
    EXPECT_FALSE(FRecord.CheckIsHasLastVer());
    EXPECT_EQ(FLauncher.Started.first(), QStringLiteral("regsvr32 /s /u \"PicView.ocx\""));
}

TEST_F(RemovalTest, ProgramsMenuShortcutsStayWhenTheRecordSaysNone) {
    PlantInstallation(Location(), false);
    FRemoval.UnInstallLastVersion();
    EXPECT_TRUE(QFile::exists(MenuLink()));
    EXPECT_TRUE(QFile::exists(MenuUninstallLink()));
    EXPECT_FALSE(QFile::exists(DesktopLink()));
}

TEST_F(RemovalTest, AutoRunEntryIsRemovedWhenRecorded) {
    PlantInstallation(Location(), true, true);
    FRemoval.UnInstallLastVersion();
    EXPECT_FALSE(FServices.Registry().ValueExists(AutoRunKey(), FSettings.ProgramKey()));
}

TEST_F(RemovalTest, PlantedLinksAreRemovedThemselvesNeverFollowed) {
    PlantInstallation(Location());
    const QString canary = Path(QStringLiteral("outside/canary.txt"));
    WriteFile(canary, "alive");
    WriteFile(Path(QStringLiteral("outside/Users/keep.txt")), "alive");
    WriteFile(Path(QStringLiteral("data/Config/mine.ini")), "alive");
    ASSERT_TRUE(
        QFile::link(Path(QStringLiteral("outside")), Product() + QStringLiteral("dirlink")));
    ASSERT_TRUE(QFile::link(canary, Product() + QStringLiteral("sub/filelink")));
    ASSERT_TRUE(QFile::link(FDir.path(), Product() + QStringLiteral("sub/up")));
    ASSERT_TRUE(QFile::link(Path(QStringLiteral("gone")), Product() + QStringLiteral("dangling")));
    // Moved elsewhere by the user: the link to their data stays.
    ASSERT_TRUE(QFile::link(Path(QStringLiteral("data/Config")),
                            Product() + QStringLiteral("sub/deeper/Config")));

    FRemoval.UnInstallLastVersion();
    EXPECT_EQ(ReadFile(canary), QByteArray("alive"));
    EXPECT_EQ(ReadFile(Path(QStringLiteral("outside/Users/keep.txt"))), QByteArray("alive"));
    EXPECT_EQ(Entries(Path(QStringLiteral("outside"))).size(), 3);
    for (const char* link : {"dirlink", "sub/filelink", "sub/up", "dangling"})
        EXPECT_FALSE(QFileInfo(Product() + QString::fromLatin1(link)).isSymLink()) << link;
    EXPECT_TRUE(QFileInfo(Product() + QStringLiteral("sub/deeper/Config")).isSymLink());
    EXPECT_EQ(ReadFile(Path(QStringLiteral("data/Config/mine.ini"))), QByteArray("alive"));
    EXPECT_FALSE(QFile::exists(Product() + QStringLiteral("Corvex.exe")));
    EXPECT_TRUE(QFile::exists(FRoots.RegistryStoreFile));
}

TEST_F(RemovalTest, LocationThatIsALinkIsLeftAlone) {
    const QString real = Path(QStringLiteral("real/"));
    WriteFile(real + QStringLiteral("Velmora/Corvex.exe"), "alive");
    ASSERT_TRUE(QFile::link(Path(QStringLiteral("real")), Path(QStringLiteral("linked"))));
    PlantInstallation(Path(QStringLiteral("linked/")));
    FRemoval.UnInstallLastVersion();
    EXPECT_EQ(ReadFile(real + QStringLiteral("Velmora/Corvex.exe")), QByteArray("alive"));
    EXPECT_TRUE(QFileInfo(Path(QStringLiteral("linked"))).isSymLink());
    // The files are still there, so are the shortcuts and the record that lead to them.
    EXPECT_TRUE(FRecord.CheckIsHasLastVer());
    EXPECT_TRUE(QFile::exists(DesktopLink()));
}

TEST_F(RemovalTest, OnlyTheProductFolderOfABusyLocationIsCleaned) {
    PlantInstallation(Location().chopped(1));
    WriteFile(Location() + QStringLiteral("Documents/letter.txt"), "mine");
    WriteFile(Location() + QStringLiteral(".profile"), "mine");
    WriteFile(Location() + QStringLiteral("Other/Velmora/keep"), "mine");
    FRemoval.UnInstallLastVersion();
    EXPECT_EQ(ReadFile(Location() + QStringLiteral("Documents/letter.txt")), QByteArray("mine"));
    EXPECT_EQ(ReadFile(Location() + QStringLiteral(".profile")), QByteArray("mine"));
    EXPECT_EQ(ReadFile(Location() + QStringLiteral("Other/Velmora/keep")), QByteArray("mine"));
    EXPECT_FALSE(QFile::exists(Product() + QStringLiteral("sub/a.txt")));
    EXPECT_TRUE(QFile::exists(Product() + QStringLiteral("Users/u.txt")));
}

TEST_F(RemovalTest, LocationFolderGoesOnlyWhenEmptied) {
    PlantInstallation(Location());
    QDir(Product() + QStringLiteral("Users")).removeRecursively();
    QDir(Product() + QStringLiteral("sub/Config")).removeRecursively();
    FRemoval.UnInstallLastVersion();
    EXPECT_FALSE(QFile::exists(Location()));
    EXPECT_TRUE(QFileInfo(FDir.path()).isDir());
}

TEST_F(RemovalTest, LocationWithoutProductFolderCleansNothing) {
    WriteFile(Location() + QStringLiteral("unrelated.txt"), "mine");
    WriteFile(Location() + QStringLiteral("velmora/lower.txt"), "mine");
    TPreviousVersionRemoval::CleanInstallLocation(Location(), FSettings.ProductName);
    EXPECT_EQ(Entries(Location()).size(), 3);
}

TEST_F(RemovalTest, RootLocationLosesNothingOutsideTheProductFolder) {
    if (QFileInfo::exists(QStringLiteral("/Velmora")))
        GTEST_SKIP() << "a real /Velmora exists";
    PlantInstallation(QStringLiteral("/"));
    FRemoval.UnInstallLastVersion();
    EXPECT_TRUE(QFileInfo(QStringLiteral("/tmp")).isDir());
    EXPECT_TRUE(QFile::exists(Product() + QStringLiteral("Corvex.exe")));
    EXPECT_FALSE(FRecord.CheckIsHasLastVer());
    EXPECT_TRUE(Log().isEmpty());
}

TEST_F(RemovalTest, SandboxRootAsLocationKeepsTheRestOfTheSandbox) {
    PlantInstallation(FDir.path() + u'/');
    WriteFile(Path(QStringLiteral("Velmora/Corvex.exe")));
    WriteFile(Path(QStringLiteral("Velmora/Config/c.ini")), "mine");
    FRemoval.UnInstallLastVersion();
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("Velmora/Corvex.exe"))));
    EXPECT_EQ(ReadFile(Path(QStringLiteral("Velmora/Config/c.ini"))), QByteArray("mine"));
    EXPECT_TRUE(QFile::exists(Product() + QStringLiteral("Corvex.exe")));
    EXPECT_TRUE(QFile::exists(FRoots.RegistryStoreFile));
    EXPECT_TRUE(QFileInfo(LogFolder()).isDir());
}

TEST_F(RemovalTest, RelativeLocationIsNeverResolved) {
    PlantInstallation(QStringLiteral("inst/"));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(FDir.path()));
    const QString summary = FRemoval.UnInstallLastVersion();
    QDir::setCurrent(before);
    EXPECT_EQ(summary,
              u"读取上次安装信息:InstallLocation: the value is not an absolute path\r\n"_qs);
    EXPECT_TRUE(QFile::exists(Product() + QStringLiteral("Corvex.exe")));
    // A record that cannot be trusted is not acted on at all.
    EXPECT_TRUE(FRecord.CheckIsHasLastVer());
    EXPECT_TRUE(QFile::exists(DesktopLink()));
}

TEST_F(RemovalTest, EscapingErrorsAreSummedUpUnderTheirLabelAndLaterStepsStillRun) {
    PlantInstallation(Location());
    FLauncher.Fail = true;
    const QString summary = FRemoval.UnInstallLastVersion();
    EXPECT_EQ(summary, u"反注册库:spawn failed\r\n"_qs);
    EXPECT_EQ(Log(), u"UnInstallLastVersion:卸载已安装版本\r\n反注册库:spawn failed\r\n"_qs);
    EXPECT_FALSE(QFile::exists(DesktopLink()));
    EXPECT_FALSE(QFile::exists(Product() + QStringLiteral("Corvex.exe")));
    EXPECT_FALSE(FRecord.CheckIsHasLastVer());
}

TEST_F(RemovalTest, StoreWithoutRightsRemovesNothing) {
    PlantInstallation(Location());
    ASSERT_TRUE(QFile::setPermissions(FRoots.RegistryStoreFile, QFile::ReadOwner));
    TSqliteRegistryStore readOnly(FRoots.RegistryStoreFile, FRoots.ProgramFiles);
    TInstallRecord record(readOnly, FSettings, FState);
    TPreviousVersionRemoval removal(record, FShell, FSettings, FState);
    TRecordingDisplay display;
    EXPECT_TRUE(removal.RemoveLastVersion(display));
    EXPECT_TRUE(QFile::exists(DesktopLink()));
    EXPECT_TRUE(QFile::exists(Product() + QStringLiteral("Corvex.exe")));
    EXPECT_TRUE(readOnly.KeyExists(UninstallRecordKey(FSettings)));
    EXPECT_EQ(Log(), u"当前用户没有读写注册表的权限\r\n"_qs);
}

TEST(DeleteInstallFolderTest, RefusesTheRootAndRelativeFolders) {
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    QDir().mkpath(QStringLiteral("rel/x"));
    TPreviousVersionRemoval::DeleteInstallFolder(QStringLiteral("rel"));
    TPreviousVersionRemoval::DeleteInstallFolder(QStringLiteral("rel/x/../.."));
    EXPECT_TRUE(QFileInfo(QStringLiteral("rel/x")).isDir());
    QDir::setCurrent(before);
    TPreviousVersionRemoval::DeleteInstallFolder(QStringLiteral("//"));
    EXPECT_TRUE(QFileInfo(dir.path() + QStringLiteral("/rel/x")).isDir());
}

TEST(DeleteInstallFolderTest, CleansBottomUpAndRemovesTheFolderItself) {
    QTemporaryDir dir;
    const QString top = dir.path() + QStringLiteral("/top");
    QDir().mkpath(top + QStringLiteral("/a/b/c"));
    QFile file(top + QStringLiteral("/a/b/c/f"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(QFile::setPermissions(file.fileName(), QFile::ReadOwner));
    TPreviousVersionRemoval::DeleteInstallFolder(top);
    EXPECT_FALSE(QFile::exists(top));
    TPreviousVersionRemoval::DeleteInstallFolder(top);
}

TEST_F(RemovalTest, RecordNamingForeignFilesAsShortcutsLosesNothing) {
    PlantInstallation(Location());
    const QString canary = Path(QStringLiteral("outside/canary.txt"));
    WriteFile(canary, "alive");
    IRegistryStore& store = FServices.Registry();
    const QString key = UninstallRecordKey(FSettings);
    store.WriteString(key, QStringLiteral("ShortcutFileName"), canary);
    store.WriteString(key, QStringLiteral("ProgramsStartUpFileName"), canary);
    const QString summary = FRemoval.UnInstallLastVersion();
    EXPECT_EQ(ReadFile(canary), QByteArray("alive"));
    EXPECT_TRUE(summary.contains(
        u"读取上次安装信息:ShortcutFileName: the shortcut is not a .desktop file\r\n"_qs))
        << summary.toStdString();
    EXPECT_TRUE(summary.contains(u"读取上次安装信息:ProgramsStartupFileName: the shortcut is not a "
                                 u".desktop file\r\n"_qs))
        << summary.toStdString();
    // Nothing of a record that names foreign files is acted on.
    EXPECT_TRUE(QFile::exists(MenuUninstallLink()));
    EXPECT_TRUE(QFile::exists(Product() + QStringLiteral("Corvex.exe")));
    EXPECT_TRUE(FRecord.CheckIsHasLastVer());
}
