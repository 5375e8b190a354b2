#include "installer/InstallRecord.h"

#include "installer/InstallLog.h"
#include "installer/OperationErrors.h"
#include "installer/RecordParser.h"
#include "platform/system/DesktopUser.h"
#include "platform/system/SpecialFolders.h"
#include "platform/system/UserDirs.h"

#include <QDir>
#include <unistd.h>

namespace velmora {
namespace {

QString NoRightsMessage() {
    return u"当前用户没有读写注册表的权限"_qs;
}

} // namespace

QString UninstallRecordKey(const TInstallerSettings& settings) {
    return CurrentVersionKey() + QStringLiteral("\\Uninstall\\") + settings.ProgramKey();
}

QString AutoRunKey() {
    return CurrentVersionKey() + QStringLiteral("\\Run");
}

QStringList InstallRecordValueNames() {
    return {QStringLiteral("InstallLocation"),
            QStringLiteral("DisplayName"),
            QStringLiteral("DisplayIcon"),
            QStringLiteral("UninstallString"),
            QStringLiteral("Publisher"),
            QStringLiteral("URLInfoAbout"),
            QStringLiteral("HelpLink"),
            QStringLiteral("URLUpdateInfo"),
            QStringLiteral("InstallDate"),
            QStringLiteral("ShortcutFileName"),
            QStringLiteral("ProgramsStartUpFileName"),
            QStringLiteral("ProgramsStartUpUnInstallFileName"),
            QStringLiteral("IsSetStartPage"),
            QStringLiteral("IsCreateDeskTopShortCut"),
            QStringLiteral("IsCreateProgramsShortCut"),
            QStringLiteral("IsAutoRun")};
}

QString FormatInstallDate(const QDate& date) {
    return date.toString(QStringLiteral("yyyyMMdd"));
}

TRegistryValues InstallRecordValues(const TInstallerSettings& settings,
                                    const TInstallState& state) {
    const QString& web = settings.WebAddress;
    const QStringList texts = {state.InstallFolder,
                               settings.DisplayName,
                               state.ProductFolder + settings.ProductExe,
                               state.ProductFolder + settings.UninstallerExe,
                               settings.Publisher,
                               web,
                               web,
                               web,
                               FormatInstallDate(QDate::currentDate()),
                               state.ShortcutFileName,
                               state.ProgramsStartUpFileName,
                               state.ProgramsStartUpUnInstallFileName};
    const QList<bool> flags = {state.IsSetStartPage, state.IsCreateDeskTopShortCut,
                               state.IsCreateProgramsShortCut, state.IsAutoRun};
    const QStringList names = InstallRecordValueNames();
    TRegistryValues values;
    for (qsizetype i = 0; i < texts.size(); ++i)
        values.append({names[i], TRegistryValue{TRegistryValueType::String, texts[i], 0}});
    for (qsizetype i = 0; i < flags.size(); ++i)
        values.append({names[texts.size() + i],
                       TRegistryValue{TRegistryValueType::Integer, QString(), flags[i] ? 1 : 0}});
    return values;
}

TRecordRules InstallRecordRules(const TInstallerSettings& settings,
                                const ISpecialFolders& folders) {
    TRecordRules rules;
    rules.ProductName = settings.ProductName;
    rules.ProductExe = settings.ProductExe;
    rules.UninstallerExe = settings.UninstallerExe;
    rules.ProgramKey = settings.ProgramKey();
    rules.MenuFolders = {folders.Path(ISpecialFolders::UserPrograms),
                         folders.Path(ISpecialFolders::AllUsersPrograms)};
    const QString desktop = folders.Path(ISpecialFolders::Desktop);
    rules.IsDesktopFolder = [desktop](const QString& folder) {
        if (!desktop.isEmpty() && folder == QDir::cleanPath(desktop))
            return true;
        // Root installs for the person it acts for: their desktop is one it uses too.
        if (::geteuid() != 0)
            return false;
        const std::optional<TDesktopUser> owner = HomeOwnerOf(folder);
        if (!owner || owner->Uid == 0)
            return false;
        QString error;
        const QString theirs = DesktopFolderOf(*owner, error);
        return folder == theirs || folder == QDir::cleanPath(owner->Home) + u"/Desktop"_qs;
    };
    return rules;
}

TInstallRecord::TInstallRecord(IRegistryStore& registry, const TInstallerSettings& settings,
                               TInstallState& state)
    : FRegistry(registry), FSettings(settings), FState(state) {}

bool TInstallRecord::OpenKey(const QString& key, bool canCreate) {
    if (!FRegistry.IsWritable() || (!canCreate && !FRegistry.KeyExists(key))) {
        WriteInstallLog(NoRightsMessage());
        return false;
    }
    if (canCreate)
        FRegistry.CreateKey(key);
    return true;
}

bool TInstallRecord::CheckIsHasLastVer() {
    bool found = false;
    try {
        found = FRegistry.KeyExists(UninstallRecordKey(FSettings));
    } catch (...) {
        LogCurrentError(u"CheckIsHasLastVer:检查是否已经安装了软件"_qs);
        found = false;
    }
    FState.PreviousVersionFound = found;
    return found;
}

void TInstallRecord::ReadText(const QString& name, QString& field) const {
    const QString key = UninstallRecordKey(FSettings);
    if (FRegistry.ValueExists(key, name))
        field = FRegistry.ReadString(key, name);
}

void TInstallRecord::ReadFlag(const QString& name, bool& field) const {
    const QString key = UninstallRecordKey(FSettings);
    if (FRegistry.ValueExists(key, name))
        field = FRegistry.ReadInteger(key, name) != 0;
}

void TInstallRecord::ReadSoftwareInstallInfoFromRegistry() {
    TPreviousInstallRecord& record = FState.PreviousRecord;
    record = TPreviousInstallRecord();
    try {
        if (!OpenKey(UninstallRecordKey(FSettings), false))
            return;
        ReadText(QStringLiteral("InstallLocation"), record.InstallLocation);
        ReadText(QStringLiteral("DisplayName"), record.DisplayName);
        ReadText(QStringLiteral("DisplayIcon"), record.DisplayIcon);
        ReadText(QStringLiteral("UninstallString"), record.UninstallString);
        ReadText(QStringLiteral("Publisher"), record.Publisher);
        ReadText(QStringLiteral("URLInfoAbout"), record.URLInfoAbout);
        ReadText(QStringLiteral("HelpLink"), record.HelpLink);
        ReadText(QStringLiteral("URLUpdateInfo"), record.URLUpdateInfo);
        ReadText(QStringLiteral("ShortcutFileName"), record.ShortcutFileName);
        ReadText(QStringLiteral("ProgramsStartupFileName"), record.ProgramsStartUpFileName);
        ReadText(QStringLiteral("ProgramsStartupUnInstallFileName"),
                 record.ProgramsStartUpUnInstallFileName);
        ReadFlag(QStringLiteral("IsSetStartPage"), record.IsSetStartPage);
        ReadFlag(QStringLiteral("IsCreateDeskTopShortCut"), record.IsCreateDeskTopShortCut);
        ReadFlag(QStringLiteral("IsCreateProgramsShortCut"), record.IsCreateProgramsShortCut);
        ReadFlag(QStringLiteral("IsAutoRun"), record.IsAutoRun);
    } catch (...) {
        LogCurrentError(u"ReadSoftwareInstallInfoFromRegistry:读取上次安装信息"_qs);
    }
}

void TInstallRecord::RegisterSoftwareInfoToRegistry() {
    try {
        const QString key = UninstallRecordKey(FSettings);
        // The key is created together with its values: a key alone already reads as installed.
        if (!FRegistry.IsWritable()) {
            WriteInstallLog(NoRightsMessage());
            return;
        }
        const TRegistryValues values = InstallRecordValues(FSettings, FState);
        // All sixteen or none: an interrupted write must not leave a record that reads as an
        // installation.
        FRegistry.WriteValues(key, values);
    } catch (...) {
        LogCurrentError(u"RegisterSoftwareInfoToRegistry:将软件安装信息写入注册表"_qs);
    }
}

void TInstallRecord::UnRegisterSoftwareInfoToRegistry() {
    try {
        const QString key = UninstallRecordKey(FSettings);
        // A record that is missing or cannot be deleted is passed over without a word.
        if (FRegistry.IsWritable() && FRegistry.KeyExists(key))
            FRegistry.DeleteKey(key);
    } catch (...) {
        LogCurrentError(u"UnRegisterSoftwareInfoToRegistry:删除Pellano安装信息"_qs);
    }
}

void TInstallRecord::UnSetApplicationAutoRun(const QString& entryName) {
    try {
        if (!OpenKey(AutoRunKey(), true))
            return;
        FRegistry.DeleteValue(AutoRunKey(), entryName);
    } catch (...) {
        LogCurrentError(u"UnSetApplicationAutoRun:取消随开机自动启动"_qs);
    }
}

QString TInstallRecord::GetProgramFilesDir() {
    try {
        if (!OpenKey(CurrentVersionKey(), false))
            return QString();
        const QString name = QStringLiteral("ProgramFilesDir");
        // A missing value reads as empty; one of another type is an error.
        return FRegistry.ValueExists(CurrentVersionKey(), name)
                   ? FRegistry.ReadString(CurrentVersionKey(), name)
                   : QString();
    } catch (...) {
        LogCurrentError(u"GetProgramFilesDir:获取默认程序安装目录"_qs);
        return QString();
    }
}

} // namespace velmora
