// Interrupted and starved installs of the real command-line tool, staged below temporary
// folders: whatever happens, user data survives, every file is old or new but never torn,
// and the next install completes a correct tree.
#include "tests/support/PayloadImageBuilder.h"
#include "tests/support/TestSupport.h"

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

using velmora::test::ReadFile;
using velmora::test::ReadTree;
using velmora::test::RunProcess;
using velmora::test::TImageBuilder;
using velmora::test::WriteFile;

namespace {

using TTree = QMap<QString, QByteArray>;

constexpr int kBigFile = 3 << 20; // three of the writer's parts

TTree Release(char fill, const QByteArray& version) {
    return {{u"Corvex.exe"_qs, "#!/bin/sh\necho " + version + "\n"},
            {u"Uninstall.exe"_qs, "#!/bin/sh\n"},
            {u"Data/big.bin"_qs, QByteArray(kBigFile, fill)},
            {u"Config/LogedinUsers.XML"_qs, "<LogedinUsers/>"},
            {u"Users/default/profile.ini"_qs, "[Profile]"},
            {u"readme.txt"_qs, version}};
}

QByteArray Archive(const TTree& tree) {
    TImageBuilder builder;
    for (auto it = tree.cbegin(); it != tree.cend(); ++it)
        builder.Add(u"Velmora/"_qs.append(it.key()).replace(u'/', u'\\').toLatin1(), it.value());
    return builder.Archive();
}

bool IsUserData(const QString& path) {
    return path.startsWith(u"Users/"_qs) || path.startsWith(u"Config/"_qs);
}

class InstallFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        FOld = Release('a', "3.0");
        FNew = Release('b', "3.0.1");
        WriteFile(Path(u"old.bin"_qs), Archive(FOld));
        WriteFile(Path(u"new.bin"_qs), Archive(FNew));
        ASSERT_EQ(Install(u"old.bin"_qs).Exit, 0);
        WriteFile(Product() + u"Users/me/history.db"_qs, "mine");
        WriteFile(Product() + u"Config/LogedinUsers.XML"_qs,
                  "<LogedinUsers><u>li</u></LogedinUsers>");
    }

    QString Path(const QString& name) const { return FDir.filePath(name); }
    QString Product() const { return Path(u"Apps/Velmora/"_qs); }
    QStringList InstallArgs(const QString& archive) const {
        return {u"install"_qs, Path(archive), Path(u"Apps"_qs), u"--root"_qs, Path(u"stage"_qs)};
    }
    velmora::test::TProcessRun Install(const QString& archive) const {
        return RunProcess(QStringLiteral(SETUP_CLI), InstallArgs(archive));
    }
    int Status() const {
        return RunProcess(QStringLiteral(SETUP_CLI),
                          {u"status"_qs, u"--root"_qs, Path(u"stage"_qs)})
            .Exit;
    }

    void ExpectUserDataKept() const {
        EXPECT_EQ(ReadFile(Product() + u"Users/me/history.db"_qs), "mine");
        EXPECT_EQ(ReadFile(Product() + u"Config/LogedinUsers.XML"_qs),
                  "<LogedinUsers><u>li</u></LogedinUsers>");
    }

    // The new release plus the user's data, and nothing else.
    void ExpectNewTree() const {
        TTree expected = FNew;
        expected.insert(u"Users/me/history.db"_qs, "mine");
        expected.insert(u"Config/LogedinUsers.XML"_qs, "<LogedinUsers><u>li</u></LogedinUsers>");
        EXPECT_EQ(ReadTree(Product().chopped(1)), expected);
    }

    QTemporaryDir FDir;
    TTree FOld;
    TTree FNew;
};

TEST_F(InstallFaultTest, KilledInstallLeavesNoTornFileAndTheNextInstallCompletes) {
    const struct {
        const char* Stage;
        const char* Present; // what proves the kill came at that point
        const char* Absent;
    } stages[] = {
        {"removed", "Users/default/profile.ini", "readme.txt"},
        {"mid-file", "Data/.big.bin.velmora-new", "Data/big.bin"},
        {"before-record", "readme.txt", "Data/.big.bin.velmora-new"},
    };
    for (const auto& [stage, present, absent] : stages) {
        SCOPED_TRACE(stage);
        QProcess install;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"VELMORA_SETUP_CLI_STOP_AT"_qs, QString::fromLatin1(stage));
        env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
        install.setProcessEnvironment(env);
        install.setStandardOutputFile(QProcess::nullDevice());
        install.setReadChannel(QProcess::StandardError);
        install.start(QStringLiteral(SETUP_CLI), InstallArgs(u"new.bin"_qs));
        QByteArray said;
        const QByteArray stop = QByteArray("stopped at ") + stage;
        for (QDeadlineTimer deadline(60000); !said.contains(stop) && !deadline.hasExpired();) {
            install.waitForReadyRead(1000);
            said += install.readAllStandardError();
        }
        ASSERT_TRUE(said.contains(stop)) << said.toStdString();
        install.kill(); // SIGKILL, as kill -9 would
        ASSERT_TRUE(install.waitForFinished(10000));

        ExpectUserDataKept();
        EXPECT_EQ(Status(), 1) << "no record until the very end";
        const TTree left = ReadTree(Product().chopped(1));
        EXPECT_TRUE(left.contains(QLatin1String(present)));
        EXPECT_FALSE(left.contains(QLatin1String(absent)));
        for (auto it = left.cbegin(); it != left.cend(); ++it) {
            if (IsUserData(it.key()) || it.key().endsWith(u".velmora-new"_qs))
                continue;
            EXPECT_TRUE(it.value() == FOld.value(it.key()) || it.value() == FNew.value(it.key()))
                << it.key().toStdString() << " is torn";
        }

        const velmora::test::TProcessRun again = Install(u"new.bin"_qs);
        ASSERT_EQ(again.Exit, 0) << again.Err.toStdString();
        ExpectNewTree();
        EXPECT_EQ(Status(), 0);
    }
}

TEST_F(InstallFaultTest, FullDiskFailsWithTheErrorKeepsUserDataAndWritesNoRecord) {
    QProcess install;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    install.setProcessEnvironment(env);
    // Files past one part cannot grow, as on a disk that fills up.
    install.setChildProcessModifier([] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1 << 20, 1 << 20};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    install.start(QStringLiteral(SETUP_CLI), InstallArgs(u"new.bin"_qs));
    ASSERT_TRUE(install.waitForFinished(60000));
    EXPECT_EQ(install.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(install.readAllStandardError())
                    .contains(u"拷贝安装文件失败,安装程序将退出！"_qs));

    const QString log = QString::fromUtf8(ReadFile(Path(u"stage/log/InstallLog.log"_qs)));
    EXPECT_TRUE(log.contains(u"  CopyInstallFiles:写入安装文件出错\r\n"_qs + Product() +
                             u"Data/big.bin: "_qs))
        << log.toStdString();
    ExpectUserDataKept();
    EXPECT_FALSE(QFileInfo::exists(Product() + u"Data/big.bin"_qs));
    for (const QString& path : ReadTree(Product().chopped(1)).keys())
        EXPECT_FALSE(path.endsWith(u".velmora-new"_qs)) << path.toStdString();
    EXPECT_EQ(Status(), 1);

    ASSERT_EQ(Install(u"new.bin"_qs).Exit, 0);
    ExpectNewTree();
}

TEST_F(InstallFaultTest, AStrictFileMaskStillLeavesEveryFolderAndFileReadableByAll) {
    // Self-extracting archives and hardened root shells start programs with mask 077; what the
    // installer makes (program folders, menus, the registry store) is used by everyone.
    QProcess install;
    install.setChildProcessModifier([] { ::umask(077); });
    const QStringList args = {u"install"_qs, Path(u"new.bin"_qs), Path(u"Fresh"_qs), u"--root"_qs,
                              Path(u"fresh-stage"_qs)};
    install.start(QStringLiteral(SETUP_CLI), args);
    ASSERT_TRUE(install.waitForFinished(60000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();
    int checked = 0;
    for (const QString& top : {Path(u"Fresh"_qs), Path(u"fresh-stage"_qs)}) {
        QDirIterator it(top, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            if (info.isSymLink())
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
