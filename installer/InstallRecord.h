#pragma once

#include "installer/InstallerSettings.h"
#include "platform/system/RegistryStore.h"

#include <QDate>
#include <QStringList>

namespace velmora {

// "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\" + program key.
QString UninstallRecordKey(const TInstallerSettings& settings);
// "SOFTWARE\Microsoft\Windows\CurrentVersion\Run".
QString AutoRunKey();
// The sixteen value names in the order they are written.
QStringList InstallRecordValueNames();
// "YYYYMMDD".
QString FormatInstallDate(const QDate& date);

// The sixteen values of the record for the state, dated today, in the order they are written.
TRegistryValues InstallRecordValues(const TInstallerSettings& settings, const TInstallState& state);

class ISpecialFolders;
struct TRecordRules;
// The checks a record read back must pass for these folders: the programs menus of the user
// and of all users, and the desktop (for root, also the desktop of whoever's home holds the
// shortcut, as root installs for the person it acts for).
TRecordRules InstallRecordRules(const TInstallerSettings& settings, const ISpecialFolders& folders);

// The uninstall record, the autorun entry and the program-files lookup. Every operation
// catches its own errors and logs one line; none raises.
class TInstallRecord {
public:
    TInstallRecord(IRegistryStore& registry, const TInstallerSettings& settings,
                   TInstallState& state);

    // Also stores the answer as the state's previous-version-found flag.
    bool CheckIsHasLastVer();
    // Fills the state's previous-install record from the stored one.
    void ReadSoftwareInstallInfoFromRegistry();
    // Writes the sixteen values from the state, dated today, in one transaction: all of them
    // and the key, or nothing.
    void RegisterSoftwareInfoToRegistry();
    void UnRegisterSoftwareInfoToRegistry();
    void UnSetApplicationAutoRun(const QString& entryName);
    // The program-files folder as the store holds it; empty when it cannot be read.
    QString GetProgramFilesDir();
    IRegistryStore& Store() const { return FRegistry; }

private:
    // Opens for reading and writing; false (after logging the missing rights) when the store
    // is not writable or the key is missing and may not be created.
    bool OpenKey(const QString& key, bool canCreate);
    void ReadText(const QString& name, QString& field) const;
    void ReadFlag(const QString& name, bool& field) const;

    IRegistryStore& FRegistry;
    const TInstallerSettings& FSettings;
    TInstallState& FState;
};

} // namespace velmora
