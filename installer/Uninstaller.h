#pragma once

#include "installer/InstallerSettings.h"

#include <QStringList>
#include <optional>

namespace velmora {

class TPlatformServices;

// What an uninstall did, for the uninstaller's report.
struct TUninstallOutcome {
    bool Found = false;            // a record of this product and version existed
    QString ProductFolder;         // the folder that was cleaned
    QStringList KeptFolders;       // user data left in place (Users, Config)
    QStringList RemovedLinks;      // shortcuts that existed and are gone
    QStringList FilesLeft;         // product files still there outside Users and Config
    QStringList LinksLeft;         // recorded shortcuts that were to go and are still there
    QString MenuFolderLeft;        // the programs-menu folder that was to go and is still there
    bool LocationRejected = false; // the recorded location is relative: nothing was cleaned
    bool RecordRemoved = false;
    QString ErrorSummary; // one labelled line per failed step; empty when all went well
};

// The record of the installed product and version, read into state; nothing when there is
// none.
std::optional<TPreviousInstallRecord> ReadInstalledRecord(TPlatformServices& services,
                                                          const TInstallerSettings& settings,
                                                          TInstallState& state);

// Removes the installed product exactly as a reinstall removes its previous version:
// COM registration, autorun entry, shortcuts, product files (sparing Users and Config) and
// the record. The uninstaller and the command-line tool both call this.
TUninstallOutcome UninstallProduct(TPlatformServices& services, const TInstallerSettings& settings,
                                   TInstallState& state);

// True when everything the removal meant to remove is gone: the record, the shortcuts and
// programs-menu folder it named, and the product files.
bool UninstallComplete(const TUninstallOutcome& outcome);

// A few lines a person reads after an uninstall.
QString DescribeUninstall(const TUninstallOutcome& outcome, const TInstallerSettings& settings);

} // namespace velmora
