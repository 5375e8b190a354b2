#pragma once

#include "installer/InstallRecord.h"
#include "installer/ProductFiles.h"
#include "installer/ProgressDisplay.h"
#include "installer/RecordParser.h"
#include "installer/ShellIntegration.h"

namespace velmora {

// What one removal did.
struct TRemovalReport {
    QString Summary;       // one labelled line per failed or refused step
    TProductRemoval Files; // the installer's files left, and others' files kept
    QStringList LinksLeft; // shortcuts it meant to delete that are still there
    bool Refused = false;  // nothing was removed: untrusted values or a store without rights
    bool Stopped = false;  // files were left, so shortcuts and record were kept
};

// Removes an installation of the same product and version that a record names: its COM
// registration, product files (sparing user data and, with a manifest, whatever the installer
// did not write), autorun entry, shortcuts and the record. The record is read as untrusted
// input (see ParseInstallRecord): a record with a value that fails its checks is not acted on
// at all. A removal that leaves product files keeps the shortcuts and the record, so it says
// what remains and can be tried again.
class TPreviousVersionRemoval {
public:
    TPreviousVersionRemoval(TInstallRecord& record, TShellIntegration& shell,
                            const TInstallerSettings& settings, TInstallState& state);

    // The install sequence's removal step: only when a record exists, with the removing
    // status and the bar going 0 to 100. False when there was nothing to remove.
    bool RemoveLastVersion(IProgressDisplay& display);

    // Reads the record and runs RemoveVersion. Returns the error summary (one labelled line
    // per failed or refused step), which is also logged when not empty.
    QString UnInstallLastVersion();
    // The removal for a record already read; steps after a failed one still run, except that
    // shortcuts and record stay while product files remain.
    TRemovalReport RemoveVersion(const TParsedRecord& record);

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
