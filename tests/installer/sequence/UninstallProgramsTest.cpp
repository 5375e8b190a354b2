#include "tests/support/PayloadImageBuilder.h"
#include "tests/support/TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using velmora::test::ReadTree;
using velmora::test::TImageBuilder;
using velmora::test::WriteFile;

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
