#include "tests/support/Sandbox.h"

#include <QFileInfo>

using namespace velmora;
using namespace velmora::testing;

namespace {

class ShellIntegrationTest : public SandboxTest {
protected:
    void SetUp() override {
        QDir().mkpath(FRoots.Desktop);
        WriteFile(Target(), "#!/bin/sh\n");
    }
    QString Target() const { return Path(QStringLiteral("pf/Norvane/Velmora/Corvex.exe")); }
    QString Product() const { return Path(QStringLiteral("pf/Norvane/Velmora/")); }
};

} // namespace

TEST_F(ShellIntegrationTest, SpecialFoldersComeFromTheRoots) {
    EXPECT_EQ(FShell.GetSpecialFolderPath(0), FRoots.Desktop);
    EXPECT_EQ(FShell.GetSpecialFolderPath(2), FRoots.UserProgramsMenu);
    EXPECT_EQ(FShell.GetSpecialFolderPath(23), FRoots.AllUsersProgramsMenu);
    EXPECT_EQ(FShell.GetSpecialFolderPath(38), FRoots.ProgramFiles);
}

TEST_F(ShellIntegrationTest, CreateLinkAppendsTheExtensionUnlessExactlyPresent) {
    QString upper = FRoots.Desktop + QStringLiteral("/A.DESKTOP");
    EXPECT_TRUE(FShell.CreateLink(Target(), Product(), upper));
    EXPECT_EQ(upper, FRoots.Desktop + QStringLiteral("/A.DESKTOP.desktop"));
    EXPECT_TRUE(QFileInfo(upper).isFile());

    QString bare = FRoots.Desktop + QStringLiteral("/v1.5/B");
    QDir().mkpath(FRoots.Desktop + QStringLiteral("/v1.5"));
    EXPECT_TRUE(FShell.CreateLink(Target(), Product(), bare));
    EXPECT_EQ(bare, FRoots.Desktop + QStringLiteral("/v1.5/B.desktop"));

    QString exact = FRoots.Desktop + QStringLiteral("/C.desktop");
    EXPECT_TRUE(FShell.CreateLink(Target(), Product(), exact));
    EXPECT_EQ(exact, FRoots.Desktop + QStringLiteral("/C.desktop"));
    EXPECT_EQ(ReadFile(exact),
              TDesktopEntryLinks::EntryText(FShell.LinkTo(Target(), Product()), exact));
}

TEST_F(ShellIntegrationTest, CreateLinkSaysWhenTheSaveFailed) {
    // The install record must not claim a programs-menu shortcut that was never written.
    QString path = Path(QStringLiteral("missing/D"));
    EXPECT_FALSE(FShell.CreateLink(Target(), Product(), path));
    EXPECT_EQ(path, Path(QStringLiteral("missing/D.desktop")));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(Log().contains(u"CreateLink:创建快捷方式\r\n"_qs + path + u": "_qs))
        << Log().toStdString();
}

TEST_F(ShellIntegrationTest, ShortcutWithoutNameIsNamedAfterTheTarget) {
    QString linkPath;
    EXPECT_TRUE(FShell.CreateShortcut(Target(), linkPath, QString(), -1, QString()));
    EXPECT_EQ(linkPath, FRoots.Desktop + QStringLiteral("/Corvex.desktop"));
    const QByteArray text = ReadFile(linkPath);
    EXPECT_TRUE(text.contains("Name=Corvex\n"));
    EXPECT_TRUE(text.contains(("Exec=\"" + Target() + "\"\n").toUtf8()));
    EXPECT_TRUE(text.contains(("Path=" + Product() + "\n").toUtf8()));
    EXPECT_TRUE(QFileInfo(linkPath).isExecutable());
}

TEST_F(ShellIntegrationTest, ShortcutIntoAMissingFolderSavesNothing) {
    QString linkPath = QStringLiteral("unchanged");
    EXPECT_FALSE(FShell.CreateShortcut(Target(), linkPath, QStringLiteral("Velmora3.0"), -1,
                                       Path(QStringLiteral("nowhere/"))));
    EXPECT_EQ(linkPath, QStringLiteral("unchanged"));
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("nowhere"))));
    EXPECT_TRUE(Log().isEmpty());
}

TEST_F(ShellIntegrationTest, ShortcutIntoAnExistingFolderDropsItsTrailingSeparator) {
    QDir().mkpath(Path(QStringLiteral("links")));
    QString linkPath;
    EXPECT_TRUE(FShell.CreateShortcut(Target(), linkPath, QStringLiteral("Velmora3.0"), -1,
                                      Path(QStringLiteral("links/"))));
    EXPECT_EQ(linkPath, Path(QStringLiteral("links/Velmora3.0.desktop")));
    EXPECT_TRUE(QFileInfo(linkPath).isFile());
}

TEST_F(ShellIntegrationTest, ShortcutToAMissingTargetLeavesThePathAlone) {
    QString linkPath;
    EXPECT_FALSE(FShell.CreateShortcut(Path(QStringLiteral("none.exe")), linkPath,
                                       QStringLiteral("Velmora3.0"), -1, QString()));
    EXPECT_TRUE(linkPath.isEmpty());
    EXPECT_TRUE(QDir(FRoots.Desktop).isEmpty());
}

TEST_F(ShellIntegrationTest, ShortcutIntoAFolderWithoutPathIsRefused) {
    QString linkPath;
    EXPECT_FALSE(FShell.CreateShortcut(Target(), linkPath, QStringLiteral("X"), 7, QString()));
    EXPECT_TRUE(linkPath.isEmpty());
}

TEST_F(ShellIntegrationTest, ShortcutIntoAMissingDesktopCreatesTheDesktopFirst) {
    // A fresh account may have no desktop folder yet; a special folder is made on first use.
    QDir(FRoots.Desktop).removeRecursively();
    QString linkPath;
    EXPECT_TRUE(FShell.CreateShortcut(Target(), linkPath, QStringLiteral("Velmora3.0"), -1, {}));
    EXPECT_EQ(linkPath, FRoots.Desktop + QStringLiteral("/Velmora3.0.desktop"));
    EXPECT_TRUE(QFileInfo(linkPath).isFile());
}

TEST_F(ShellIntegrationTest, ProgramsMenuLinksGoIntoTheirCreatedSubfolder) {
    QString product;
    QString uninstaller;
    EXPECT_TRUE(FShell.CreateLinkToProgramsStartUp(Target(), Product(),
                                                   QStringLiteral("Velmora3.0"),
                                                   QStringLiteral("Velmora3.0"), true, product));
    EXPECT_TRUE(FShell.CreateLinkToProgramsStartUp(
        Product() + QStringLiteral("Uninstall.exe"), Product(), u"卸载Velmora3.0"_qs,
        QStringLiteral("Velmora3.0"), true, uninstaller));
    EXPECT_EQ(product, FRoots.UserProgramsMenu + QStringLiteral("/Velmora3.0/Velmora3.0.desktop"));
    EXPECT_EQ(uninstaller, FRoots.UserProgramsMenu + u"/Velmora3.0/卸载Velmora3.0.desktop"_qs);
    EXPECT_TRUE(QFileInfo(product).isFile());
    EXPECT_TRUE(ReadFile(uninstaller).contains("Uninstall.exe\"\n"));

    QString shared;
    EXPECT_TRUE(FShell.CreateLinkToProgramsStartUp(Target(), Product(), QStringLiteral("V"),
                                                   QString(), false, shared));
    EXPECT_EQ(shared, FRoots.AllUsersProgramsMenu + QStringLiteral("/V.desktop"));
    EXPECT_TRUE(Log().isEmpty());
}

TEST_F(ShellIntegrationTest, ProgramsMenuSubfolderThatCannotBeCreatedIsLogged) {
    WriteFile(FRoots.UserProgramsMenu + QStringLiteral("/Velmora3.0"));
    QString linkPath;
    EXPECT_FALSE(FShell.CreateLinkToProgramsStartUp(Target(), Product(), QStringLiteral("V"),
                                                    QStringLiteral("Velmora3.0"), true, linkPath));
    EXPECT_TRUE(
        Log().startsWith(u"CreateLinkToProgramsStartUp:创建快速启动栏\r\nCannot create folder"_qs));
}

TEST_F(ShellIntegrationTest, DeleteShortCutRemovesFilesAndLinksButNeverTheirTargets) {
    const QString link = FRoots.Desktop + QStringLiteral("/Velmora3.0.desktop");
    WriteFile(link);
    FShell.DeleteShortCut(link);
    EXPECT_FALSE(QFile::exists(link));
    FShell.DeleteShortCut(link);

    ASSERT_TRUE(QFile::link(Target(), link));
    FShell.DeleteShortCut(link);
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo(Target()).isFile());
    EXPECT_TRUE(Log().isEmpty());

    const QString folder = FRoots.Desktop + QStringLiteral("/folder.desktop");
    QDir().mkpath(folder);
    FShell.DeleteShortCut(folder);
    EXPECT_EQ(Log(), u"DeleteShortCut:删除快捷方式"_qs + folder + u"\r\nIs a directory\r\n"_qs);
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST_F(ShellIntegrationTest, DeleteShortCutRefusesFilesThatAreNoShortcuts) {
    FShell.DeleteShortCut(Target());
    EXPECT_TRUE(QFileInfo(Target()).isFile());
    EXPECT_EQ(Log(),
              u"DeleteShortCut:删除快捷方式"_qs + Target() + u"\r\nNot a shortcut file\r\n"_qs);
}

TEST_F(ShellIntegrationTest, ComFileCommandLinesAreExact) {
    EXPECT_EQ(ComFileCommandLines(QStringLiteral("/opt/Norvane/"), false),
              (QStringList{QStringLiteral("regsvr32 /s \"/opt/Norvane/PicView.ocx\""),
                           QStringLiteral("regsvr32 /s \"/opt/Norvane/SnapCore.dll\"")}));
    EXPECT_EQ(ComFileCommandLines(QString(), true),
              (QStringList{QStringLiteral("regsvr32 /s /u \"PicView.ocx\""),
                           QStringLiteral("regsvr32 /s /u \"SnapCore.dll\"")}));
}

TEST_F(ShellIntegrationTest, ComFilesOfTheFolderJustInstalledAndOfThePreviousProductFolder) {
    // Registered where the files now are; unregistered where the previous version had them.
    FState.ProductFolder = QStringLiteral("/new/Velmora/");
    FState.PreviousRecord.InstallLocation = QStringLiteral("/old/");
    FShell.RegisterComFiles();
    FShell.UnRegisterComFiles();
    EXPECT_EQ(FLauncher.Started,
              (QStringList{QStringLiteral("regsvr32 /s \"/new/Velmora/PicView.ocx\""),
                           QStringLiteral("regsvr32 /s \"/new/Velmora/SnapCore.dll\""),
                           QStringLiteral("regsvr32 /s /u \"/old/Velmora/PicView.ocx\""),
                           QStringLiteral("regsvr32 /s /u \"/old/Velmora/SnapCore.dll\"")}));
    FLauncher.Started.clear();
    FLauncher.ToolPresent = false;
    FShell.RegisterComFiles();
    EXPECT_TRUE(FLauncher.Started.isEmpty());
}

TEST_F(ShellIntegrationTest, ShellExecuteLogsAFailedStart) {
    FShell.ShellExecute(Target());
    EXPECT_EQ(FLauncher.Opened, QStringList{Target()});
    EXPECT_TRUE(Log().isEmpty());
    FLauncher.Fail = true;
    FShell.ShellExecute(QStringLiteral("https://x.example/"));
    EXPECT_EQ(Log(), u"ShellExecute:运行程序https://x.example/\r\nno opener\r\n"_qs);
}
