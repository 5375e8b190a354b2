// Interrupted, starved and crowded installs of the real command-line tool, staged below
// temporary folders: whatever happens after the previous version is touched, the next start
// of the tool leaves exactly the previous version (files, shortcuts, record) or exactly the
// new one, never a mix, never leftovers, and user data survives either way.
#include "tests/installer/sequence/StagedSystem.h"

#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace velmora;
using velmora::test::ReadFile;
using velmora::test::RunWith;
using velmora::test::TImageBuilder;
using velmora::test::TreeDifference;
using velmora::test::TTree;
using velmora::test::WriteFile;

namespace {

constexpr int kBigFile = 3 << 20; // three of the writer's parts

using TRelease = QMap<QString, QByteArray>;

TRelease Release(char fill, const QByteArray& version) {
    TRelease release = {{u"Corvex.exe"_qs, "#!/bin/sh\necho " + version + "\n"},
                        {u"Uninstall.exe"_qs, "#!/bin/sh\n"},
                        {u"Data/big.bin"_qs, QByteArray(kBigFile, fill)},
                        {u"Config/LogedinUsers.XML"_qs, "<LogedinUsers/>"},
                        {u"Config/settings.ini"_qs, "[Settings]\nversion=" + version},
                        {u"Users/default/profile.ini"_qs, "[Profile]"},
                        {u"readme.txt"_qs, version}};
    // Each version has files and folders of its own, so an upgrade adds, replaces and drops.
    if (fill == 'a') {
        release.insert(u"Plugins/old.dll"_qs, "old plugin");
        release.insert(u"docs/manual.txt"_qs, "old manual");
    } else {
        release.insert(u"Plugins/pdf/pdfview.dll"_qs, QByteArray(200000, 'p'));
        release.insert(u"docs"_qs, "the manual is a file now");
        release.insert(u"Lang/zh-CN/strings.res"_qs, "strings");
    }
    return release;
}

QByteArray Archive(const TRelease& release) {
    TImageBuilder builder;
    for (auto it = release.cbegin(); it != release.cend(); ++it)
        builder.Add(u"Velmora/"_qs.append(it.key()).replace(u'/', u'\\').toLatin1(), it.value());
    return builder.Archive();
}

class InstallFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(FSystem.Path(u"old.bin"_qs), Archive(Release('a', "3.0")));
        WriteFile(FSystem.Path(u"new.bin"_qs), Archive(Release('b', "3.0.1")));
        // The reference states: each release installed cleanly, then the user's own data.
        for (const char* version : {"new", "old"}) {
            const velmora::test::TProcessRun run = Install(QLatin1String(version) + u".bin"_qs);
            ASSERT_EQ(run.Exit, 0) << run.Err.toStdString();
            if (FOldState.isEmpty() && QByteArray(version) == "old") {
                AddUserData();
                FOldState = FSystem.State();
            } else if (QByteArray(version) == "new") {
                AddUserData();
                FNewState = FSystem.State();
            }
        }
        ASSERT_EQ(FSystem.State(), FOldState);
    }

    void AddUserData() const {
        WriteFile(FSystem.Product() + u"Users/me/history.db"_qs, "mine");
        WriteFile(FSystem.Product() + u"Config/LogedinUsers.XML"_qs,
                  "<LogedinUsers><u>li</u></LogedinUsers>");
        WriteFile(FSystem.Product() + u"Config/settings.ini"_qs, "[Settings]\ntheme=dark");
    }

    QStringList InstallArgs(const QString& archive) const {
        return {u"install"_qs, FSystem.Path(archive), FSystem.Apps(), u"--root"_qs,
                FSystem.Stage()};
    }
    velmora::test::TProcessRun Install(const QString& archive,
                                       const std::function<void()>& inChild = {}) const {
        return RunWith(QStringLiteral(SETUP_CLI), InstallArgs(archive), {}, inChild);
    }
    // The tool's next start: it finishes or undoes whatever an interrupted install left.
    int Status() const {
        return RunWith(QStringLiteral(SETUP_CLI), {u"status"_qs, u"--root"_qs, FSystem.Stage()})
            .Exit;
    }

    velmora::test::TStagedSystem FSystem;
    TTree FOldState;
    TTree FNewState;
};

// Starts an install that stops itself at stage (see VELMORA_SETUP_CLI_STOP_AT); the process
// is left stopped there, or the test fails.
void StartStopped(QProcess& install, const QStringList& args, const char* stage) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"VELMORA_SETUP_CLI_STOP_AT"_qs, QString::fromLatin1(stage));
    env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    install.setProcessEnvironment(env);
    install.setStandardOutputFile(QProcess::nullDevice());
    install.setReadChannel(QProcess::StandardError);
    install.start(QStringLiteral(SETUP_CLI), args);
    QByteArray said;
    const QByteArray stop = QByteArray("stopped at ") + stage;
    for (QDeadlineTimer deadline(60000); !said.contains(stop) && !deadline.hasExpired();) {
        install.waitForReadyRead(1000);
        said += install.readAllStandardError();
    }
    ASSERT_TRUE(said.contains(stop)) << said.toStdString();
}

TEST_F(InstallFaultTest, KilledAtEachStepTheNextStartPutsThePreviousVersionBackExactly) {
    for (const char* stage : {"mid-file", "staged", "removed", "before-record"}) {
        SCOPED_TRACE(stage);
        QProcess install;
        StartStopped(install, InstallArgs(u"new.bin"_qs), stage);
        install.kill(); // SIGKILL, as kill -9 would
        ASSERT_TRUE(install.waitForFinished(10000));
        EXPECT_NE(FSystem.State(), FOldState) << "the kill left nothing to undo";

        EXPECT_EQ(Status(), 0);
        const TTree after = FSystem.State();
        EXPECT_EQ(after, FOldState) << TreeDifference(FOldState, after);
    }
    const velmora::test::TProcessRun again = Install(u"new.bin"_qs);
    ASSERT_EQ(again.Exit, 0) << again.Err.toStdString();
    EXPECT_EQ(FSystem.State(), FNewState) << TreeDifference(FNewState, FSystem.State());
}

TEST_F(InstallFaultTest, FullDiskFailsWithTheErrorAndLeavesThePreviousVersionExactly) {
    // Files past one part cannot grow, as on a disk that fills up while writing.
    const velmora::test::TProcessRun run = Install(u"new.bin"_qs, [] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1 << 20, 1 << 20};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_EQ(run.Exit, 1);
    EXPECT_TRUE(run.Err.contains(u"拷贝安装文件失败,安装程序将退出！\n"_qs + FSystem.Product() +
                                 u"Data/big.bin: File too large"_qs))
        << run.Err.toStdString();
    EXPECT_FALSE(run.Out.contains(u"已安装到"_qs));
    const QString log = QString::fromUtf8(ReadFile(FSystem.Stage() + u"/log/InstallLog.log"_qs));
    EXPECT_TRUE(log.contains(u"  CopyInstallFiles:写入安装文件出错\r\n"_qs + FSystem.Product() +
                             u"Data/big.bin: File too large"_qs))
        << log.toStdString();
    EXPECT_EQ(FSystem.State(), FOldState) << TreeDifference(FOldState, FSystem.State());

    ASSERT_EQ(Install(u"new.bin"_qs).Exit, 0);
    EXPECT_EQ(FSystem.State(), FNewState);
}

TEST_F(InstallFaultTest, TooFewDescriptorsForTheFolderDepthAreFoundBeforeAnythingIsTouched) {
    // 300 levels fit the path limit; a process allowed 200 descriptors cannot walk them.
    QByteArray deep = "Velmora";
    for (int level = 0; level < 300; ++level)
        deep += "\\d";
    WriteFile(
        FSystem.Path(u"deep.bin"_qs),
        TImageBuilder().Add("Velmora\\Corvex.exe", "#!/bin/sh\n").Add(deep + "\\f", "x").Archive());
    const velmora::test::TProcessRun run = Install(u"deep.bin"_qs, [] {
        const rlimit limit{200, 200};
        ::setrlimit(RLIMIT_NOFILE, &limit);
    });
    EXPECT_EQ(run.Exit, 1);
    EXPECT_TRUE(run.Err.contains(u"not enough file descriptors for 302 folder levels"_qs))
        << run.Err.toStdString();
    const QString log = QString::fromUtf8(ReadFile(FSystem.Stage() + u"/log/InstallLog.log"_qs));
    EXPECT_EQ(log.count(u"CopyInstallFiles:安装目录检查失败"_qs), 1) << log.toStdString();
    EXPECT_EQ(FSystem.State(), FOldState) << TreeDifference(FOldState, FSystem.State());
}

TEST_F(InstallFaultTest, EveryFileIsOnTheDiskBeforeTheRenameThatPublishesItAndTheRecordComesLast) {
    if (QStandardPaths::findExecutable(u"strace"_qs).isEmpty())
        GTEST_SKIP() << "strace is not installed";
    const QString trace = FSystem.Path(u"trace.txt"_qs);
    const velmora::test::TProcessRun run = RunWith(
        u"strace"_qs,
        QStringList{u"-f"_qs, u"-qq"_qs, u"-y"_qs, u"-o"_qs, trace, u"-e"_qs,
                    u"trace=fsync,fdatasync,renameat,renameat2"_qs, QStringLiteral(SETUP_CLI)} +
            InstallArgs(u"new.bin"_qs),
        {u"ASAN_OPTIONS=detect_leaks=0"_qs}); // the leak checker cannot run traced
    if (run.Exit != 0 && run.Err.contains(u"ptrace"_qs))
        GTEST_SKIP() << "tracing is not allowed here: " << run.Err.toStdString();
    ASSERT_EQ(run.Exit, 0) << run.Err.toStdString();
    QSet<QString> synced;
    int published = 0;
    qsizetype lastPublished = -1;
    qsizetype folderSynced = -1;
    qsizetype storeSynced = -1;
    const QStringList lines = QString::fromUtf8(ReadFile(trace)).split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString& line = lines.at(n);
        const qsizetype open = line.indexOf(u'<');
        const QString path =
            open < 0 ? QString() : line.mid(open + 1, line.indexOf(u'>') - open - 1);
        if (line.contains(u"fsync("_qs) || line.contains(u"fdatasync("_qs)) {
            synced.insert(path);
            if (path.endsWith(u"registry.sqlite3"_qs) && lastPublished >= 0)
                storeSynced = n;
            if (path == FSystem.Product().chopped(1) && lastPublished >= 0 && folderSynced < 0)
                folderSynced = n;
            continue;
        }
        // renameat2(5</…/Data>, ".big.bin.velmora-new", 5</…/Data>, "big.bin", RENAME_NOREPLACE)
        if (!line.contains(u"renameat2("_qs) || !line.contains(u".velmora-new\""_qs))
            continue;
        const QString folder = path;
        const qsizetype quote = line.indexOf(u'"');
        const QString staged = line.mid(quote + 1, line.indexOf(u'"', quote + 1) - quote - 1);
        if (!folder.startsWith(FSystem.Apps()))
            continue;
        ++published;
        lastPublished = n;
        if (!staged.startsWith(u"."_qs) ||
            QFileInfo(folder + u'/' + staged.mid(1).chopped(12)).isDir())
            continue; // a whole new folder: its files were synced inside it
        EXPECT_TRUE(synced.contains(folder + u'/' + staged)) << line.toStdString();
    }
    EXPECT_GE(published, 4);
    EXPECT_GT(folderSynced, lastPublished) << "the product folder was not synced after the renames";
    EXPECT_GT(storeSynced, folderSynced)
        << "the record was not written after the files were synced";
}

TEST_F(InstallFaultTest, AStrictFileMaskStillLeavesEveryFolderAndFileReadableByAll) {
    // Self-extracting archives and hardened root shells start programs with mask 077; what the
    // installer makes (program folders, menus, the registry store) is used by everyone.
    QProcess install;
    install.setChildProcessModifier([] { ::umask(077); });
    const QStringList args = {u"install"_qs, FSystem.Path(u"new.bin"_qs), FSystem.Path(u"Fresh"_qs),
                              u"--root"_qs, FSystem.Path(u"fresh-stage"_qs)};
    install.start(QStringLiteral(SETUP_CLI), args);
    ASSERT_TRUE(install.waitForFinished(60000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();
    int checked = 0;
    for (const QString& top : {FSystem.Path(u"Fresh"_qs), FSystem.Path(u"fresh-stage"_qs)}) {
        QDirIterator it(top, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            // The single-instance name is the installing user's alone, on purpose.
            if (info.isSymLink() || info.filePath().contains(u"fresh-stage/run"_qs))
                continue;
            const auto others = info.permissions() & (QFile::ReadOther | QFile::ExeOther);
            if (info.isDir())
                EXPECT_EQ(others, QFile::ReadOther | QFile::ExeOther)
                    << info.filePath().toStdString();
            else
                EXPECT_TRUE(others & QFile::ReadOther) << info.filePath().toStdString();
            ++checked;
        }
    }
    EXPECT_GT(checked, 10);
}

} // namespace
