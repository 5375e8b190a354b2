// The install as one transaction, driven in the test process: failures at every step after
// the previous version is touched, file systems that run out of inodes or blocks, names and
// paths past the system's limits, a busy store, kills at random points. Each time the result
// is exactly the previous version (files, shortcuts, record, registration) or exactly the new
// one.
#include "installer/InstallSequence.h"
#include "installer/Uninstaller.h"
#include "platform/system/LogFile.h"
#include "platform/system/PlatformServices.h"
#include "tests/installer/sequence/StagedSystem.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <csignal>
#include <gtest/gtest.h>
#include <limits>
#include <sqlite3.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace velmora;
using velmora::test::ReadFile;
using velmora::test::TImageBuilder;
using velmora::test::TreeDifference;
using velmora::test::TTree;
using velmora::test::WriteFile;

namespace {

class TQuietDisplay final : public IProgressDisplay {
public:
    void SetStatusText(const QString&) override {}
    void SetProgressRange(int, int) override {}
    void SetProgressPosition(int) override {}
};

TImageBuilder Release(const QByteArray& version, int extraFiles = 0, int bigFile = 3 << 20) {
    TImageBuilder release;
    release.Add("Velmora\\Corvex.exe", "#!/bin/sh\necho " + version + "\n")
        .Add("Velmora\\Uninstall.exe", "#!/bin/sh\n")
        .Add("Velmora\\Config\\settings.ini", "[Settings]\nversion=" + version)
        .Add("Velmora\\Users\\default\\profile.ini", "[Profile]")
        .Add("Velmora\\Data\\big.bin", QByteArray(bigFile, version.back()))
        .Add("Velmora\\Plugins\\" + version + ".dll", "plugin " + version)
        .Add("Velmora\\readme.txt", version);
    for (int i = 0; i < extraFiles; ++i)
        release.Add("Velmora\\More\\f" + QByteArray::number(i), "");
    return release;
}

// Runs chattr; false when the file system or the tool does not support it.
bool Chattr(const QString& flag, const QString& path) {
    QProcess tool;
    tool.start(u"chattr"_qs, {flag, path});
    return tool.waitForFinished(10000) && tool.exitStatus() == QProcess::NormalExit &&
           tool.exitCode() == 0;
}

// A second connection holding the store's exclusive lock until it goes.
class TStoreLock {
public:
    explicit TStoreLock(const QString& storeFile) {
        if (sqlite3_open(QFile::encodeName(storeFile).constData(), &FDb) == SQLITE_OK)
            FHeld = sqlite3_exec(FDb, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~TStoreLock() {
        sqlite3_exec(FDb, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(FDb);
    }
    TStoreLock(const TStoreLock&) = delete;
    TStoreLock& operator=(const TStoreLock&) = delete;
    bool Held() const { return FHeld; }

private:
    sqlite3* FDb = nullptr;
    bool FHeld = false;
};

// A file system mounted on a folder for the test's lifetime (root only).
class TMount {
public:
    TMount(const QStringList& arguments, const QString& folder) : FFolder(folder) {
        QDir().mkpath(folder);
        QProcess mount;
        mount.start(u"mount"_qs, arguments + QStringList{folder});
        FMounted = mount.waitForFinished(30000) && mount.exitCode() == 0;
        FError = QString::fromUtf8(mount.readAllStandardError());
    }
    ~TMount() {
        if (FMounted)
            QProcess::execute(u"umount"_qs, {u"-l"_qs, FFolder});
    }
    TMount(const TMount&) = delete;
    TMount& operator=(const TMount&) = delete;
    bool Mounted() const { return FMounted; }
    const QString& Error() const { return FError; }

private:
    QString FFolder;
    bool FMounted = false;
    QString FError;
};

class InstallTransactionTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        FillInstallerSettings();
        QDir().mkpath(LogFolder());
        SetLogFolders(LogFolder(), LogFolder());
        UseSearchPath(QString());
    }
    void TearDown() override { SetLogFolders({}, {}); }

    QString LogFolder() const { return FSystem.Path(u"log"_qs); }
    QString Log() const { return QString::fromUtf8(ReadFile(LogFolder() + u"/InstallLog.log"_qs)); }
    void UseSearchPath(const QString& path) {
        FServices = std::make_unique<TPlatformServices>(FSystem.Roots(), path);
    }

    bool Install(const QByteArray& archive, const QString& folder = QString(),
                 const TInstallStageHook& hook = {}) {
        TInstallState state;
        FErrors.clear();
        TInstallSequence sequence(*FServices, InstallerSettings(), state,
                                  [this](const QString& text, const QString& caption) {
                                      FErrors << caption + u'|' + text;
                                  });
        sequence.SetStageHook(hook);
        QBuffer buffer;
        buffer.setData(archive);
        buffer.open(QIODevice::ReadOnly);
        TQuietDisplay display;
        sequence.InstallSoftware(folder.isEmpty() ? FSystem.Apps() : folder, display, buffer);
        return sequence.InstallSuccess();
    }

    // The previous version as a person left it: installed, with data of their own.
    void InstallOld(const QByteArray& archive) {
        ASSERT_TRUE(Install(archive)) << FErrors.join(u'\n').toStdString();
        WriteFile(FSystem.Product() + u"Users/me/history.db"_qs, "mine");
        WriteFile(FSystem.Product() + u"Config/settings.ini"_qs, "[Settings]\ntheme=dark");
        FOld = FSystem.State();
        QFile::remove(LogFolder() + u"/InstallLog.log"_qs);
    }

    void ExpectOld(const char* what) const {
        const TTree now = FSystem.State();
        EXPECT_EQ(now, FOld) << what << ":\n" << TreeDifference(FOld, now);
    }

    velmora::test::TStagedSystem FSystem;
    std::unique_ptr<TPlatformServices> FServices;
    QStringList FErrors;
    TTree FOld;
};

TEST_F(InstallTransactionTest, AnUpgradeLeavesWhatAFreshInstallLeavesAndTheUsersData) {
    InstallOld(Release("3.0").Archive());
    ASSERT_TRUE(Install(Release("3.1").Archive()));
    const TTree upgraded = FSystem.State();

    velmora::test::TStagedSystem fresh;
    TPlatformServices services(fresh.Roots(), QString());
    TInstallState state;
    TInstallSequence sequence(services, InstallerSettings(), state, {});
    QBuffer buffer;
    buffer.setData(Release("3.1").Archive());
    buffer.open(QIODevice::ReadOnly);
    TQuietDisplay display;
    sequence.InstallSoftware(fresh.Apps(), display, buffer);
    ASSERT_TRUE(sequence.InstallSuccess());
    WriteFile(fresh.Product() + u"Users/me/history.db"_qs, "mine");
    WriteFile(fresh.Product() + u"Config/settings.ini"_qs, "[Settings]\ntheme=dark");
    TTree expected;
    const TTree freshState = fresh.State();
    for (auto it = freshState.cbegin(); it != freshState.cend(); ++it)
        expected.insert(it.key(), QByteArray(it.value())
                                      .replace(QFile::encodeName(fresh.Path(QString())),
                                               QFile::encodeName(FSystem.Path(QString()))));
    // The user's settings outlive the upgrade; the old plugin is gone, nothing is left over.
    EXPECT_EQ(upgraded, expected) << TreeDifference(expected, upgraded);
    EXPECT_EQ(ReadFile(FSystem.Product() + u"Config/settings.ini"_qs), "[Settings]\ntheme=dark");
    EXPECT_FALSE(QFileInfo::exists(FSystem.Product() + u"Plugins/3.0.dll"_qs));
}

TEST_F(InstallTransactionTest, AFailureAfterThePreviousVersionIsTouchedPutsItBackExactly) {
    const struct {
        const char* Name;
        TInstallStage Stage;
        bool NeedsAttributes;
        // Makes the next step fail; returns what undoes the fault, run after the install.
        std::function<std::function<void()>(velmora::test::TStagedSystem&)> Fault;
        const char* Says;
    } cases[] = {
        {"an old file became immutable", TInstallStage::Staged, true,
         [](velmora::test::TStagedSystem& system) -> std::function<void()> {
             const QString file = system.Product() + u"readme.txt"_qs;
             Chattr(u"+i"_qs, file);
             return [file] { Chattr(u"-i"_qs, file); };
         },
         "Operation not permitted"},
        {"the menu folder became immutable", TInstallStage::PreviousVersionRemoved, true,
         [](velmora::test::TStagedSystem& system) -> std::function<void()> {
             const QString menu = system.Roots().UserProgramsMenu + u"/Velmora3.0"_qs;
             Chattr(u"+i"_qs, menu);
             return [menu] { Chattr(u"-i"_qs, menu); };
         },
         "程序菜单快捷方式未能创建"},
        {"the store became busy", TInstallStage::BeforeRecord, false,
         [](velmora::test::TStagedSystem& system) -> std::function<void()> {
             auto lock = std::make_shared<TStoreLock>(system.Roots().RegistryStoreFile);
             EXPECT_TRUE(lock->Held());
             return [lock]() mutable { lock.reset(); };
         },
         "database is locked"},
    };
    InstallOld(Release("3.0").Archive());
    const QString probe = FSystem.Path(u"probe"_qs);
    WriteFile(probe, "x");
    const bool attributes = Chattr(u"+i"_qs, probe) && Chattr(u"-i"_qs, probe);
    for (const auto& scenario : cases) {
        SCOPED_TRACE(scenario.Name);
        if (scenario.NeedsAttributes && !attributes) {
            std::cout << "skipped: chattr +i is not supported here\n";
            continue;
        }
        std::function<void()> undoFault;
        bool reached = false;
        const bool installed =
            Install(Release("3.1").Archive(), QString(), [&](TInstallStage stage, const QString&) {
                if (stage == scenario.Stage && !reached) {
                    reached = true;
                    undoFault = scenario.Fault(FSystem);
                }
            });
        if (undoFault)
            undoFault();
        ASSERT_TRUE(reached);
        EXPECT_FALSE(installed);
        ASSERT_EQ(FErrors.size(), 1);
        EXPECT_TRUE(FErrors.first().startsWith(u"提示|拷贝安装文件失败,安装程序将退出！\n"_qs));
        EXPECT_TRUE(FErrors.first().contains(QString::fromUtf8(scenario.Says)))
            << FErrors.first().toStdString();
        ExpectOld(scenario.Name);
    }
    ASSERT_TRUE(Install(Release("3.1").Archive()));
}

TEST_F(InstallTransactionTest, LockedOrImmutableEntriesAreFoundBeforeAnythingIsTouched) {
    InstallOld(Release("3.0").Archive());
    // One the new version replaces, one it no longer has (deleted after the commit).
    for (const char* locked : {"readme.txt", "Plugins/3.0.dll"}) {
        SCOPED_TRACE(locked);
        const QString file = FSystem.Product() + QLatin1String(locked);
        if (!Chattr(u"+i"_qs, file))
            GTEST_SKIP() << "chattr +i is not supported here";
        const bool installed = Install(Release("3.1").Archive());
        Chattr(u"-i"_qs, file);
        EXPECT_FALSE(installed);
        EXPECT_EQ(FErrors, QStringList{u"提示|拷贝安装文件失败,安装程序将退出！\n"_qs + file +
                                       u": immutable or append-only, so it cannot be replaced"_qs});
        EXPECT_EQ(Log().count(u"CopyInstallFiles:安装目录检查失败\r\n"_qs + file), 1)
            << Log().toStdString();
        ExpectOld(locked);
        QFile::remove(LogFolder() + u"/InstallLog.log"_qs);
    }
}

TEST_F(InstallTransactionTest, NamesAndPathsPastTheSystemsLimitsAreFoundBeforeAnythingIsTouched) {
    InstallOld(Release("3.0").Archive());
    // 4,089 bytes: within what the payload table takes, past the system's limit once it is
    // below the install folder.
    QByteArray chain = "Velmora\\chain";
    for (int level = 0; level < 2037; ++level)
        chain += "\\a";
    const struct {
        const char* Name;
        QByteArray Entry;
        const char* Reason;
        const char* Logged;
        bool BoxSaysWhy; // a damaged installer's box says only that it stops
    } cases[] = {
        // No file system takes such a name, so the payload's own table refuses it.
        {"a 300-byte name below a folder not made yet", "Velmora\\New\\" + QByteArray(300, 'n'),
         "entry name is longer than the file system takes", "CopyInstallFiles:安装包文件表无效",
         false},
        {"a chain of 2037 new folders", chain + "\\f", "path is longer than the system allows",
         "CopyInstallFiles:安装目录检查失败", true},
    };
    for (const auto& scenario : cases) {
        SCOPED_TRACE(scenario.Name);
        EXPECT_FALSE(Install(Release("3.1").Add(scenario.Entry, "x").Archive()));
        ASSERT_EQ(FErrors.size(), 1);
        EXPECT_TRUE(FErrors.first().startsWith(u"提示|拷贝安装文件失败,安装程序将退出！"_qs));
        EXPECT_EQ(FErrors.first().contains(QLatin1String(scenario.Reason)), scenario.BoxSaysWhy)
            << FErrors.first().toStdString();
        EXPECT_EQ(Log().count(QString::fromUtf8(scenario.Logged)), 1) << Log().toStdString();
        EXPECT_TRUE(Log().contains(QLatin1String(scenario.Reason))) << Log().toStdString();
        ExpectOld(scenario.Name);
        QFile::remove(LogFolder() + u"/InstallLog.log"_qs);
    }
}

TEST_F(InstallTransactionTest, ATmpfsWithTooFewInodesIsFoundBeforeAnythingIsTouched) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to mount a file system";
    const TMount tmpfs({u"-t"_qs, u"tmpfs"_qs, u"-o"_qs, u"size=64m,nr_inodes=40"_qs, u"tmpfs"_qs},
                       FSystem.Apps());
    if (!tmpfs.Mounted())
        GTEST_SKIP() << "cannot mount a tmpfs: " << tmpfs.Error().toStdString();
    InstallOld(Release("3.0").Archive());
    // More files than the file system has inodes, even with the old ones gone.
    EXPECT_FALSE(Install(Release("3.1", 45).Archive()));
    ASSERT_EQ(FErrors.size(), 1);
    EXPECT_TRUE(FErrors.first().contains(u"not enough free inodes: "_qs) &&
                FErrors.first().contains(u'\n' + FSystem.Apps()))
        << FErrors.first().toStdString();
    ExpectOld("inodes");
}

TEST_F(InstallTransactionTest, FolderBlocksOnANearlyFullExt4AreCountedBeforeAnythingIsTouched) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to mount a file system";
    if (QStandardPaths::findExecutable(u"mkfs.ext4"_qs, {u"/sbin"_qs, u"/usr/sbin"_qs}).isEmpty())
        GTEST_SKIP() << "mkfs.ext4 is not installed";
    const QString image = FSystem.Path(u"ext4.img"_qs);
    QProcess::execute(u"truncate"_qs, {u"-s"_qs, u"24M"_qs, image});
    if (QProcess::execute(u"mkfs.ext4"_qs, {u"-q"_qs, u"-F"_qs, u"-b"_qs, u"4096"_qs, u"-m"_qs,
                                            u"0"_qs, u"-N"_qs, u"4096"_qs, image}) != 0)
        GTEST_SKIP() << "mkfs.ext4 failed";
    const TMount ext4({u"-o"_qs, u"loop"_qs, image}, FSystem.Apps());
    if (!ext4.Mounted())
        GTEST_SKIP() << "cannot mount a loop file system: " << ext4.Error().toStdString();
    InstallOld(Release("3.0").Archive());
    // Leave 1 MiB: 600 folders, each holding one empty file, need 600 blocks of 4 KiB.
    struct statvfs fs {};
    ASSERT_EQ(::statvfs(QFile::encodeName(FSystem.Apps()).constData(), &fs), 0);
    const qint64 fill = qint64(fs.f_bavail) * qint64(fs.f_frsize) - (1 << 20);
    ASSERT_EQ(QProcess::execute(u"fallocate"_qs,
                                {u"-l"_qs, QString::number(fill), FSystem.Apps() + u"/filler"_qs}),
              0);
    FOld = FSystem.State();
    TImageBuilder many = Release("3.1");
    for (int i = 0; i < 600; ++i)
        many.Add("Velmora\\Folders\\f" + QByteArray::number(i) + "\\empty", "");
    EXPECT_FALSE(Install(many.Archive()));
    ASSERT_EQ(FErrors.size(), 1);
    EXPECT_TRUE(FErrors.first().contains(u"not enough free space: "_qs) &&
                FErrors.first().contains(u'\n' + FSystem.Apps()))
        << FErrors.first().toStdString();
    ExpectOld("folder blocks");
}

TEST_F(InstallTransactionTest, ABusyStoreIsWaitedForThenNothingIsTouched) {
    InstallOld(Release("3.0").Archive());
    // Moving the install elsewhere while another program holds the store.
    {
        const TStoreLock lock(FSystem.Roots().RegistryStoreFile);
        ASSERT_TRUE(lock.Held());
        EXPECT_FALSE(Install(Release("3.1").Archive(), FSystem.Path(u"Elsewhere"_qs)));
    }
    ASSERT_EQ(FErrors.size(), 1);
    EXPECT_TRUE(FErrors.first().contains(u"database is locked"_qs))
        << FErrors.first().toStdString();
    EXPECT_TRUE(Log().contains(u"ReadSoftwareInstallInfoFromRegistry:读取上次安装信息\r\n"_qs));
    ExpectOld("busy store");
    EXPECT_FALSE(QFileInfo::exists(FSystem.Path(u"Elsewhere"_qs)));
}

TEST_F(InstallTransactionTest, ComFilesAreRegisteredWhereTheyWereInstalledAndPutBackOnFailure) {
    const QString bin = FSystem.Path(u"bin"_qs);
    const QString calls = FSystem.Path(u"regsvr32.log"_qs);
    WriteFile(bin + u"/regsvr32"_qs, ("#!/bin/sh\necho \"$*\" >> '" + calls + "'\n").toUtf8());
    QFile::setPermissions(bin + u"/regsvr32"_qs, QFile::ReadOwner | QFile::ExeOwner);
    UseSearchPath(bin);
    const QString old = FSystem.Product();
    const QString moved = FSystem.Path(u"Moved/Velmora/"_qs);
    const auto lines = [&calls](const QString& verb, const QString& folder) {
        return QStringList{verb + folder + u"PicView.ocx"_qs, verb + folder + u"SnapCore.dll"_qs};
    };

    InstallOld(Release("3.0").Archive());
    EXPECT_EQ(QString::fromUtf8(ReadFile(calls)).split(u'\n', Qt::SkipEmptyParts),
              lines(u"/s "_qs, old));
    QFile::remove(calls);

    // Moved, and then the record cannot be written: everything goes back.
    std::shared_ptr<TStoreLock> lock;
    EXPECT_FALSE(Install(Release("3.1").Archive(), FSystem.Path(u"Moved"_qs),
                         [&](TInstallStage stage, const QString&) {
                             if (stage == TInstallStage::BeforeRecord)
                                 lock = std::make_shared<TStoreLock>(
                                     FSystem.Roots().RegistryStoreFile);
                         }));
    lock.reset();
    EXPECT_EQ(QString::fromUtf8(ReadFile(calls)).split(u'\n', Qt::SkipEmptyParts),
              lines(u"/s /u "_qs, old) + lines(u"/s "_qs, moved) + lines(u"/s /u "_qs, moved) +
                  lines(u"/s "_qs, old));
    ExpectOld("registration");
    QFile::remove(calls);

    ASSERT_TRUE(Install(Release("3.1").Archive(), FSystem.Path(u"Moved"_qs)));
    EXPECT_EQ(QString::fromUtf8(ReadFile(calls)).split(u'\n', Qt::SkipEmptyParts),
              lines(u"/s /u "_qs, old) + lines(u"/s "_qs, moved));
    // The old folder is gone but for the user's data; the record names the new one.
    EXPECT_EQ(velmora::test::ReadTree(FSystem.Apps()),
              (TTree{{u"Velmora/Config/settings.ini"_qs, "[Settings]\ntheme=dark"},
                     {u"Velmora/Users/default/profile.ini"_qs, "[Profile]"},
                     {u"Velmora/Users/me/history.db"_qs, "mine"}}));
    EXPECT_EQ(FServices->Registry().ReadString(UninstallRecordKey(InstallerSettings()),
                                               u"InstallLocation"_qs),
              FSystem.Path(u"Moved/"_qs));
}

TEST_F(InstallTransactionTest, AShortcutThatCannotBeMadeFailsTheInstallAndLeavesNothing) {
    // The desktop is a file: no shortcut can go there.
    WriteFile(FSystem.Roots().Desktop, "not a folder");
    EXPECT_FALSE(Install(Release("3.0").Archive()));
    ASSERT_EQ(FErrors.size(), 1);
    EXPECT_TRUE(FErrors.first().contains(u"桌面快捷方式未能创建"_qs))
        << FErrors.first().toStdString();
    EXPECT_FALSE(QFileInfo::exists(FSystem.Apps()));
    EXPECT_FALSE(FServices->Registry().KeyExists(UninstallRecordKey(InstallerSettings())));
    EXPECT_TRUE(velmora::test::ReadTree(FSystem.Stage() + u"/menu"_qs).isEmpty());
}

TEST_F(InstallTransactionTest, TheRecordClaimsOnlyTheShortcutsThatWereMade) {
    ASSERT_TRUE(Install(TImageBuilder().Add("Velmora\\readme.txt", "x").Archive()));
    const TSqliteRegistryStore& store = FServices->Registry();
    const QString key = UninstallRecordKey(InstallerSettings());
    EXPECT_EQ(store.ReadInteger(key, u"IsCreateDeskTopShortCut"_qs), 0);
    EXPECT_EQ(store.ReadString(key, u"ShortcutFileName"_qs), QString());
    EXPECT_EQ(store.ReadInteger(key, u"IsCreateProgramsShortCut"_qs), 1);
}

TEST_F(InstallTransactionTest, AStoreOrJournalThatCannotBeTrustedStopsTheInstallWithTheReason) {
    // A store that is not one: no record can be written, so nothing is installed.
    WriteFile(FSystem.Roots().RegistryStoreFile, QByteArray(4096, 'x'));
    UseSearchPath(QString());
    EXPECT_FALSE(Install(Release("3.0").Archive()));
    ASSERT_EQ(FErrors.size(), 1);
    EXPECT_TRUE(FErrors.first().contains(u"not a database"_qs)) << FErrors.first().toStdString();
    EXPECT_FALSE(QFileInfo::exists(FSystem.Apps()));
    QFile::remove(FSystem.Roots().RegistryStoreFile);
    UseSearchPath(QString());

    // A journal naming a path outside its install folder is never acted on.
    InstallOld(Release("3.0").Archive());
    const QString journal =
        FSystem.Roots().RegistryStoreFile.section(u'/', 0, -2) + u"/Velmora3.0.journal"_qs;
    WriteFile(journal,
              "velmora-journal\t1\ntx\tabc\ninstall\t/\tVelmora\nop\tF\t0\t../etc/passwd\n");
    FOld = FSystem.State();
    EXPECT_FALSE(Install(Release("3.1").Archive()));
    ASSERT_EQ(FErrors.size(), 1);
    EXPECT_TRUE(FErrors.first().contains(journal + u": line 4 is not valid"_qs))
        << FErrors.first().toStdString();
    ExpectOld("untrusted journal");
}

TEST_F(InstallTransactionTest, KilledAtRandomPointsTheNextStartFindsExactlyOneVersion) {
    // Small files, so that the rounds are many and each one is quick.
    const QByteArray archives[] = {Release("3.0", 0, 64 << 10).Archive(),
                                   Release("3.1", 0, 64 << 10).Archive()};
    // The reference states, each reached from the other.
    InstallOld(archives[1]);
    ASSERT_TRUE(Install(archives[0]));
    const TTree states[] = {FSystem.State(), FOld};
    ASSERT_TRUE(Install(archives[1]));
    ASSERT_EQ(FSystem.State(), states[1]) << TreeDifference(states[1], FSystem.State());

    // Each run forks: the child runs the real install, the parent kills it at some moment
    // within how long a whole install takes, and then starts over as the next start would.
    const auto start = [&](int version) {
        const pid_t child = ::fork();
        if (child == 0) {
            TPlatformServices services(FSystem.Roots(), QString());
            TInstallState state;
            TInstallSequence sequence(services, InstallerSettings(), state, {});
            QBuffer buffer;
            buffer.setData(archives[version]);
            buffer.open(QIODevice::ReadOnly);
            TQuietDisplay display;
            sequence.InstallSoftware(FSystem.Apps(), display, buffer);
            ::_exit(sequence.InstallSuccess() ? 0 : 1);
        }
        return child;
    };
    // How long a whole install takes: the quicker of two, each version once, since the first
    // of them starts on a colder cache and would put too many kills after the end.
    int status = 0;
    qint64 fullUs = std::numeric_limits<qint64>::max();
    for (const int version : {0, 1}) {
        QElapsedTimer clock;
        clock.start();
        const pid_t whole = start(version);
        ASSERT_GT(whole, 0) << "fork failed";
        ::waitpid(whole, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        fullUs = std::min(fullUs, std::max<qint64>(clock.nsecsElapsed() / 1000, 1000));
        ASSERT_EQ(FSystem.State(), states[version]);
    }
    int current = 1;

    constexpr int kRounds = 50;
    QElapsedTimer budget;
    budget.start();
    int interrupted = 0;
    for (int round = 0; round < kRounds; ++round) {
        ASSERT_LT(budget.elapsed(), 45000) << "only " << round << " rounds in the time bound";
        const pid_t child = start(1 - current);
        // A failed fork must not become kill(-1): that signals every process there is.
        ASSERT_GT(child, 0) << "fork failed";
        ::usleep(useconds_t(QRandomGenerator::global()->bounded(fullUs + fullUs / 5)));
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        interrupted += WIFSIGNALED(status) ? 1 : 0;

        QString error;
        ASSERT_TRUE(RecoverInterruptedInstall(*FServices, InstallerSettings(), error))
            << error.toStdString();
        const TTree state = FSystem.State();
        if (state == states[0] || state == states[1]) {
            current = state == states[0] ? 0 : 1;
            continue;
        }
        FAIL() << "round " << round << " left neither version; against the first:\n"
               << TreeDifference(states[0], state) << "\nagainst the second:\n"
               << TreeDifference(states[1], state);
    }
    EXPECT_GT(interrupted, kRounds / 2) << "the kills came too late to test anything";
}

} // namespace
