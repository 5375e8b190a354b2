#pragma once

#include "installer/InstallRecord.h"
#include "installer/ProgressDisplay.h"
#include "installer/ShellIntegration.h"

namespace velmora {

// Removes an installation of the same product and version that a record names: its COM
// registration, autorun entry, shortcuts, product files (sparing user data) and the record.
class TPreviousVersionRemoval {
public:
    TPreviousVersionRemoval(TInstallRecord& record, TShellIntegration& shell,
                            const TInstallerSettings& settings, TInstallState& state);

    // The install sequence's removal step: only when a record exists, with the removing
    // status and the bar going 0 to 100. False when there was nothing to remove.
    bool RemoveLastVersion(IProgressDisplay& display);

    // Every step runs even when an earlier one failed. Returns the error summary (one
    // labelled line per failed step), which is also logged when not empty.
    QString UnInstallLastVersion();

    // Cleans location + product name + "/" and then removes location if that left it empty.
    // A location that is not absolute, or that is a symbolic link, is left alone.
    static void CleanInstallLocation(const QString& location, const QString& productName);
    // The folder CleanInstallLocation cleans ('/'-terminated); empty when it cleans nothing.
    static QString ProductFolderToClean(const QString& location, const QString& productName);

    // Deletes a folder's files and folders bottom-up, sparing folders named exactly "Users"
    // or "Config" (and so the folders above them). Symbolic links are removed themselves and
    // never followed (one named "Users" or "Config" stays), and no other file system mounted
    // inside is entered. A relative folder or the file-system root is refused. Failures are
    // silent.
    static void DeleteInstallFolder(const QString& folder);

private:
    TInstallRecord& FRecord;
    TShellIntegration& FShell;
    const TInstallerSettings& FSettings;
    TInstallState& FState;
};

} // namespace velmora
