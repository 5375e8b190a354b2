// The real VelmoraSetup on a virtual X display, run as an unprivileged user in a temporary
// home, installed the way a user does it with the mouse and the keyboard: notice, options,
// custom install, a typed path, install, finish with "run now". Everything it does is checked
// from outside: the files, the desktop entries, the record, the log and the started product.
#include "installer/InstallerSettings.h"
#include "installer/PayloadArchive.h"
#include "tests/installer/wizard/RealProcessSupport.h"

#include <QDirIterator>
#include <csignal>

using namespace velmora;
using namespace velmora::testing;

namespace {

const TWindowMatch KMainWindow = [](const QString&, QSize size) { return size == QSize(562, 371); };

// Centres of the controls, in window coordinates: the pages and bars sit below the skinned
// title bar (28 high) inside a 3-pixel border. The operator link is right-aligned and sized
// to its caption, so it is hit just left of its right end, wherever its left end falls.
const QPoint KNoticeNext(281, 300);    // imgOKButton
const QPoint KOperatorLink(530, 350);  // lblOperator: custom install on the options page
const QPoint KPathField(236, 196);     // edtInstallPath
const QPoint KInstallButton(281, 272); // imgOkInstall
const QPoint KFinishButton(459, 276);  // imgFinishedButton
const QPoint KCloseButton(547, 13);    // the title bar's close button
// The install's one error box: the caption "提示", no owner.
const TWindowMatch KErrorBox = [](const QString& title, QSize) { return title == u"提示"_qs; };

struct TProductProcess {
    pid_t Pid = 0;
    uid_t Uid = 0;
};

// Processes whose program is AProgram, by their command lines (readable for any user).
QList<TProductProcess> ProcessesOf(const QString& AProgram) {
    QList<TProductProcess> found;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& pid : pids) {
        bool number = false;
        const pid_t id = pid.toInt(&number);
        if (!number)
            continue;
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!cmdline.open(QIODevice::ReadOnly) ||
            QFile::decodeName(cmdline.readAll().split('\0').value(0)) != AProgram)
            continue;
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("Uid:"))
                found.append({id, static_cast<uid_t>(
                                      line.mid(4).simplified().split(' ').value(0).toUInt())});
    }
    return found;
}

// Processes named ANames that carry ADisplay in their environment: helpers a program started
// for that display (an autolaunched session bus) and left behind.
QStringList HelpersOnDisplay(const QStringList& ANames, const QString& ADisplay) {
    QStringList found;
    const QByteArray wanted = "DISPLAY=" + ADisplay.toLocal8Bit();
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        if (!comm.open(QIODevice::ReadOnly))
            continue;
        const QString name = QString::fromLocal8Bit(comm.readAll()).trimmed();
        if (!ANames.contains(name))
            continue;
        QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
        if (environ.open(QIODevice::ReadOnly) && environ.readAll().split('\0').contains(wanted))
            found << name + u' ' + pid;
    }
    return found;
}

class InstallerMainEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(FDisplay.Name().isEmpty()) << "no virtual display could be started";
        FillInstallerSettings();
        FSetupCli =
            FSandbox.Install(QStringLiteral(SETUP_CLI_PROGRAM), QStringLiteral("setup-cli"));
        // Opening the web address must reach no browser: a stand-in notes what it was given.
        QFile opener(FSandbox.Path(QStringLiteral("bin/xdg-open")));
        ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
        opener.write("#!/bin/sh\nprintf '%s\\n' \"$*\" >> \"$HOME/opened.txt\"\n");
        opener.close();
        opener.setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                              QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
        FInstallTo = FSandbox.Path(QStringLiteral("home/Apps/Tools"));
    }
    void TearDown() override {
        Stop(FSetup);
        for (const TProductProcess& product : ProcessesOf(Product()))
            ::kill(product.Pid, SIGKILL);
    }

    QString Product() const { return FInstallTo + QStringLiteral("/Velmora/Corvex.exe"); }

    // Walks the wizard from the notice to the install button with the path typed in.
    QString InstallThroughTheWizard(const QString& AProgram) {
        FSandbox.Start(FSetup, FSandbox.Install(AProgram, QStringLiteral("VelmoraSetup")),
                       QStringLiteral("xcb"), FDisplay.Name());
        const QString window = FDesktop.WaitForWindow(FSetup, KMainWindow);
        FDesktop.Click(window, KNoticeNext);
        FDesktop.Click(window, KOperatorLink);
        FDesktop.Click(window, KPathField);
        FDesktop.Keys(QStringLiteral("ctrl+a"));
        FDesktop.Type(FInstallTo);
        FDesktop.Click(window, KInstallButton);
        return window;
    }

    // The install record as setup-cli reads it with the user's environment: name=value
    // lines, empty when there is none.
    QHash<QString, QString> Record() const {
        QProcess cli;
        FSandbox.Start(cli, FSetupCli, QStringLiteral("offscreen"), QString(),
                       {QStringLiteral("status")});
        cli.waitForFinished(30000);
        QHash<QString, QString> values;
        if (cli.exitCode() != 0)
            return values;
        for (const QString& line : QString::fromUtf8(cli.readAllStandardOutput()).split(u'\n'))
            if (const qsizetype at = line.indexOf(u'='); at > 0)
                values.insert(line.left(at), line.mid(at + 1));
        return values;
    }

    // Every install log the program may have written: beside itself, or where it falls back
    // to when that folder is not writable for the user.
    QString InstallLogs() const {
        QString text;
        for (const QString& log : {FSandbox.Path(QStringLiteral("bin/InstallLog.log")),
                                   FSandbox.Path(QStringLiteral("state/Velmora/InstallLog.log"))}) {
            QFile file(log);
            if (file.open(QIODevice::ReadOnly))
                text += QString::fromUtf8(file.readAll());
        }
        return text;
    }

    // Every file below the install folder with its bytes.
    QHash<QString, QByteArray> InstalledFiles() const {
        QHash<QString, QByteArray> files;
        QDirIterator it(FInstallTo, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (file.open(QIODevice::ReadOnly))
                files.insert(file.fileName(), file.readAll());
        }
        return files;
    }

    QString Opened() const {
        QFile file(FSandbox.Path(QStringLiteral("home/opened.txt")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    TVirtualDisplay FDisplay;
    TDesktopDriver FDesktop{FDisplay};
    TRealProcessSandbox FSandbox;
    QString FSetupCli;
    QString FInstallTo;
    QProcess FSetup;
};

TEST_F(InstallerMainEndToEndTest, CustomInstallIntoATypedPathThenRunTheProduct) {
    const QString window = InstallThroughTheWizard(QStringLiteral(VELMORA_SETUP_PROGRAM));
    // The record is written last; the finished page follows at once. A click that comes too
    // early lands on the installing page, which ignores it.
    ASSERT_TRUE(WaitUntil([&] { return !Record().isEmpty(); }, 60000))
        << "no install record; the install log says: " << InstallLogs().toStdString();
    ASSERT_TRUE(WaitUntil(
        [&] {
            FDesktop.Click(window, KFinishButton);
            return FSetup.waitForFinished(300);
        },
        30000))
        << "the finish button did not end the wizard";
    EXPECT_EQ(FSetup.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(FSetup.exitCode(), 0);

    // The product folder below the typed path holds the payload, byte for byte.
    QFile archive(QStringLiteral(PAYLOAD_ARCHIVE));
    ASSERT_TRUE(archive.open(QIODevice::ReadOnly));
    const std::optional<TPayloadImage> payload = LoadPayload(archive);
    ASSERT_TRUE(payload.has_value());
    ASSERT_FALSE(payload->Entries.empty());
    for (const TPayloadEntry& entry : payload->Entries) {
        QFile file(FInstallTo + u'/' + entry.Components.join(u'/'));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        EXPECT_EQ(file.readAll(), payload->Image.mid(entry.DataOffset, entry.DataSize))
            << file.fileName().toStdString();
    }
    EXPECT_TRUE(QFileInfo(Product()).isExecutable());
    EXPECT_TRUE(QFileInfo::exists(FInstallTo + QStringLiteral("/Velmora/Uninstall.exe")));
    EXPECT_FALSE(QFileInfo::exists(FSandbox.Path(QStringLiteral("home/.local/opt/Norvane"))))
        << "the default path was used instead of the typed one";

    // The record names the typed path and the entries on the desktop and in the menu, which
    // start the installed product.
    const QHash<QString, QString> record = Record();
    const auto value = [&record](const char* AName) {
        return record.value(QString::fromLatin1(AName)).toStdString();
    };
    // The install folder: the one that holds the product folder.
    EXPECT_EQ(value("InstallLocation"), (FInstallTo + u'/').toStdString());
    EXPECT_EQ(value("DisplayName"), InstallerSettings().DisplayName.toStdString());
    EXPECT_EQ(value("IsCreateDeskTopShortCut"), "1");
    EXPECT_EQ(value("IsCreateProgramsShortCut"), "1");
    const QString desktopEntry = record.value(QStringLiteral("ShortcutFileName"));
    const QString menuEntry = record.value(QStringLiteral("ProgramsStartUpFileName"));
    const QString uninstallEntry = record.value(QStringLiteral("ProgramsStartUpUnInstallFileName"));
    EXPECT_TRUE(desktopEntry.startsWith(FSandbox.Path(QStringLiteral("home/Desktop/"))))
        << desktopEntry.toStdString();
    EXPECT_TRUE(menuEntry.startsWith(FSandbox.Path(QStringLiteral("data/applications/"))))
        << menuEntry.toStdString();
    EXPECT_TRUE(uninstallEntry.startsWith(FSandbox.Path(QStringLiteral("data/applications/"))))
        << uninstallEntry.toStdString();
    for (const QString& entry : {desktopEntry, menuEntry}) {
        QFile file(entry);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << entry.toStdString();
        EXPECT_TRUE(QString::fromUtf8(file.readAll()).contains(Product())) << entry.toStdString();
    }

    EXPECT_EQ(InstallLogs().toStdString(), "");

    // "Run now" started the product as the user, then the web address went to the opener.
    QList<TProductProcess> products;
    ASSERT_TRUE(WaitUntil([&] { return !(products = ProcessesOf(Product())).isEmpty(); }))
        << "the product was not started";
    ASSERT_EQ(products.size(), 1);
    EXPECT_EQ(products.front().Uid, TRealProcessSandbox::User());
    EXPECT_TRUE(WaitUntil([&] { return !Opened().isEmpty(); }));
    EXPECT_EQ(Opened().trimmed().toStdString(), InstallerSettings().WebAddress.toStdString());
    ::kill(products.front().Pid, SIGTERM);
    EXPECT_TRUE(WaitUntil([&] { return ProcessesOf(Product()).isEmpty(); }, 10000));
}

TEST_F(InstallerMainEndToEndTest, APayloadThatDoesNotInflateFailsAndLeavesThePreviousInstall) {
    // A helper an earlier test left for a display of the same number is not this wizard's.
    const QStringList busHelpersBefore =
        HelpersOnDisplay({u"dbus-daemon"_qs, u"dbus-launch"_qs}, FDisplay.Name());
    // A working install of the same version, made by the same sequence without a window.
    QProcess previous;
    FSandbox.Start(
        previous, FSetupCli, QStringLiteral("offscreen"), QString(),
        {QStringLiteral("install"),
         FSandbox.Install(QStringLiteral(PAYLOAD_ARCHIVE), QStringLiteral("payload.bin")),
         FInstallTo});
    ASSERT_TRUE(previous.waitForFinished(60000));
    ASSERT_EQ(previous.exitCode(), 0);
    const QHash<QString, QString> record = Record();
    ASSERT_FALSE(record.isEmpty());
    const QHash<QString, QByteArray> files = InstalledFiles();
    ASSERT_TRUE(files.contains(Product()));

    const QString window = InstallThroughTheWizard(QStringLiteral(VELMORA_SETUP_DAMAGED_PROGRAM));
    const QString box = FDesktop.WaitForWindow(FSetup, KErrorBox);
    ASSERT_FALSE(box.isEmpty()) << "no error box; the install log says: "
                                << InstallLogs().toStdString();
    FDesktop.Xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), box});
    FDesktop.Keys(QStringLiteral("Return"));
    ASSERT_TRUE(WaitUntil([&] { return !FDesktop.FindWindow(FSetup, KErrorBox); }))
        << "the error box did not close";

    // The finished page says the install failed; its finish button ends the wizard without
    // starting anything.
    ASSERT_TRUE(WaitUntil(
        [&] {
            FDesktop.Click(window, KFinishButton);
            return FSetup.waitForFinished(300);
        },
        30000))
        << "the finish button did not end the failed wizard";
    EXPECT_EQ(FSetup.exitCode(), 0);
    // Without a session bus the wizard started none of its own through the display.
    QStringList started = HelpersOnDisplay({u"dbus-daemon"_qs, u"dbus-launch"_qs}, FDisplay.Name());
    for (const QString& helper : busHelpersBefore)
        started.removeAll(helper);
    EXPECT_EQ(started.join(u", "_qs).toStdString(), "");

    EXPECT_TRUE(ProcessesOf(Product()).isEmpty()) << "the product was started";
    EXPECT_EQ(Opened().toStdString(), "");
    EXPECT_TRUE(InstallLogs().contains(u"ZDecompressStream:提取安装包出错!"_qs))
        << InstallLogs().toStdString();
    // The previous install is untouched: its files, byte for byte, and its record.
    EXPECT_EQ(InstalledFiles(), files);
    EXPECT_EQ(Record(), record);
    EXPECT_TRUE(QFileInfo::exists(record.value(QStringLiteral("ShortcutFileName"))));
}

} // namespace
