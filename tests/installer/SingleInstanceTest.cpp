#include "installer/SingleInstance.h"

#include "installer/InstallerSettings.h"
#include "platform/system/ProcessTable.h"
#include "platform/system/SystemWideName.h"
#include "tests/support/TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace velmora;
using velmora::test::WriteFile;

namespace {

QString UniqueName(const char* base) {
    return QStringLiteral("%1-%2-%3").arg(QLatin1String(base)).arg(::getpid()).arg(std::rand());
}

// Starts the helper holding name in folder; returns once it answered.
void StartHolder(QProcess& holder, const QString& name, const QString& folder,
                 const char* expected) {
    holder.start(QStringLiteral(HOLD_NAME_HELPER), {name, folder});
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    ASSERT_EQ(holder.readLine().trimmed(), QByteArray(expected));
}

void Stop(QProcess& process) {
    process.kill();
    process.waitForFinished(10000);
}

TEST(SingleInstanceTest, NameIsHeldAcrossProcessesAndReleasedWhenTheHolderIsKilled) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"names"_qs);
    const QString name = UniqueName("held");
    QProcess holder;
    StartHolder(holder, name, folder, "held");

    TSystemWideName mine(name, folder);
    EXPECT_EQ(mine.Acquire(), TSystemWideName::TResult::AlreadyHeld);

    holder.kill(); // no chance to clean up: the kernel must release the name
    ASSERT_TRUE(holder.waitForFinished(10000));
    EXPECT_EQ(mine.Acquire(), TSystemWideName::TResult::Acquired);

    QProcess second;
    StartHolder(second, name, folder, "busy");
    Stop(second);
    // Only this user may create names there.
    EXPECT_EQ(QFile::permissions(folder), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
}

TEST(SingleInstanceTest, TheFirstInstallerHoldsTheProgramKeyForItsLifetime) {
    QTemporaryDir dir;
    TSystemWideName::SetDefaultFolder(dir.path());
    FillInstallerSettings();
    EXPECT_FALSE(CheckInstallerIsRunning());
    EXPECT_FALSE(CheckInstallerIsRunning()); // asking again does not find itself

    QProcess other; // a second installer started now sees the first
    StartHolder(other, InstallerSettings().ProgramKey(), dir.path(), "busy");
    Stop(other);
    TSystemWideName::SetDefaultFolder(QString());
}

TEST(SingleInstanceTest, NamesLiveWhereOnlyTheInstallingUserCanCreateThem) {
    EXPECT_EQ(TSystemWideName::FolderFor(true, u"/run/user/0"_qs, 0), u"/run/velmora"_qs);
    EXPECT_EQ(TSystemWideName::FolderFor(false, u"/run/user/1000"_qs, 1000), u"/run/user/1000"_qs);
    EXPECT_EQ(TSystemWideName::FolderFor(false, QString(), 1000), u"/tmp/velmora-1000"_qs);
    EXPECT_EQ(TSystemWideName::FolderFor(false, u"relative"_qs, 7), u"/tmp/velmora-7"_qs);
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";

    // Another user tries first: the folder does not let them, so the installer still gets it.
    QTemporaryDir dir;
    const QString name = UniqueName("other-user");
    QProcess intruder;
    intruder.setChildProcessModifier([] {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
    });
    StartHolder(intruder, name, dir.path(), "failed");
    EXPECT_EQ(TSystemWideName(name, dir.path()).Acquire(), TSystemWideName::TResult::Acquired);
    Stop(intruder);

    // A folder someone else controls is never used: no name can be taken there.
    const struct {
        const char* Case;
        std::function<QString(const QString& base)> Prepare;
    } foreign[] = {
        {"owned by another user",
         [](const QString& base) {
             QDir().mkpath(base);
             return ::chown(QFile::encodeName(base).constData(), 65534, 65534) == 0 ? base
                                                                                    : QString();
         }},
        {"writable by everyone",
         [](const QString& base) {
             QDir().mkpath(base);
             return ::chmod(QFile::encodeName(base).constData(), 01777) == 0 ? base : QString();
         }},
        {"a link to a private folder",
         [&dir](const QString& base) { return QFile::link(dir.path(), base) ? base : QString(); }},
    };
    for (const auto& folder : foreign) {
        SCOPED_TRACE(folder.Case);
        const QString path = folder.Prepare(dir.filePath(QLatin1String(folder.Case)));
        ASSERT_FALSE(path.isEmpty());
        EXPECT_EQ(TSystemWideName(name + u"-2"_qs, path).Acquire(),
                  TSystemWideName::TResult::Failed);
    }
    // A planted link in place of the lock file is not followed either.
    ASSERT_TRUE(QFile::link(dir.filePath(u"elsewhere"_qs), dir.filePath(u"planted.lock"_qs)));
    EXPECT_EQ(TSystemWideName(u"planted"_qs, dir.path()).Acquire(),
              TSystemWideName::TResult::Failed);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(u"elsewhere"_qs)));
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
