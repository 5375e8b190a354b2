#include "installer/InstallSequence.h"

#include "installer/InstallPlan.h"
#include "installer/InstallRecord.h"
#include "installer/Uninstaller.h"
#include "platform/system/LogFile.h"
#include "platform/system/PlatformServices.h"
#include "tests/support/PayloadImageBuilder.h"
#include "tests/support/TestSupport.h"

#include <QBuffer>
#include <QDate>
#include <QDirIterator>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace velmora;
using velmora::test::ReadFile;
using velmora::test::ReadTree;
using velmora::test::TImageBuilder;
using velmora::test::WriteFile;

namespace {

class TRecordingDisplay : public IProgressDisplay {
public:
    QStringList Texts;
    QStringList Ranges;
    int Position = -1;
    void SetStatusText(const QString& text) override { Texts << text; }
    void SetProgressRange(int minimum, int maximum) override {
        Ranges << QStringLiteral("%1..%2").arg(minimum).arg(maximum);
    }
    void SetProgressPosition(int position) override { Position = position; }
};

TImageBuilder Release(const QByteArray& version) {
    TImageBuilder release;
    release.Add("Velmora\\Corvex.exe", "#!/bin/sh\necho " + version + "\n")
        .Add("Velmora\\Uninstall.exe", "#!/bin/sh\n")
        .Add("Velmora\\Corvex.png", "\x89PNG")
        .Add("Velmora\\Config\\LogedinUsers.XML", "<LogedinUsers/>")
        .Add("Velmora\\Users\\default\\profile.ini", "[Profile]")
        .Add("Velmora\\readme.txt", version);
    return release;
}

class InstallSequenceTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        FillInstallerSettings();
        SetLogFolders(FRoot.filePath(u"log"_qs), FRoot.filePath(u"log"_qs));
        QDir().mkpath(FRoot.filePath(u"log"_qs));
        FServices =
            std::make_unique<TPlatformServices>(TSystemRoots::Below(FRoot.path()), QString());
    }
    void TearDown() override { SetLogFolders({}, {}); }

    // One install run, as the wizard makes it: a fresh install state each time.
    bool Install(const QString& pathText, const QByteArray& archive) {
        FState = TInstallState{};
        FDisplay = TRecordingDisplay{};
        FErrors.clear();
        TInstallSequence sequence(*FServices, InstallerSettings(), FState,
                                  [this](const QString& text, const QString& caption) {
                                      FErrors << caption + u'|' + text;
                                  });
        QBuffer buffer;
        buffer.setData(archive);
        buffer.open(QIODevice::ReadOnly);
        sequence.InstallSoftware(pathText, FDisplay, buffer);
        return sequence.InstallSuccess();
    }
    QString Key() const { return UninstallRecordKey(InstallerSettings()); }
    QString Value(const QString& name) const {
        return FServices->Registry().ReadString(Key(), name);
    }
    QString Apps() const { return FRoot.filePath(u"Apps"_qs); }

    QTemporaryDir FRoot;
    std::unique_ptr<TPlatformServices> FServices;
    TInstallState FState;
    TRecordingDisplay FDisplay;
    QStringList FErrors;
};

TEST_F(InstallSequenceTest, FreshInstallWritesFilesShortcutsAndTheSixteenValuesInOrder) {
    ASSERT_TRUE(Install(Apps(), Release("3.0").Archive()));
    const QString product = Apps() + u"/Velmora/"_qs;
    EXPECT_EQ(FState.InstallFolder, Apps() + u'/');
    EXPECT_EQ(FState.ProductFolder, product);
    EXPECT_EQ(ReadFile(product + u"readme.txt"_qs), "3.0");

    const TSystemRoots& roots = FServices->Roots();
    EXPECT_EQ(FState.ShortcutFileName, roots.Desktop + u"/Velmora3.0.desktop"_qs);
    EXPECT_EQ(FState.ProgramsStartUpFileName,
              roots.UserProgramsMenu + u"/Velmora3.0/Velmora3.0.desktop"_qs);
    EXPECT_EQ(FState.ProgramsStartUpUnInstallFileName,
              roots.UserProgramsMenu + u"/Velmora3.0/卸载Velmora3.0.desktop"_qs);
    for (const QString& link : {FState.ShortcutFileName, FState.ProgramsStartUpFileName})
        EXPECT_TRUE(ReadFile(link).contains(QFile::encodeName(product + u"Corvex.exe"_qs)))
            << link.toStdString();
    // Every shortcut shows the product's icon; the uninstaller's says what it does.
    for (const QString& link : {FState.ShortcutFileName, FState.ProgramsStartUpFileName,
                                FState.ProgramsStartUpUnInstallFileName})
        EXPECT_TRUE(ReadFile(link).contains(
            QFile::encodeName(u"\nIcon="_qs + product + u"Corvex.png\n"_qs)))
            << link.toStdString();
    EXPECT_TRUE(ReadFile(FState.ProgramsStartUpUnInstallFileName)
                    .contains(u"\nComment=卸载 Velmora V3.0\n"_qs.toUtf8()));

    EXPECT_EQ(FServices->Registry().ValueNames(Key()), InstallRecordValueNames());
    EXPECT_EQ(Value(u"InstallLocation"_qs), Apps() + u'/');
    EXPECT_EQ(Value(u"DisplayIcon"_qs), product + u"Corvex.exe"_qs);
    EXPECT_EQ(Value(u"UninstallString"_qs), product + u"Uninstall.exe"_qs);
    EXPECT_EQ(Value(u"HelpLink"_qs), InstallerSettings().WebAddress);
    EXPECT_EQ(Value(u"InstallDate"_qs), QDate::currentDate().toString(u"yyyyMMdd"_qs));
    EXPECT_EQ(Value(u"ProgramsStartupUnInstallFileName"_qs),
              FState.ProgramsStartUpUnInstallFileName);
    const TSqliteRegistryStore& store = FServices->Registry();
    EXPECT_EQ(store.ReadInteger(Key(), u"IsSetStartPage"_qs), 0);
    EXPECT_EQ(store.ReadInteger(Key(), u"IsCreateDeskTopShortCut"_qs), 1);
    EXPECT_EQ(store.ReadInteger(Key(), u"IsCreateProgramsShortCut"_qs), 1);
    EXPECT_EQ(store.ReadInteger(Key(), u"IsAutoRun"_qs), 0);

    // No previous copy: the bar's first range is the extraction's, and statuses keep order.
    EXPECT_EQ(FDisplay.Ranges, QStringList{u"0..6"_qs});
    EXPECT_EQ(FDisplay.Position, 6);
    EXPECT_EQ(FDisplay.Texts.first(), u"正在复制文件..."_qs);
    EXPECT_EQ(FDisplay.Texts.mid(FDisplay.Texts.size() - 3),
              (QStringList{u"正在创建快捷方式..."_qs, u"正在创建快速启动栏..."_qs,
                           u"正在注册安装信息..."_qs}));
    EXPECT_TRUE(FErrors.isEmpty());
}

TEST_F(InstallSequenceTest, ReinstallRemovesThePreviousCopyButKeepsUserData) {
    ASSERT_TRUE(Install(Apps(), Release("3.0").Add("Velmora\\Plugins\\old.dll", "old").Archive()));
    const QString product = Apps() + u"/Velmora/"_qs;
    WriteFile(product + u"Users/me/history.db"_qs, "mine");
    WriteFile(product + u"Config/LogedinUsers.XML"_qs, "<LogedinUsers><u>li</u></LogedinUsers>");

    ASSERT_TRUE(Install(Apps(), Release("3.0.1").Archive()));
    EXPECT_TRUE(FState.PreviousVersionFound);
    // The new files are written first; the previous version is replaced once they all are.
    EXPECT_EQ(FDisplay.Texts.first(), u"正在复制文件..."_qs);
    EXPECT_EQ(FDisplay.Texts.indexOf(u"正在卸载已安装版本..."_qs),
              FDisplay.Texts.lastIndexOf(u"正在复制文件: Velmora/readme.txt"_qs) + 1);
    EXPECT_EQ(FDisplay.Ranges, (QStringList{u"0..6"_qs, u"0..100"_qs}));
    EXPECT_FALSE(QFileInfo::exists(product + u"Plugins/old.dll"_qs));
    EXPECT_EQ(ReadFile(product + u"readme.txt"_qs), "3.0.1");
    EXPECT_EQ(ReadFile(product + u"Users/me/history.db"_qs), "mine");
    EXPECT_EQ(ReadFile(product + u"Config/LogedinUsers.XML"_qs),
              "<LogedinUsers><u>li</u></LogedinUsers>");
    EXPECT_TRUE(QFileInfo::exists(FState.ShortcutFileName));
    EXPECT_EQ(FServices->Registry().ValueNames(Key()).size(), 16);
}

// Files are staged while the payload still inflates, so a stream that fails later has
// already had files written for it: none of them may survive, nor anything made for them.
TEST_F(InstallSequenceTest, APayloadThatFailsWhileItsFilesAreStagedLeavesEverythingAsItWas) {
    ASSERT_TRUE(Install(Apps(), Release("3.0").Archive()));
    const QString link = FState.ShortcutFileName;
    QByteArray big(256 << 10, '\0');
    for (qsizetype i = 0; i < big.size(); ++i)
        big[i] = char((i * 7919) ^ (i >> 9)); // poorly compressible, so it spans the stream
    const QByteArray good = Release("3.1").Add("Velmora\\Data\\big.bin", big).Archive();
    QByteArray badChecksum = good;
    badChecksum[badChecksum.size() - 1] = char(badChecksum.back() ^ 0x55);
    const struct {
        const char* Name;
        QByteArray Archive;
    } cases[] = {
        {"cut inside the large file", good.left(good.size() / 2)},
        {"cut before the checksum", good.left(good.size() - 3)},
        {"a wrong checksum", badChecksum},
        {"bytes after the end", good + QByteArray(64, 'x')},
    };
    const QString fresh = FRoot.filePath(u"New/Levels"_qs);
    const QString storeFolder = QFileInfo(FServices->Roots().RegistryStoreFile).absolutePath();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        QFile::remove(FRoot.filePath(u"log/InstallLog.log"_qs));
        const auto before = ReadTree(Apps());
        const auto storeBefore = ReadTree(storeFolder);

        EXPECT_FALSE(Install(Apps(), c.Archive));
        EXPECT_EQ(FErrors, QStringList{u"提示|拷贝安装文件失败,安装程序将退出！"_qs});
        EXPECT_FALSE(FDisplay.Texts.contains(u"正在卸载已安装版本..."_qs));
        EXPECT_EQ(ReadTree(Apps()), before);           // no staged or temporary file left either
        EXPECT_EQ(ReadTree(storeFolder), storeBefore); // the record, and no journal
        EXPECT_TRUE(QFileInfo::exists(link));
        EXPECT_EQ(Value(u"InstallLocation"_qs), Apps() + u'/');
        const QByteArray log = ReadFile(FRoot.filePath(u"log/InstallLog.log"_qs));
        EXPECT_TRUE(log.contains("ZDecompressStream")) << log.constData();
        EXPECT_FALSE(log.contains("CopyInstallFiles")) << log.constData();

        // A fresh install folder made for the files goes again with them.
        EXPECT_FALSE(Install(fresh, c.Archive));
        EXPECT_FALSE(QFileInfo::exists(FRoot.filePath(u"New"_qs)));
        EXPECT_EQ(Value(u"InstallLocation"_qs), Apps() + u'/');
    }
    EXPECT_TRUE(Install(Apps(), good)); // and the sound one installs over all of that
    EXPECT_EQ(ReadFile(Apps() + u"/Velmora/Data/big.bin"_qs), big);
}

TEST_F(InstallSequenceTest, InstallThenUninstallLeavesOnlyUserDataAndNoRecord) {
    ASSERT_TRUE(Install(Apps(), Release("3.0").Archive()));
    const QStringList links = {FState.ShortcutFileName, FState.ProgramsStartUpFileName,
                               FState.ProgramsStartUpUnInstallFileName};

    TInstallState state;
    const TUninstallOutcome outcome = UninstallProduct(*FServices, InstallerSettings(), state);
    EXPECT_TRUE(outcome.Found);
    EXPECT_TRUE(outcome.RecordRemoved);
    EXPECT_TRUE(outcome.ErrorSummary.isEmpty()) << outcome.ErrorSummary.toStdString();
    EXPECT_TRUE(outcome.FilesLeft.isEmpty()) << outcome.FilesLeft.join(u' ').toStdString();
    EXPECT_TRUE(UninstallComplete(outcome));
    EXPECT_EQ(outcome.RemovedLinks, links);
    EXPECT_EQ(ReadTree(Apps()),
              (QMap<QString, QByteArray>{{u"Velmora/Config/LogedinUsers.XML"_qs, "<LogedinUsers/>"},
                                         {u"Velmora/Users/default/profile.ini"_qs, "[Profile]"}}));
    for (const QString& link : links)
        EXPECT_FALSE(QFileInfo::exists(link));
    EXPECT_FALSE(QFileInfo::exists(FServices->Roots().UserProgramsMenu + u"/Velmora3.0"_qs));
    EXPECT_FALSE(FServices->Registry().KeyExists(Key()));
    EXPECT_TRUE(DescribeUninstall(outcome, InstallerSettings()).contains(u"已保留用户数据"_qs));

    TInstallState again;
    EXPECT_FALSE(UninstallProduct(*FServices, InstallerSettings(), again).Found);
}

TEST_F(InstallSequenceTest, UninstallSaysSoWhenProductFilesCouldNotBeRemoved) {
    // Installed through a link: removal never follows links, so the files stay, and the
    // report must not claim they were deleted.
    QDir().mkpath(FRoot.filePath(u"real"_qs));
    ASSERT_TRUE(QFile::link(FRoot.filePath(u"real"_qs), FRoot.filePath(u"via-link"_qs)));
    ASSERT_TRUE(Install(FRoot.filePath(u"via-link"_qs), Release("3.0").Archive()));

    TInstallState state;
    const TUninstallOutcome outcome = UninstallProduct(*FServices, InstallerSettings(), state);
    EXPECT_TRUE(outcome.Found);
    EXPECT_FALSE(outcome.FilesLeft.isEmpty());
    EXPECT_FALSE(UninstallComplete(outcome));
    const QString report = DescribeUninstall(outcome, InstallerSettings());
    EXPECT_TRUE(report.contains(u"程序文件未能删除"_qs)) << report.toStdString();
    EXPECT_FALSE(report.contains(u"已删除程序文件"_qs));
    EXPECT_TRUE(QFileInfo::exists(FRoot.filePath(u"real/Velmora/Corvex.exe"_qs)));
}

// What the pre-flight check finds for installFolder, seen by an unprivileged user.
QString PreflightAsNobody(const QByteArray& archive, const QString& installFolder) {
    QBuffer buffer;
    buffer.setData(archive);
    buffer.open(QIODevice::ReadOnly);
    const std::optional<TPayloadImage> payload = LoadPayload(buffer);
    int channel[2];
    if (!payload || ::pipe(channel) != 0)
        return u"no payload"_qs;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        QByteArray answer = "none";
        if (::setgid(65534) == 0 && ::setuid(65534) == 0) {
            TInstallPlan plan;
            const auto problem =
                PlanInstall(payload->Entries, installFolder, u"Velmora"_qs, {}, u"/tmp"_qs, plan);
            answer = problem ? (problem->Path + u": "_qs + problem->Reason).toUtf8() : "none";
        }
        const bool told =
            ::write(channel[1], answer.constData(), static_cast<size_t>(answer.size())) > 0;
        ::_exit(told ? 0 : 1);
    }
    ::close(channel[1]);
    QByteArray answer;
    char part[512];
    for (ssize_t n; (n = ::read(channel[0], part, sizeof(part))) > 0;)
        answer.append(part, n);
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    return QString::fromUtf8(answer);
}

TEST_F(InstallSequenceTest, PreflightRefusesBeforeTheRemovalAndNamesThePath) {
    const QString outside = FRoot.filePath(u"outside"_qs);
    WriteFile(outside + u"/moved/history.db"_qs, "mine");
    const struct {
        const char* Path; // below the product folder
        const char* Reason;
        std::function<void(const QString& path)> Plant;
    } cases[] = {
        {"Users", "symbolic link where a folder must go",
         [&](const QString& path) {
             QDir(path).removeRecursively();
             QFile::link(outside + u"/moved"_qs, path);
         }},
        {"Users/default", "file where a folder must go",
         [](const QString& path) {
             QDir(path).removeRecursively();
             WriteFile(path, "a file");
         }},
        // The user's own folder where the new version puts a file: never deleted for it.
        {"readme.txt", "folder where a file must go",
         [](const QString& path) {
             QFile::remove(path);
             WriteFile(path + u"/mine.txt"_qs, "x");
         }},
    };
    int round = 0;
    for (const auto& planted : cases) {
        SCOPED_TRACE(planted.Reason);
        const QString apps = Apps() + QString::number(++round);
        ASSERT_TRUE(Install(apps, Release("3.0").Archive()));
        const QString path = apps + u"/Velmora/"_qs + QLatin1String(planted.Path);
        planted.Plant(path);
        QFile::remove(FRoot.filePath(u"log/InstallLog.log"_qs));
        const auto before = ReadTree(apps);

        EXPECT_FALSE(Install(apps, Release("3.1").Archive()));
        EXPECT_EQ(FErrors, QStringList{u"提示|拷贝安装文件失败,安装程序将退出！\n"_qs + path +
                                       u": "_qs + QLatin1String(planted.Reason)});
        const QString log = QString::fromUtf8(ReadFile(FRoot.filePath(u"log/InstallLog.log"_qs)));
        EXPECT_TRUE(log.endsWith(u"  CopyInstallFiles:安装目录检查失败\r\n"_qs + path + u": "_qs +
                                 QLatin1String(planted.Reason) + u"\r\n"_qs))
            << log.toStdString();
        EXPECT_EQ(log.count(u"  "_qs), 1) << log.toStdString();
        EXPECT_FALSE(FDisplay.Texts.contains(u"正在卸载已安装版本..."_qs));
        EXPECT_EQ(ReadTree(apps), before);
        EXPECT_EQ(Value(u"InstallLocation"_qs), apps + u'/');
    }
    EXPECT_EQ(ReadTree(outside), (QMap<QString, QByteArray>{{u"moved/history.db"_qs, "mine"}}));

    // An installation of another user, seen by a user who may write all of it but Config.
    if (::geteuid() == 0) {
        ASSERT_TRUE(Install(Apps() + u"-shared"_qs, Release("3.0").Archive()));
        const QString product = Apps() + u"-shared/Velmora"_qs;
        const QString locked = product + u"/Config"_qs;
        QFile::remove(locked + u"/LogedinUsers.XML"_qs);
        // Only the folders this test made: the temporary folder's own ancestors (/tmp) are
        // the machine's, and other programs rely on their modes.
        for (QString folder = product; folder.startsWith(FRoot.path());
             folder = QFileInfo(folder).path())
            ::chmod(QFile::encodeName(folder).constData(), 0755);
        QDirIterator it(product, QDir::AllEntries | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        for (QString path = product; !path.isEmpty(); path = it.hasNext() ? it.next() : QString()) {
            if (path == locked)
                continue;
            ASSERT_EQ(::lchown(QFile::encodeName(path).constData(), 65534, 65534), 0);
        }
        ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner |
                                                      QFile::ReadOther | QFile::ExeOther));
        EXPECT_EQ(
            PreflightAsNobody(Release("3.1").Archive(), Apps() + u"-shared/"_qs).toStdString(),
            (locked + u": folder is not writable"_qs).toStdString());
    }
}

TEST_F(InstallSequenceTest, WhatTheRemovalClearsAwayIsNoObstacle) {
    QTemporaryDir outside;
    WriteFile(outside.filePath(u"keep.txt"_qs), "outside");
    ASSERT_TRUE(Install(Apps(), Release("3.0")
                                    .Add("Velmora\\plugins", "a file")
                                    .Add("Velmora\\docs\\old.txt", "old")
                                    .Archive()));
    ASSERT_TRUE(QFile::link(outside.path(), Apps() + u"/Velmora/lib"_qs));
    WriteFile(Apps() + u"/Velmora/Users/me/history.db"_qs, "mine");

    ASSERT_TRUE(Install(Apps(), Release("3.1")
                                    .Add("Velmora\\plugins\\a.dll", "dll")
                                    .Add("Velmora\\docs", "now a file")
                                    .Add("Velmora\\lib\\core.so", "core")
                                    .Archive()))
        << ReadFile(FRoot.filePath(u"log/InstallLog.log"_qs)).toStdString();
    EXPECT_EQ(ReadFile(Apps() + u"/Velmora/plugins/a.dll"_qs), "dll");
    EXPECT_EQ(ReadFile(Apps() + u"/Velmora/docs"_qs), "now a file");
    EXPECT_EQ(ReadFile(Apps() + u"/Velmora/lib/core.so"_qs), "core");
    EXPECT_EQ(ReadFile(Apps() + u"/Velmora/Users/me/history.db"_qs), "mine");
    EXPECT_EQ(ReadTree(outside.path()), (QMap<QString, QByteArray>{{u"keep.txt"_qs, "outside"}}));
}

TEST_F(InstallSequenceTest, RegistrationToolThatCannotStartIsLoggedAndTheInstallGoesOn) {
    // Found on the search path, but not a program the system can start.
    const QString bin = FRoot.filePath(u"bin"_qs);
    WriteFile(bin + u"/regsvr32"_qs, "not a program\n");
    ASSERT_TRUE(QFile::setPermissions(bin + u"/regsvr32"_qs,
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    FServices = std::make_unique<TPlatformServices>(TSystemRoots::Below(FRoot.path()), bin);

    ASSERT_TRUE(Install(Apps(), Release("3.0").Archive()));
    EXPECT_TRUE(QFileInfo::exists(FState.ShortcutFileName));
    EXPECT_TRUE(QFileInfo::exists(FState.ProgramsStartUpUnInstallFileName));
    EXPECT_EQ(FServices->Registry().ValueNames(Key()).size(), 16);
    EXPECT_TRUE(FErrors.isEmpty());
    const QString log = QString::fromUtf8(ReadFile(FRoot.filePath(u"log/InstallLog.log"_qs)));
    EXPECT_EQ(log.count(u"  RegisterComFiles:注册库\r\nCannot start "_qs), 2) << log.toStdString();
}

TEST_F(InstallSequenceTest, RelativePathTextIsTakenFromTheWorkingFolder) {
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(FRoot.path()));
    const bool installed = Install(u"rel/./apps"_qs, Release("3.0").Archive());
    QDir::setCurrent(before);
    ASSERT_TRUE(installed);
    const QString folder = QDir(FRoot.path()).canonicalPath() + u"/rel/apps/"_qs;
    EXPECT_EQ(FState.InstallFolder, folder);
    EXPECT_EQ(Value(u"InstallLocation"_qs), folder);
    EXPECT_EQ(Value(u"DisplayIcon"_qs), folder + u"Velmora/Corvex.exe"_qs);
    EXPECT_TRUE(ReadFile(FState.ShortcutFileName).contains(QFile::encodeName(folder)));
}

TEST_F(InstallSequenceTest, ShortPathTextInstallsBelowProgramFilesAndPublisherFolder) {
    ASSERT_TRUE(Install(u"C:"_qs, Release("3.0").Archive()));
    EXPECT_EQ(FState.InstallFolder, FServices->Roots().ProgramFiles + u"/Norvane/"_qs);
    EXPECT_TRUE(QFileInfo::exists(FState.ProductFolder + u"Corvex.exe"_qs));

    EXPECT_EQ(TInstallSequence::InstallFolderFor(u""_qs, u"/opt"_qs, u"Norvane"_qs),
              u"/opt/Norvane/"_qs);
    EXPECT_EQ(TInstallSequence::InstallFolderFor(u"/srv/apps"_qs, u"/opt"_qs, u"Norvane"_qs),
              u"/srv/apps/"_qs);
    EXPECT_EQ(TInstallSequence::InstallFolderFor(u"/srv/"_qs, u"/opt/"_qs, u"Norvane"_qs),
              u"/srv/"_qs);
}

TEST_F(InstallSequenceTest, MissingProductProgramStillSucceedsWithoutADesktopShortcut) {
    ASSERT_TRUE(Install(Apps(), TImageBuilder().Add("Velmora\\readme.txt", "x").Archive()));
    EXPECT_TRUE(FState.ShortcutFileName.isEmpty());
    EXPECT_TRUE(Value(u"ShortcutFileName"_qs).isEmpty());
    EXPECT_TRUE(ReadTree(FServices->Roots().Desktop).isEmpty());
}

} // namespace
