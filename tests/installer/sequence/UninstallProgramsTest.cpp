#include "PayloadImageBuilder.h"
#include "TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using velmora::test::ReadTree;
using velmora::test::TImageBuilder;
using velmora::test::WriteFile;

namespace {

struct TRun {
    int Exit = -1;
    QString Out;
    QString Err;
};

TRun RunProgram(const QString& program, const QStringList& args) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    process.setProcessEnvironment(env);
    process.start(program, args);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

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

    EXPECT_EQ(RunProgram(setup, {u"status"_qs, u"--root"_qs, root}).Exit, 1);
    const TRun install =
        RunProgram(setup, {u"install"_qs, archive, dir.filePath(u"Apps"_qs), u"--root"_qs, root});
    ASSERT_EQ(install.Exit, 0) << install.Err.toStdString();
    EXPECT_TRUE(install.Out.contains(u"正在注册安装信息..."_qs) ||
                install.Out.contains(u"已安装到"_qs));

    const TRun status = RunProgram(setup, {u"status"_qs, u"--root"_qs, root});
    EXPECT_EQ(status.Exit, 0);
    EXPECT_TRUE(status.Out.contains(u"InstallLocation="_qs + dir.filePath(u"Apps/"_qs)));
    EXPECT_TRUE(status.Out.contains(u"IsCreateProgramsShortCut=1"_qs));

    const TRun removed = RunProgram(uninstall, {u"--yes"_qs, u"--root"_qs, root});
    EXPECT_EQ(removed.Exit, 0) << removed.Err.toStdString();
    EXPECT_TRUE(removed.Out.contains(u"Velmora V3.0 已卸载。"_qs)) << removed.Out.toStdString();
    EXPECT_EQ(ReadTree(dir.filePath(u"Apps"_qs)),
              (QMap<QString, QByteArray>{{u"Velmora/Users/default/profile.ini"_qs, "p"}}));

    const TRun nothing = RunProgram(uninstall, {u"--yes"_qs, u"--root"_qs, root});
    EXPECT_EQ(nothing.Exit, 1);
    EXPECT_TRUE(nothing.Err.contains(u"未找到Velmora V3.0的安装信息。"_qs));
    EXPECT_EQ(RunProgram(setup, {u"uninstall"_qs, u"--root"_qs, root}).Exit, 1);
}

TEST(UninstallProgramsTest, SetupCliRejectsBadInputClearly) {
    QTemporaryDir dir;
    const QString root = dir.filePath(u"stage"_qs);
    const QString setup = QStringLiteral(SETUP_CLI);
    WriteFile(dir.filePath(u"bad.bin"_qs), "not an archive");

    const TRun bad = RunProgram(setup, {u"install"_qs, dir.filePath(u"bad.bin"_qs),
                                        dir.filePath(u"Apps"_qs), u"--root"_qs, root});
    EXPECT_EQ(bad.Exit, 1);
    EXPECT_TRUE(bad.Err.contains(u"拷贝安装文件失败,安装程序将退出！"_qs));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(u"Apps"_qs)));
    EXPECT_EQ(RunProgram(setup, {u"install"_qs, dir.filePath(u"missing.bin"_qs), u"x"_qs,
                                 u"--root"_qs, root})
                  .Exit,
              1);
    EXPECT_EQ(RunProgram(setup, {u"install"_qs}).Exit, 2);
    EXPECT_EQ(RunProgram(setup, {u"status"_qs, u"--root"_qs}).Exit, 2);
    EXPECT_EQ(RunProgram(setup, {u"install"_qs, u"--help"_qs}).Exit, 0);
    EXPECT_EQ(RunProgram(QStringLiteral(UNINSTALL_EXE), {u"--bogus"_qs}).Exit, 2);
}

} // namespace
