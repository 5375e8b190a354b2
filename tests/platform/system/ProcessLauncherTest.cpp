#include "platform/system/ProcessLauncher.h"

#include "platform/system/InstallerUmask.h"
#include "platform/system/RegistrationTool.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace velmora;

namespace {

// A bin folder with fake programs that record their arguments and where their output went.
class ProcessLauncherTest : public ::testing::Test {
protected:
    QString Bin() const { return FDir.path() + QStringLiteral("/bin"); }
    QString Out(const QString& name) const { return FDir.path() + u'/' + name + ".out"; }

    void SetUp() override { ASSERT_TRUE(QDir().mkpath(Bin())); }

    QString Program(const QString& name, bool executable = true) {
        const QString path = Bin() + u'/' + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        // Written to a side file and renamed, so a reader never sees half of it.
        file.write(QStringLiteral("#!/bin/sh\n"
                                  "stdout=$(readlink /proc/$$/fd/1)\n"
                                  "for a in \"$@\"; do echo \"[$a]\"; done >\"%1.tmp\"\n"
                                  "echo \"$stdout\" >>\"%1.tmp\"\n"
                                  "echo stdout-noise\n"
                                  "mv \"%1.tmp\" \"%1\"\n")
                       .arg(Out(name))
                       .toUtf8());
        file.close();
        if (executable)
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }

    static QByteArray WaitFor(const QString& path) {
        QDeadlineTimer deadline(10000);
        while (!QFile::exists(path) && !deadline.hasExpired())
            QThread::msleep(20);
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir FDir;
};

} // namespace

TEST_F(ProcessLauncherTest, FindsOnlyExecutablesOnItsSearchPath) {
    const QString tool = Program(QStringLiteral("regsvr32"));
    Program(QStringLiteral("plain"), false);
    const TProcessLauncher launcher(QStringLiteral("/nonexistent:") + Bin());
    EXPECT_EQ(launcher.FindProgram(QStringLiteral("regsvr32")), tool);
    EXPECT_TRUE(launcher.FindProgram(QStringLiteral("plain")).isEmpty());
    EXPECT_TRUE(launcher.FindProgram(QStringLiteral("absent")).isEmpty());
    EXPECT_TRUE(launcher.FindProgram(tool).isEmpty());
}

TEST_F(ProcessLauncherTest, StartHiddenGroupsQuotedWordsAndSilencesOutput) {
    Program(QStringLiteral("regsvr32"));
    TProcessLauncher launcher(Bin());
    launcher.StartHidden(QStringLiteral("regsvr32 /s \"/opt/Nor vane/PicView.ocx\""));
    EXPECT_EQ(WaitFor(Out(QStringLiteral("regsvr32"))),
              QByteArray("[/s]\n[/opt/Nor vane/PicView.ocx]\n/dev/null\n"));
}

TEST_F(ProcessLauncherTest, StartHiddenRaisesForMissingProgram) {
    TProcessLauncher launcher(Bin());
    EXPECT_THROW(launcher.StartHidden(QStringLiteral("regsvr32 /s x")), ELaunchError);
    EXPECT_THROW(launcher.StartHidden(QString()), ELaunchError);
}

TEST_F(ProcessLauncherTest, OpenStartsExecutablesDirectly) {
    const QString program = Program(QStringLiteral("Corvex.exe"));
    Program(QStringLiteral("xdg-open"));
    TProcessLauncher launcher(Bin());
    launcher.Open(program);
    EXPECT_EQ(WaitFor(Out(QStringLiteral("Corvex.exe"))), QByteArray("/dev/null\n"));
    EXPECT_FALSE(QFile::exists(Out(QStringLiteral("xdg-open"))));
}

TEST_F(ProcessLauncherTest, OpenHandsAddressesAndDocumentsToXdgOpen) {
    Program(QStringLiteral("xdg-open"));
    TProcessLauncher launcher(Bin());
    launcher.Open(QStringLiteral("https://www.norvane.com.cn/velmora/"));
    EXPECT_EQ(WaitFor(Out(QStringLiteral("xdg-open"))),
              QByteArray("[https://www.norvane.com.cn/velmora/]\n/dev/null\n"));
}

TEST_F(ProcessLauncherTest, OpenWithoutXdgOpenRaises) {
    const QString document = Program(QStringLiteral("readme.txt"), false);
    TProcessLauncher launcher(Bin());
    EXPECT_THROW(launcher.Open(document), ELaunchError);
    EXPECT_THROW(launcher.Open(QString()), ELaunchError);
}

TEST_F(ProcessLauncherTest, RegistrationToolRunsOnlyWhenPresent) {
    TProcessLauncher launcher(Bin());
    TRegistrationTool tool(launcher);
    const QString line = QStringLiteral("regsvr32 /s /u \"/p/SnapCore.dll\"");
    EXPECT_FALSE(tool.Run(line));
    Program(QStringLiteral("regsvr32"));
    EXPECT_TRUE(tool.Run(line));
    EXPECT_EQ(WaitFor(Out(QStringLiteral("regsvr32"))),
              QByteArray("[/s]\n[/u]\n[/p/SnapCore.dll]\n/dev/null\n"));
}

TEST_F(ProcessLauncherTest, StartedProgramsGetTheCallersMaskAndNotTheInstallersOwnVariables) {
    const QString program = Bin() + QStringLiteral("/Corvex.exe");
    QFile file(program);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("#!/bin/sh\n"
                              "{ umask; echo \"${FONTCONFIG_FILE-unset}\"; echo \"${KEPT-unset}\";"
                              " echo \"${VELMORA_PRIVATE_ENV-unset}\"; } >\"%1.tmp\"\n"
                              "mv \"%1.tmp\" \"%1\"\n")
                   .arg(Out(QStringLiteral("Corvex.exe")))
                   .toUtf8());
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const mode_t before = ::umask(027);
    UseInstallerUmask();
    qputenv("FONTCONFIG_FILE", "/tmp/unpacked/etc/fonts/fonts.conf");
    qputenv("KEPT", "yes");
    qputenv("VELMORA_PRIVATE_ENV", "FONTCONFIG_FILE");
    TProcessLauncher(Bin()).Open(program);
    const mode_t during = ::umask(before);
    qunsetenv("FONTCONFIG_FILE");
    qunsetenv("KEPT");
    qunsetenv("VELMORA_PRIVATE_ENV");

    EXPECT_EQ(during, 022u) << "the installer itself works with 022";
    EXPECT_EQ(WaitFor(Out(QStringLiteral("Corvex.exe"))), QByteArray("0027\nunset\nyes\nunset\n"));
}
