#include "platform/system/SqliteRegistryStore.h"
#include "tests/support/Sandbox.h"

#include <sqlite3.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

const QString kNoRights = u"当前用户没有读写注册表的权限\r\n"_qs;

class InstallRecordTest : public SandboxTest {
protected:
    QString Key() const { return UninstallRecordKey(FSettings); }

    void FillState() {
        FState.InstallFolder = QStringLiteral("/opt/Norvane/");
        FState.ProductFolder = QStringLiteral("/opt/Norvane/Velmora/");
        FState.ShortcutFileName = QStringLiteral("/d/Velmora3.0.desktop");
        FState.ProgramsStartUpFileName = QStringLiteral("/m/Velmora3.0/Velmora3.0.desktop");
        FState.ProgramsStartUpUnInstallFileName = u"/m/Velmora3.0/卸载Velmora3.0.desktop"_qs;
        FState.IsCreateDeskTopShortCut = true;
        FState.IsCreateProgramsShortCut = true;
    }
};

} // namespace

TEST_F(InstallRecordTest, RecordIsWrittenWithSixteenValuesInOrder) {
    FillState();
    FRecord.RegisterSoftwareInfoToRegistry();
    IRegistryStore& store = FServices.Registry();
    EXPECT_EQ(Key(), u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora3.0"_qs);
    EXPECT_EQ(store.ValueNames(Key()), InstallRecordValueNames());
    EXPECT_EQ(InstallRecordValueNames().size(), 16);
    EXPECT_EQ(store.ReadString(Key(), QStringLiteral("InstallLocation")), FState.InstallFolder);
    EXPECT_EQ(store.ReadString(Key(), QStringLiteral("DisplayName")),
              QStringLiteral("Velmora V3.0"));
    EXPECT_EQ(store.ReadString(Key(), QStringLiteral("DisplayIcon")),
              QStringLiteral("/opt/Norvane/Velmora/Corvex.exe"));
    EXPECT_EQ(store.ReadString(Key(), QStringLiteral("UninstallString")),
              QStringLiteral("/opt/Norvane/Velmora/Uninstall.exe"));
    EXPECT_EQ(store.ReadString(Key(), QStringLiteral("Publisher")), FSettings.Publisher);
    for (const char* name : {"URLInfoAbout", "HelpLink", "URLUpdateInfo"})
        EXPECT_EQ(store.ReadString(Key(), QString::fromLatin1(name)), FSettings.WebAddress);
    EXPECT_EQ(store.ReadString(Key(), QStringLiteral("InstallDate")),
              FormatInstallDate(QDate::currentDate()));
    EXPECT_EQ(store.ReadInteger(Key(), QStringLiteral("IsSetStartPage")), 0);
    EXPECT_EQ(store.ReadInteger(Key(), QStringLiteral("IsCreateDeskTopShortCut")), 1);
    EXPECT_EQ(store.ReadInteger(Key(), QStringLiteral("IsCreateProgramsShortCut")), 1);
    EXPECT_EQ(store.ReadInteger(Key(), QStringLiteral("IsAutoRun")), 0);
    EXPECT_TRUE(Log().isEmpty());
}

// The store refuses the named value from now on, as a full disk or a killed writer would
// stop the write part-way.
void FailWritesOf(const QString& storeFile, const char* valueName) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(storeFile).constData(), &db), SQLITE_OK);
    const QByteArray sql = QByteArray("CREATE TRIGGER fail_write BEFORE INSERT ON registry_values "
                                      "WHEN NEW.name = '") +
                           valueName + "' BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END";
    EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

TEST_F(InstallRecordTest, ARecordThatCannotBeWrittenWholeIsNotWrittenAtAll) {
    for (const char* failing : {"InstallLocation", "ShortcutFileName", "IsAutoRun"}) {
        SCOPED_TRACE(failing);
        QTemporaryDir dir;
        const QString storeFile = dir.filePath(QStringLiteral("store.sqlite3"));
        { TSqliteRegistryStore store(storeFile, QStringLiteral("/opt")); }
        FailWritesOf(storeFile, failing);
        TSqliteRegistryStore store(storeFile, QStringLiteral("/opt"));
        TInstallRecord record(store, FSettings, FState);
        FillState();
        record.RegisterSoftwareInfoToRegistry();
        EXPECT_FALSE(store.KeyExists(Key()));
        EXPECT_FALSE(record.CheckIsHasLastVer());
    }
    EXPECT_EQ(Log().count(u"RegisterSoftwareInfoToRegistry:将软件安装信息写入注册表\r\n"_qs), 3);
}

TEST_F(InstallRecordTest, InstallDateIsEightDigits) {
    EXPECT_EQ(FormatInstallDate(QDate(2013, 3, 5)), QStringLiteral("20130305"));
    EXPECT_EQ(FormatInstallDate(QDate(1999, 12, 31)), QStringLiteral("19991231"));
}

TEST_F(InstallRecordTest, RecordReadsBackDespiteLetterCase) {
    FillState();
    FRecord.RegisterSoftwareInfoToRegistry();
    TInstallState later;
    TInstallRecord reader(FServices.Registry(), FSettings, later);
    EXPECT_TRUE(reader.CheckIsHasLastVer());
    EXPECT_TRUE(later.PreviousVersionFound);
    reader.ReadSoftwareInstallInfoFromRegistry();
    const TPreviousInstallRecord& r = later.PreviousRecord;
    EXPECT_EQ(r.InstallLocation, FState.InstallFolder);
    EXPECT_EQ(r.DisplayIcon, QStringLiteral("/opt/Norvane/Velmora/Corvex.exe"));
    EXPECT_EQ(r.UninstallString, QStringLiteral("/opt/Norvane/Velmora/Uninstall.exe"));
    EXPECT_EQ(r.URLUpdateInfo, FSettings.WebAddress);
    EXPECT_EQ(r.ShortcutFileName, FState.ShortcutFileName);
    EXPECT_EQ(r.ProgramsStartUpFileName, FState.ProgramsStartUpFileName);
    EXPECT_EQ(r.ProgramsStartUpUnInstallFileName, FState.ProgramsStartUpUnInstallFileName);
    EXPECT_FALSE(r.IsSetStartPage);
    EXPECT_TRUE(r.IsCreateDeskTopShortCut);
    EXPECT_TRUE(r.IsCreateProgramsShortCut);
    EXPECT_FALSE(r.IsAutoRun);
    EXPECT_TRUE(Log().isEmpty());
}

TEST_F(InstallRecordTest, AnyNonZeroFlagReadsTrueAndMissingValuesStayEmpty) {
    IRegistryStore& store = FServices.Registry();
    store.WriteInteger(Key(), QStringLiteral("isautorun"), -3);
    store.WriteString(Key(), QStringLiteral("INSTALLLOCATION"), QStringLiteral("/x/"));
    FState.PreviousRecord.DisplayName = QStringLiteral("stale");
    FRecord.ReadSoftwareInstallInfoFromRegistry();
    EXPECT_TRUE(FState.PreviousRecord.IsAutoRun);
    EXPECT_EQ(FState.PreviousRecord.InstallLocation, QStringLiteral("/x/"));
    EXPECT_TRUE(FState.PreviousRecord.DisplayName.isEmpty());
    EXPECT_FALSE(FState.PreviousRecord.IsCreateDeskTopShortCut);
}

TEST_F(InstallRecordTest, NonIntegerFlagStopsTheReaderWithItsLogLine) {
    IRegistryStore& store = FServices.Registry();
    store.WriteString(Key(), QStringLiteral("InstallLocation"), QStringLiteral("/x/"));
    store.WriteInteger(Key(), QStringLiteral("IsSetStartPage"), 1);
    store.WriteString(Key(), QStringLiteral("IsCreateDeskTopShortCut"), QStringLiteral("1"));
    store.WriteInteger(Key(), QStringLiteral("IsCreateProgramsShortCut"), 1);
    FRecord.ReadSoftwareInstallInfoFromRegistry();
    EXPECT_EQ(FState.PreviousRecord.InstallLocation, QStringLiteral("/x/"));
    EXPECT_TRUE(FState.PreviousRecord.IsSetStartPage);
    EXPECT_FALSE(FState.PreviousRecord.IsCreateDeskTopShortCut);
    EXPECT_FALSE(FState.PreviousRecord.IsCreateProgramsShortCut);
    EXPECT_EQ(Log(), u"ReadSoftwareInstallInfoFromRegistry:读取上次安装信息\r\n"
                     u"Invalid data type for 'IsCreateDeskTopShortCut'\r\n"_qs);
}

TEST_F(InstallRecordTest, MissingRecordIsNotFoundAndReadsNothing) {
    FState.PreviousVersionFound = true;
    EXPECT_FALSE(FRecord.CheckIsHasLastVer());
    EXPECT_FALSE(FState.PreviousVersionFound);
    FRecord.ReadSoftwareInstallInfoFromRegistry();
    EXPECT_TRUE(FState.PreviousRecord.InstallLocation.isEmpty());
    EXPECT_EQ(Log(), kNoRights);
}

TEST_F(InstallRecordTest, DeletingAMissingRecordLogsNothingAndChangesNothing) {
    IRegistryStore& store = FServices.Registry();
    store.WriteString(Key() + QStringLiteral("1"), QStringLiteral("V"), QStringLiteral("other"));
    const QByteArray before = ReadFile(FRoots.RegistryStoreFile);
    FRecord.UnRegisterSoftwareInfoToRegistry();
    EXPECT_TRUE(Log().isEmpty());
    EXPECT_EQ(ReadFile(FRoots.RegistryStoreFile), before);
    EXPECT_TRUE(store.KeyExists(Key() + QStringLiteral("1")));
}

TEST_F(InstallRecordTest, DeletingTheRecordTakesItsSubkeys) {
    FillState();
    FRecord.RegisterSoftwareInfoToRegistry();
    FServices.Registry().CreateKey(Key() + QStringLiteral("\\Extra"));
    FRecord.UnRegisterSoftwareInfoToRegistry();
    EXPECT_FALSE(FRecord.CheckIsHasLastVer());
    EXPECT_FALSE(FServices.Registry().KeyExists(Key() + QStringLiteral("\\Extra")));
    EXPECT_TRUE(Log().isEmpty());
}

TEST_F(InstallRecordTest, AutoRunRemovesOnlyTheNamedEntry) {
    IRegistryStore& store = FServices.Registry();
    store.WriteString(AutoRunKey(), QStringLiteral("Velmora3.0"), QStringLiteral("/x"));
    store.WriteString(AutoRunKey(), QStringLiteral("Other"), QStringLiteral("/y"));
    FRecord.UnSetApplicationAutoRun(QStringLiteral("VELMORA3.0"));
    EXPECT_EQ(store.ValueNames(AutoRunKey()), QStringList{QStringLiteral("Other")});
    FRecord.UnSetApplicationAutoRun(QStringLiteral("Missing"));
    EXPECT_TRUE(Log().isEmpty());
}

TEST_F(InstallRecordTest, ProgramFilesFolderComesFromTheStore) {
    EXPECT_EQ(FRecord.GetProgramFilesDir(), FRoots.ProgramFiles);
    FServices.Registry().WriteInteger(CurrentVersionKey(), QStringLiteral("ProgramFilesDir"), 5);
    EXPECT_TRUE(FRecord.GetProgramFilesDir().isEmpty());
    EXPECT_EQ(Log(), u"GetProgramFilesDir:获取默认程序安装目录\r\n"
                     u"Invalid data type for 'ProgramFilesDir'\r\n"_qs);
}

TEST_F(InstallRecordTest, StoreWithoutRightsLogsAndChangesNothing) {
    FillState();
    FRecord.RegisterSoftwareInfoToRegistry();
    FServices.Registry().WriteInteger(AutoRunKey(), FSettings.ProgramKey(), 1);
    ASSERT_TRUE(QFile::setPermissions(FRoots.RegistryStoreFile, QFile::ReadOwner));
    const QByteArray before = ReadFile(FRoots.RegistryStoreFile);

    TSqliteRegistryStore readOnly(FRoots.RegistryStoreFile, FRoots.ProgramFiles);
    TInstallState state;
    state.InstallFolder = QStringLiteral("/elsewhere/");
    TInstallRecord record(readOnly, FSettings, state);
    EXPECT_TRUE(record.CheckIsHasLastVer());
    record.ReadSoftwareInstallInfoFromRegistry();
    EXPECT_TRUE(state.PreviousRecord.InstallLocation.isEmpty());
    record.RegisterSoftwareInfoToRegistry();
    EXPECT_TRUE(record.GetProgramFilesDir().isEmpty());
    record.UnSetApplicationAutoRun(FSettings.ProgramKey());
    record.UnRegisterSoftwareInfoToRegistry();
    EXPECT_EQ(Log(), kNoRights + kNoRights + kNoRights + kNoRights);
    EXPECT_EQ(ReadFile(FRoots.RegistryStoreFile), before);
    EXPECT_EQ(readOnly.ReadString(UninstallRecordKey(FSettings), QStringLiteral("InstallLocation")),
              QStringLiteral("/opt/Norvane/"));
}
