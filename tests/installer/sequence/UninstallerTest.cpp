// The uninstaller and the command-line tool against records, folders and systems that try to
// mislead them: records holding NUL bytes, product folders holding the user's own files, a
// store another program holds, a product that runs, another installer beside them, no
// display. Nothing they cannot trust is removed, and what they say is true.
#include "installer/InstallManifest.h"
#include "tests/installer/sequence/StagedSystem.h"
#include "tests/installer/wizard/RealProcessSupport.h"

#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace velmora;
using velmora::test::ExactTree;
using velmora::test::ReadFile;
using velmora::test::RunWith;
using velmora::test::TImageBuilder;
using velmora::test::TProcessRun;
using velmora::test::TreeDifference;
using velmora::test::TTree;
using velmora::test::WriteFile;

namespace {

QByteArray Release(const QByteArray& version) {
    return TImageBuilder()
        .Add("Velmora\\Corvex.exe", "#!/bin/sh\necho " + version + "\n")
        .Add("Velmora\\Uninstall.exe", "#!/bin/sh\n")
        .Add("Velmora\\Config\\settings.ini", "[Settings]\nversion=" + version)
        .Add("Velmora\\Config\\LogedinUsers.XML", "<LogedinUsers/>")
        .Add("Velmora\\Users\\default\\profile.ini", "[Profile]")
        .Add("Velmora\\lib\\core.so", "core " + version)
        .Add("Velmora\\readme.txt", version)
        .Archive();
}

class UninstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(FSystem.Path(u"3.0.bin"_qs), Release("3.0"));
        WriteFile(FSystem.Path(u"3.1.bin"_qs), Release("3.1"));
    }

    TProcessRun Cli(const QStringList& args, const QStringList& env = {}) const {
        return RunWith(QStringLiteral(SETUP_CLI), args + QStringList{u"--root"_qs, FSystem.Stage()},
                       env);
    }
    TProcessRun Install(const QString& folder, const char* version = "3.0") const {
        return Cli({u"install"_qs, FSystem.Path(QLatin1String(version) + u".bin"_qs), folder});
    }
    TProcessRun Uninstaller(const QStringList& env = {}) const {
        return RunWith(QStringLiteral(UNINSTALL_EXE), {u"--yes"_qs, u"--root"_qs, FSystem.Stage()},
                       env);
    }
    QString Key() const { return UninstallRecordKey(DefaultInstallerSettings()); }
    TTree Record() const {
        TTree record;
        velmora::test::AddStoredRecord(FSystem.Roots().RegistryStoreFile, record);
        return record;
    }
    // Everything below folder that lies outside the product folder in it.
    static TTree Outside(const QString& folder) {
        TTree tree = ExactTree(folder);
        tree.removeIf([](const auto& entry) { return entry.key().startsWith(u"Velmora/"_qs); });
        return tree;
    }

    velmora::test::TStagedSystem FSystem;
};

TEST_F(UninstallerTest, ARecordHoldingNulBytesIsNeverActedOnAndWhatLiesOutsideStaysByteForByte) {
    // A home folder as the install folder, with the user's own things beside the product.
    const QString home = FSystem.Path(u"home"_qs);
    WriteFile(home + u"/.profile"_qs, "export EDITOR=vi\n");
    WriteFile(home + u"/Documents/letter.odt"_qs, "letter");
    WriteFile(home + u"/Users/keep.txt"_qs, "mine");
    WriteFile(home + u"/Config/mine.ini"_qs, "mine");
    WriteFile(home + u"/file"_qs, "a file the shortcut value points at");
    ASSERT_EQ(Install(home).Exit, 0);
    {
        // The store edited by hand: each value ends at a NUL for the system, not for a check
        // that looks at the whole text.
        TSqliteRegistryStore store(FSystem.Roots().RegistryStoreFile, QString());
        store.WriteString(Key(), u"InstallLocation"_qs, home + QChar(0));
        store.WriteString(Key(), u"ShortcutFileName"_qs,
                          home + u"/file"_qs + QChar(0) + u".desktop"_qs);
    }
    const TTree before = ExactTree(home);
    const TTree record = Record();
    const TTree desktop = ExactTree(FSystem.Roots().Desktop);

    const TProcessRun uninstall = Cli({u"uninstall"_qs});
    EXPECT_EQ(uninstall.Exit, 1);
    EXPECT_TRUE(uninstall.Err.contains(
        u"安装信息中的值不可信: InstallLocation: the value holds a control character"_qs))
        << uninstall.Err.toStdString();
    EXPECT_TRUE(uninstall.Err.contains(
        u"安装信息中的值不可信: ShortcutFileName: the value holds a control character"_qs));
    EXPECT_FALSE((uninstall.Out + uninstall.Err).contains(u"已卸载"_qs));
    EXPECT_EQ(ExactTree(home), before) << TreeDifference(before, ExactTree(home));
    EXPECT_EQ(Record(), record);
    EXPECT_EQ(ExactTree(FSystem.Roots().Desktop), desktop);
    EXPECT_EQ(
        RunWith(QStringLiteral(UNINSTALL_EXE), {u"--yes"_qs, u"--root"_qs, FSystem.Stage()}).Exit,
        1);
    EXPECT_EQ(ExactTree(home), before);

    // A reinstall removes nothing of the refused values, says so once each, and writes a
    // sound record; the next uninstall then works.
    QFile::remove(FSystem.Stage() + u"/log/InstallLog.log"_qs);
    const TProcessRun again = Install(home, "3.1");
    ASSERT_EQ(again.Exit, 0) << again.Err.toStdString();
    const QString log = QString::fromUtf8(ReadFile(FSystem.Stage() + u"/log/InstallLog.log"_qs));
    EXPECT_EQ(log.count(u"InstallLocation: the value holds a control character"_qs), 1)
        << log.toStdString();
    TTree outside = before;
    outside.removeIf([](const auto& entry) { return entry.key().startsWith(u"Velmora/"_qs); });
    EXPECT_EQ(Outside(home), outside) << TreeDifference(outside, Outside(home));
    const TProcessRun status = Cli({u"status"_qs});
    EXPECT_TRUE(status.Out.contains(u"InstallLocation="_qs + home + u"/\n"_qs))
        << status.Out.toStdString();
    EXPECT_TRUE(status.Out.contains(u"ShortcutFileName="_qs + FSystem.Roots().Desktop +
                                    u"/Velmora3.0.desktop\n"_qs));
    const TProcessRun removed = Cli({u"uninstall"_qs});
    EXPECT_EQ(removed.Exit, 0) << removed.Err.toStdString();
    EXPECT_EQ(Outside(home), outside) << TreeDifference(outside, Outside(home));
}

TEST_F(UninstallerTest, FilesThatWereThereBeforeTheInstallAreKeptAndReported) {
    // The user's own folder named like the product, with their work in it.
    WriteFile(FSystem.Product() + u"drafts/chapter1.odt"_qs, "chapter one");
    WriteFile(FSystem.Apps() + u"/other.txt"_qs, "beside");
    const TTree outside = Outside(FSystem.Apps());
    ASSERT_EQ(Install(FSystem.Apps()).Exit, 0);
    ASSERT_EQ(Install(FSystem.Apps(), "3.1").Exit, 0);
    EXPECT_EQ(ReadFile(FSystem.Product() + u"drafts/chapter1.odt"_qs), "chapter one");

    const TProcessRun removed = Uninstaller();
    EXPECT_EQ(removed.Exit, 0) << removed.Err.toStdString();
    EXPECT_TRUE(removed.Out.contains(u"已保留非本程序安装的文件 (1 个): "_qs + FSystem.Product() +
                                     u"drafts/chapter1.odt"_qs))
        << removed.Out.toStdString();
    // Only the user's files stay: their own work and the product's user data.
    EXPECT_EQ(velmora::test::ReadTree(FSystem.Product().chopped(1)),
              (TTree{{u"Config/LogedinUsers.XML"_qs, "<LogedinUsers/>"},
                     {u"Config/settings.ini"_qs, "[Settings]\nversion=3.0"},
                     {u"Users/default/profile.ini"_qs, "[Profile]"},
                     {u"drafts/chapter1.odt"_qs, "chapter one"}}));
    EXPECT_EQ(Outside(FSystem.Apps()), outside);
}

TEST_F(UninstallerTest, TheUsersSettingsAndDataSurviveReinstalls) {
    ASSERT_EQ(Install(FSystem.Apps()).Exit, 0);
    WriteFile(FSystem.Product() + u"Users/default/profile.ini"_qs, "[Profile]\nname=li");
    WriteFile(FSystem.Product() + u"Config/settings.ini"_qs, "[Settings]\ntheme=dark");
    QFile::remove(FSystem.Product() + u"Config/LogedinUsers.XML"_qs);
    ASSERT_EQ(Install(FSystem.Apps(), "3.1").Exit, 0);
    EXPECT_EQ(ReadFile(FSystem.Product() + u"Users/default/profile.ini"_qs), "[Profile]\nname=li");
    EXPECT_EQ(ReadFile(FSystem.Product() + u"Config/settings.ini"_qs), "[Settings]\ntheme=dark");
    // Written where none was.
    EXPECT_EQ(ReadFile(FSystem.Product() + u"Config/LogedinUsers.XML"_qs), "<LogedinUsers/>");
    EXPECT_EQ(ReadFile(FSystem.Product() + u"readme.txt"_qs), "3.1");
}

TEST_F(UninstallerTest, NoToolRunsBesideAnotherInstaller) {
    ASSERT_EQ(Install(FSystem.Apps()).Exit, 0);
    const TTree before = FSystem.State();
    QProcess first;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"VELMORA_SETUP_CLI_STOP_AT"_qs, u"staged"_qs);
    first.setProcessEnvironment(env);
    first.setReadChannel(QProcess::StandardError);
    first.start(QStringLiteral(SETUP_CLI),
                {u"install"_qs, FSystem.Path(u"3.1.bin"_qs), FSystem.Path(u"First"_qs),
                 u"--root"_qs, FSystem.Stage()});
    ASSERT_TRUE(velmora::testing::WaitUntil([&] {
        first.waitForReadyRead(100);
        return first.readAllStandardError().contains("stopped at staged");
    }));
    const QString running = DefaultInstallerSettings().InstallerRunningMessage;
    for (const TProcessRun& second :
         {Install(FSystem.Path(u"Second"_qs), "3.1"), Cli({u"uninstall"_qs}), Uninstaller()}) {
        EXPECT_EQ(second.Exit, 1);
        EXPECT_TRUE((second.Out + second.Err).contains(running))
            << second.Out.toStdString() << second.Err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(FSystem.Path(u"Second"_qs)));
    first.kill();
    first.waitForFinished(10000);
    EXPECT_EQ(Cli({u"status"_qs}).Exit, 0);
    EXPECT_EQ(FSystem.State(), before) << TreeDifference(before, FSystem.State());
}

TEST_F(UninstallerTest, OnTheRealSystemTheToolsRefuseToRunBesideTheWizard) {
    // Each tool as a person would run it, without --root, beside the name the wizard takes.
    velmora::testing::TRealProcessSandbox sandbox;
    const QString helper = sandbox.Install(QStringLiteral(HOLD_NAME_HELPER), u"hold-name"_qs);
    QProcess wizard;
    wizard.setProcessChannelMode(QProcess::SeparateChannels);
    sandbox.Start(wizard, helper, u"offscreen"_qs, QString(),
                  {DefaultInstallerSettings().ProgramKey()});
    ASSERT_TRUE(wizard.waitForReadyRead(10000));
    ASSERT_EQ(wizard.readLine().trimmed(), QByteArray("held"));
    const QString archive = sandbox.Install(FSystem.Path(u"3.0.bin"_qs), u"payload.bin"_qs);
    const QString running = DefaultInstallerSettings().InstallerRunningMessage;
    const struct {
        QString Program;
        QStringList Arguments;
    } tools[] = {
        {sandbox.Install(QStringLiteral(SETUP_CLI), u"setup-cli"_qs),
         {u"install"_qs, archive, sandbox.Path(u"home/Apps"_qs)}},
        {sandbox.Install(QStringLiteral(SETUP_CLI), u"setup-cli"_qs), {u"uninstall"_qs}},
        {sandbox.Install(QStringLiteral(UNINSTALL_EXE), u"Uninstall.exe"_qs), {u"--yes"_qs}},
    };
    const QString said = sandbox.Path(u"home/said.txt"_qs);
    for (const auto& tool : tools) {
        QProcess run;
        // What the tool says on standard error, kept in a file the sandbox's user may write.
        sandbox.Start(
            run, u"/bin/sh"_qs, u"offscreen"_qs, QString(),
            QStringList{u"-c"_qs, u"exec \"$0\" \"$@\" 2>\""_qs + said + u'"', tool.Program} +
                tool.Arguments);
        ASSERT_TRUE(run.waitForFinished(60000));
        EXPECT_EQ(run.exitCode(), 1);
        const QString text = QString::fromUtf8(ReadFile(said));
        EXPECT_TRUE(text.contains(running)) << text.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(sandbox.Path(u"home/Apps"_qs)));
    velmora::testing::Stop(wizard);
}

TEST_F(UninstallerTest, NothingIsRemovedWhileTheProductRuns) {
    ASSERT_EQ(Install(FSystem.Apps()).Exit, 0);
    // The product's program, running from the product folder.
    const QString program = FSystem.Product() + u"Corvex.exe"_qs;
    QFile::remove(program);
    ASSERT_TRUE(QFile::copy(u"/bin/sleep"_qs, program));
    const TTree before = FSystem.State();
    QProcess product;
    product.start(program, {u"600"_qs});
    ASSERT_TRUE(product.waitForStarted(10000));
    for (const TProcessRun& refused : {Cli({u"uninstall"_qs}), Uninstaller()}) {
        EXPECT_EQ(refused.Exit, 1);
        EXPECT_TRUE(
            refused.Err.contains(u"Velmora V3.0 正在运行，请先退出程序再卸载: "_qs + program))
            << refused.Err.toStdString();
        EXPECT_EQ(FSystem.State(), before) << TreeDifference(before, FSystem.State());
    }
    product.kill();
    product.waitForFinished(10000);
    // The uninstaller the shortcut starts runs from the product folder itself: that is no
    // running product.
    const QString installed = FSystem.Product() + u"Uninstall.exe"_qs;
    QFile::remove(installed);
    ASSERT_TRUE(QFile::copy(QStringLiteral(UNINSTALL_EXE), installed));
    const TProcessRun removed = RunWith(installed, {u"--yes"_qs, u"--root"_qs, FSystem.Stage()});
    EXPECT_EQ(removed.Exit, 0) << removed.Err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(installed));
}

TEST_F(UninstallerTest, AFailedUninstallKeepsRecordAndShortcutsAndSaysWhy) {
    ASSERT_EQ(Install(FSystem.Apps()).Exit, 0);
    const QString stuck = FSystem.Product() + u"lib/core.so"_qs;
    QProcess chattr;
    chattr.start(u"chattr"_qs, {u"+i"_qs, stuck});
    if (!chattr.waitForFinished(10000) || chattr.exitCode() != 0)
        GTEST_SKIP() << "chattr +i is not supported here";
    const TProcessRun failed = Uninstaller();
    QProcess::execute(u"chattr"_qs, {u"-i"_qs, stuck});
    EXPECT_EQ(failed.Exit, 1);
    EXPECT_TRUE(failed.Err.contains(u"程序文件未能删除 (1 个): "_qs + FSystem.Product() + u" ("_qs +
                                    stuck + u')'))
        << failed.Err.toStdString();
    EXPECT_TRUE(failed.Err.contains(u"安装信息和快捷方式已保留，可以再次卸载。"_qs));
    // A retry finds the product: the record and the shortcuts of what stayed are there.
    EXPECT_EQ(Cli({u"status"_qs}).Exit, 0);
    EXPECT_TRUE(QFileInfo::exists(FSystem.Roots().Desktop + u"/Velmora3.0.desktop"_qs));
    EXPECT_TRUE(QFileInfo::exists(FSystem.Roots().UserProgramsMenu +
                                  u"/Velmora3.0/卸载Velmora3.0.desktop"_qs));
    const TProcessRun retry = Uninstaller();
    EXPECT_EQ(retry.Exit, 0) << retry.Err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(stuck));
}

// A second connection holding the store's exclusive lock for the test's duration.
class TStoreLock {
public:
    explicit TStoreLock(const QString& storeFile) {
        sqlite3_open(QFile::encodeName(storeFile).constData(), &FDb);
        FHeld = sqlite3_exec(FDb, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~TStoreLock() { sqlite3_close(FDb); }
    TStoreLock(const TStoreLock&) = delete;
    TStoreLock& operator=(const TStoreLock&) = delete;
    bool Held() const { return FHeld; }

private:
    sqlite3* FDb = nullptr;
    bool FHeld = false;
};

TEST_F(UninstallerTest, ABusyStoreIsNeverTakenForOneWithoutARecord) {
    // Each tool on a system of its own, all at once: each waits out the busy store.
    const struct {
        QString Program;
        QStringList Arguments;
    } tools[] = {
        {QStringLiteral(SETUP_CLI), {u"status"_qs}},
        {QStringLiteral(SETUP_CLI), {u"uninstall"_qs}},
        {QStringLiteral(UNINSTALL_EXE), {u"--yes"_qs}},
        {QStringLiteral(SETUP_CLI), {u"install"_qs, FSystem.Path(u"3.1.bin"_qs)}},
    };
    std::vector<std::unique_ptr<velmora::test::TStagedSystem>> systems;
    std::vector<std::unique_ptr<TStoreLock>> locks;
    std::vector<std::unique_ptr<QProcess>> runs;
    std::vector<TTree> before;
    for (const auto& tool : tools) {
        systems.push_back(std::make_unique<velmora::test::TStagedSystem>());
        const velmora::test::TStagedSystem& system = *systems.back();
        ASSERT_EQ(RunWith(QStringLiteral(SETUP_CLI), {u"install"_qs, FSystem.Path(u"3.0.bin"_qs),
                                                      system.Apps(), u"--root"_qs, system.Stage()})
                      .Exit,
                  0);
        before.push_back(ExactTree(system.Apps()));
        locks.push_back(std::make_unique<TStoreLock>(system.Roots().RegistryStoreFile));
        ASSERT_TRUE(locks.back()->Held());
        QStringList arguments = tool.Arguments;
        if (arguments.first() == u"install")
            arguments << system.Apps();
        runs.push_back(std::make_unique<QProcess>());
        runs.back()->start(tool.Program, arguments + QStringList{u"--root"_qs, system.Stage()});
    }
    for (size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE(tools[i].Arguments.first().toStdString());
        ASSERT_TRUE(runs[i]->waitForFinished(60000));
        EXPECT_EQ(runs[i]->exitCode(), 1);
        const QString said =
            QString::fromUtf8(runs[i]->readAllStandardOutput() + runs[i]->readAllStandardError());
        EXPECT_TRUE(said.contains(u"database is locked"_qs)) << said.toStdString();
        for (const char* wrong : {"未找到", "未安装", "已卸载", "已安装到"})
            EXPECT_FALSE(said.contains(QString::fromUtf8(wrong))) << said.toStdString();
        EXPECT_EQ(ExactTree(systems[i]->Apps()), before[i]);
    }
}

TEST_F(UninstallerTest, UninstallExeNeedsNoDisplayAndNoHelperOutlivesIt) {
    // A registration tool that leaves a process of its own behind.
    const QString bin = FSystem.Path(u"bin"_qs);
    const QString pids = FSystem.Path(u"pids"_qs);
    WriteFile(bin + u"/regsvr32"_qs,
              ("#!/bin/sh\nsleep 300 &\necho $! >> '" + pids + "'\n").toUtf8());
    QFile::setPermissions(bin + u"/regsvr32"_qs, QFile::ReadOwner | QFile::ExeOwner);
    ASSERT_EQ(Install(FSystem.Apps()).Exit, 0);

    QProcess uninstall;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    env.insert(u"PATH"_qs, bin + u":/usr/bin:/bin"_qs);
    uninstall.setProcessEnvironment(env);
    uninstall.start(QStringLiteral(UNINSTALL_EXE), {u"--root"_qs, FSystem.Stage()});
    ASSERT_TRUE(uninstall.waitForFinished(60000));
    EXPECT_EQ(uninstall.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(uninstall.exitCode(), 1) << "without --yes there is nobody to ask";
    EXPECT_TRUE(uninstall.readAllStandardError().contains("--yes"));

    uninstall.start(QStringLiteral(UNINSTALL_EXE), {u"--yes"_qs, u"--root"_qs, FSystem.Stage()});
    ASSERT_TRUE(uninstall.waitForFinished(60000));
    EXPECT_EQ(uninstall.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(uninstall.exitCode(), 0) << uninstall.readAllStandardError().toStdString();
    const QList<QByteArray> started = ReadFile(pids).trimmed().split('\n');
    EXPECT_EQ(started.size(), 2) << "one run per COM file";
    for (const QByteArray& pid : started) {
        const bool gone = velmora::testing::WaitUntil(
            [&] {
                const QByteArray stat =
                    ReadFile(u"/proc/"_qs + QString::fromLatin1(pid) + u"/stat"_qs);
                return stat == "<missing>" || stat.contains(") Z ");
            },
            5000);
        EXPECT_TRUE(gone) << "helper " << pid.toStdString() << " outlived the uninstaller";
    }
}

} // namespace
