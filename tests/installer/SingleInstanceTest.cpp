#include "installer/SingleInstance.h"

#include "installer/InstallerSettings.h"
#include "platform/system/ProcessTable.h"
#include "platform/system/SystemWideName.h"
#include "tests/support/TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace velmora;
using velmora::test::WriteFile;

namespace {

QString UniqueName(const char* base) {
    return QStringLiteral("%1-%2-%3").arg(QLatin1String(base)).arg(::getpid()).arg(std::rand());
}

// Starts the helper holding name; returns once it answered.
void StartHolder(QProcess& holder, const QString& name, const char* expected) {
    holder.start(QStringLiteral(HOLD_NAME_HELPER), {name});
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    ASSERT_EQ(holder.readLine().trimmed(), QByteArray(expected));
}

TEST(SingleInstanceTest, NameIsHeldAcrossProcessesAndReleasedWhenTheHolderIsKilled) {
    const QString name = UniqueName("held");
    QProcess holder;
    StartHolder(holder, name, "held");

    TSystemWideName mine(name);
    EXPECT_EQ(mine.Acquire(), TSystemWideName::TResult::AlreadyHeld);

    holder.kill(); // no chance to clean up: the kernel must release the name
    ASSERT_TRUE(holder.waitForFinished(10000));
    EXPECT_EQ(mine.Acquire(), TSystemWideName::TResult::Acquired);

    QProcess second;
    StartHolder(second, name, "busy");
    second.kill();
    second.waitForFinished(10000);
}

TEST(SingleInstanceTest, TheFirstInstallerHoldsTheProgramKeyForItsLifetime) {
    FillInstallerSettings();
    EXPECT_FALSE(CheckInstallerIsRunning());
    EXPECT_FALSE(CheckInstallerIsRunning()); // asking again does not find itself

    QProcess other; // a second installer started now sees the first
    StartHolder(other, InstallerSettings().ProgramKey(), "busy");
    other.kill();
    other.waitForFinished(10000);
}

class RunningProgram {
public:
    RunningProgram(const QTemporaryDir& dir, const QString& fileName) {
        const QString copy = dir.filePath(fileName);
        QFile::copy(QStringLiteral("/bin/sleep"), copy);
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner);
        FProcess.start(copy, {QStringLiteral("60")});
        FProcess.waitForStarted(10000);
    }
    ~RunningProgram() {
        FProcess.kill();
        FProcess.waitForFinished(10000);
    }

private:
    QProcess FProcess;
};

TEST(SingleInstanceTest, ProductTestMatchesWholeExecutableNamesIgnoringCase) {
    QTemporaryDir dir;
    const QString product = UniqueName("Corvex") + QStringLiteral(".exe");

    {
        // Only a program whose name begins with the product's name: not the product.
        RunningProgram lookalike(dir, product + QStringLiteral(".old"));
        EXPECT_FALSE(CheckInstanceIsRunning(product));
    }
    RunningProgram shouted(dir, product.toUpper());
    EXPECT_TRUE(CheckInstanceIsRunning(product));
    EXPECT_TRUE(CheckInstanceIsRunning(product.toLower()));
    EXPECT_FALSE(CheckInstanceIsRunning(QString()));
}

TEST(SingleInstanceTest, ProcessTableReadsArgvZeroAndSkipsWhatItCannotRead) {
    QTemporaryDir proc;
    // A process started through a compatibility layer shows a Windows path as argv[0].
    WriteFile(proc.filePath(QStringLiteral("4242/cmdline")),
              QByteArray("C:\\Program Files\\Norvane\\Velmora\\corvex.EXE\0--tray\0", 48));
    QDir().mkpath(proc.filePath(QStringLiteral("17"))); // vanished: nothing readable
    WriteFile(proc.filePath(QStringLiteral("self/cmdline")), QByteArray("Other.exe\0", 10));
    WriteFile(proc.filePath(QStringLiteral("99/cmdline")), QByteArray("/opt/x/Other.exe\0", 17));

    const TProcessTable table(proc.path());
    EXPECT_TRUE(table.IsRunning(QStringLiteral("Corvex.exe")));
    EXPECT_TRUE(table.IsRunning(QStringLiteral("other.exe")));
    EXPECT_FALSE(table.IsRunning(QStringLiteral("Corvex")));
    EXPECT_FALSE(TProcessTable(proc.filePath(QStringLiteral("missing")))
                     .IsRunning(QStringLiteral("Other.exe")));
}

} // namespace
