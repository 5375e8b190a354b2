#include "installer/InstallRecord.h"
#include "platform/system/SqliteRegistryStore.h"
#include "platform/system/SystemRoots.h"
#include "tests/support/PayloadImageBuilder.h"
#include "tests/support/TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using velmora::test::ReadTree;
using velmora::test::TImageBuilder;
using velmora::test::WriteFile;
using namespace velmora;

namespace {

using TRun = velmora::test::TProcessRun;
using velmora::test::RunProcess;

TEST(UninstallProgramsTest, SetupCliInstallsReportsAndTheUninstallerRemoves) {
    QTemporaryDir dir;
    const QString root = dir.filePath(u"stage"_qs);
    const QString archive = dir.filePath(u"payload.bin"_qs);
    WriteFile(archive, TImageBuilder()
                           .Add("Velmora\\Corvex.exe", "#!/bin/sh\n")
                           .Add("Velmora\\Users\\default\\profile.ini", "p")
                           .Add("Velmora\\lib\\core.so", "core")
                           .Archive());
    const QString setup = QStringLiteral(SETUP_CLI);
    const QString uninstall = QStringLiteral(UNINSTALL_EXE);

    EXPECT_EQ(RunProcess(setup, {u"status"_qs, u"--root"_qs, root}).Exit, 1);
    const TRun install =
        RunProcess(setup, {u"install"_qs, archive, dir.filePath(u"Apps"_qs), u"--root"_qs, root});
    ASSERT_EQ(install.Exit, 0) << install.Err.toStdString();
    EXPECT_TRUE(install.Out.contains(u"正在注册安装信息..."_qs) ||
                install.Out.contains(u"已安装到"_qs));

    const TRun status = RunProcess(setup, {u"status"_qs, u"--root"_qs, root});
    EXPECT_EQ(status.Exit, 0);
    EXPECT_TRUE(status.Out.contains(u"InstallLocation="_qs + dir.filePath(u"Apps/"_qs)));
    EXPECT_TRUE(status.Out.contains(u"IsCreateProgramsShortCut=1"_qs));

    const TRun removed = RunProcess(uninstall, {u"--yes"_qs, u"--root"_qs, root});
    EXPECT_EQ(removed.Exit, 0) << removed.Err.toStdString();
    EXPECT_TRUE(removed.Out.contains(u"Velmora V3.0 已卸载。"_qs)) << removed.Out.toStdString();
    EXPECT_EQ(ReadTree(dir.filePath(u"Apps"_qs)),
              (QMap<QString, QByteArray>{{u"Velmora/Users/default/profile.ini"_qs, "p"}}));

    const TRun nothing = RunProcess(uninstall, {u"--yes"_qs, u"--root"_qs, root});
    EXPECT_EQ(nothing.Exit, 1);
    EXPECT_TRUE(nothing.Err.contains(u"未找到Velmora V3.0的安装信息。"_qs));
    EXPECT_EQ(RunProcess(setup, {u"uninstall"_qs, u"--root"_qs, root}).Exit, 1);
}

// An installed release staged below a temporary folder, tampered with before uninstalling.
TEST(UninstallProgramsTest, UninstallSucceedsExactlyWhenNothingItMeantToRemoveIsLeft) {
    const QString setup = QStringLiteral(SETUP_CLI);
    const QString uninstall = QStringLiteral(UNINSTALL_EXE);
    const struct {
        const char* Name;
        QString Tool;
        int Exit;
        QString Says;
        std::function<void(const QString& dir, const QString& product, const QString& root)> Tamper;
    } cases[] = {
        {"link to an outside folder in the product folder", uninstall, 0, u"已卸载。"_qs,
         [](const QString& dir, const QString& product, const QString&) {
             QFile::link(dir + u"/outside"_qs, product + u"linked"_qs);
         }},
        {"link to an outside folder, command-line tool", setup, 0, u"已卸载。"_qs,
         [](const QString& dir, const QString& product, const QString&) {
             QFile::link(dir + u"/outside"_qs, product + u"lib/linked"_qs);
         }},
        {"programs-menu folder holding another entry", setup, 1, u"程序菜单文件夹未能删除"_qs,
         [](const QString&, const QString&, const QString& root) {
             WriteFile(TSystemRoots::Below(root).UserProgramsMenu + u"/Velmora3.0/mine.txt"_qs,
                       "mine");
         }},
        {"desktop shortcut that cannot be deleted", uninstall, 1, u"快捷方式未能删除"_qs,
         [](const QString&, const QString&, const QString& root) {
             const QString link = TSystemRoots::Below(root).Desktop + u"/Velmora3.0.desktop"_qs;
             QFile::remove(link);
             WriteFile(link + u"/inside"_qs, "x");
         }},
        {"relative recorded location", uninstall, 1,
         u"InstallLocation: the value is not an absolute path"_qs,
         [](const QString&, const QString&, const QString& root) {
             const TSystemRoots roots = TSystemRoots::Below(root);
             TSqliteRegistryStore store(roots.RegistryStoreFile, roots.ProgramFiles);
             store.WriteString(UninstallRecordKey(DefaultInstallerSettings()),
                               u"InstallLocation"_qs, u"Apps/"_qs);
         }},
    };
    for (const auto& scenario : cases) {
        SCOPED_TRACE(scenario.Name);
        QTemporaryDir dir;
        const QString root = dir.filePath(u"stage"_qs);
        const QString archive = dir.filePath(u"payload.bin"_qs);
        WriteFile(dir.filePath(u"outside/keep.txt"_qs), "outside");
        WriteFile(archive, TImageBuilder()
                               .Add("Velmora\\Corvex.exe", "#!/bin/sh\n")
                               .Add("Velmora\\Uninstall.exe", "#!/bin/sh\n")
                               .Add("Velmora\\lib\\core.so", "core")
                               .Archive());
        const TRun install = RunProcess(
            setup, {u"install"_qs, archive, dir.filePath(u"Apps"_qs), u"--root"_qs, root});
        ASSERT_EQ(install.Exit, 0) << install.Err.toStdString();
        scenario.Tamper(dir.path(), dir.filePath(u"Apps/Velmora/"_qs), root);

        const TRun run = RunProcess(
            scenario.Tool, scenario.Tool == setup ? QStringList{u"uninstall"_qs, u"--root"_qs, root}
                                                  : QStringList{u"--yes"_qs, u"--root"_qs, root});
        EXPECT_EQ(run.Exit, scenario.Exit) << run.Out.toStdString() << run.Err.toStdString();
        EXPECT_TRUE((run.Out + run.Err).contains(scenario.Says))
            << run.Out.toStdString() << run.Err.toStdString();
        if (scenario.Exit != 0) {
            EXPECT_FALSE((run.Out + run.Err).contains(u"已卸载。"_qs));
        }
        EXPECT_EQ(ReadTree(dir.filePath(u"outside"_qs)),
                  (QMap<QString, QByteArray>{{u"keep.txt"_qs, "outside"}}));
    }
}

TEST(UninstallProgramsTest, SetupCliRejectsBadInputClearly) {
    QTemporaryDir dir;
    const QString root = dir.filePath(u"stage"_qs);
    const QString setup = QStringLiteral(SETUP_CLI);
    WriteFile(dir.filePath(u"bad.bin"_qs), "not an archive");

    const TRun bad = RunProcess(setup, {u"install"_qs, dir.filePath(u"bad.bin"_qs),
                                        dir.filePath(u"Apps"_qs), u"--root"_qs, root});
    EXPECT_EQ(bad.Exit, 1);
    EXPECT_TRUE(bad.Err.contains(u"拷贝安装文件失败,安装程序将退出！"_qs));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(u"Apps"_qs)));
    EXPECT_EQ(RunProcess(setup, {u"install"_qs, dir.filePath(u"missing.bin"_qs), u"x"_qs,
                                 u"--root"_qs, root})
                  .Exit,
              1);
    EXPECT_EQ(RunProcess(setup, {u"install"_qs}).Exit, 2);
    EXPECT_EQ(RunProcess(setup, {u"status"_qs, u"--root"_qs}).Exit, 2);
    EXPECT_EQ(RunProcess(setup, {u"install"_qs, u"--help"_qs}).Exit, 0);
    EXPECT_EQ(RunProcess(QStringLiteral(UNINSTALL_EXE), {u"--bogus"_qs}).Exit, 2);
}

} // namespace
