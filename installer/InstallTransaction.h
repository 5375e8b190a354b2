#pragma once

#include "installer/InstallPlan.h"
#include "installer/InstallStages.h"
#include "installer/ProductFiles.h"
#include "installer/ProgressDisplay.h"
#include "installer/ShellIntegration.h"
#include "platform/system/RegistryStore.h"

namespace velmora {

class TInflatingPayload;

// What a transaction works with besides the file system.
struct TTransactionContext {
    IRegistryStore& Store;
    IShellLinks& Links;
    TShellIntegration& Shell;
    const TInstallerSettings& Settings;
    QString JournalPath;
};

// An install as one transaction. Until Commit the previous version can be put back exactly
// (files, shortcuts, COM registration; its record is never touched before then), after it
// the new version is complete; an interruption at any point is finished or undone the same
// way by RecoverInterruptedInstall. The order:
//   Begin  journal written; missing install-folder levels made; nothing of the old touched
//   Stage  every payload file written under a temporary name (or inside a staged folder)
//          while the payload inflates, synced, the folders synced once the whole stream
//          (with its checksum) passed
//   Swap   the previous version's COM files unregistered; each staged file or folder renamed
//          into place, what was there renamed to its backup name; folders synced
//   then the caller registers the new COM files, writes the shortcuts (each journaled first)
//   Commit the record, its manifest and the autorun entry in one store transaction
//   Finish backups and the previous version's files deleted, the journal removed
class TInstallTransaction {
public:
    TInstallTransaction(const TTransactionContext& context, TInstallPlan& plan,
                        const QString& oldMenuFolder);

    bool Begin(QString& error);
    // Writes the entries as the payload's bytes arrive. False with the reason; with an empty
    // one when the payload itself failed (its failure is logged then).
    bool Stage(const std::vector<TPayloadEntry>& entries, TInflatingPayload& payload,
               IProgressDisplay& display, const TInstallStageHook& hook, QString& error);
    bool Swap(IProgressDisplay* display, QString& error);
    void RegisterNewComFiles();
    // Before a shortcut at path is written or deleted: what is there now is journaled.
    bool NoteLink(const QString& path, QString& error);
    // Before a folder outside the product folder is made (the menu's).
    bool NoteMadeFolder(const QString& folder, QString& error);
    bool Commit(const TRegistryChanges& changes, QString& error);
    TProductRemoval Finish();
    void Undo();

    const QString& Transaction() const { return FJournal.Transaction; }

private:
    TTransactionContext FContext;
    TInstallPlan& FPlan;
    TTransactionJournal FJournal;
    bool FStarted = false;
};

// The product folder's temporary and backup names for a path relative to the install folder.
QString StagedNameOf(const QString& relative);
QString BackupNameOf(const QString& relative);

// Finishes or undoes an install that was stopped before it was over, as its journal says;
// run under the installer's single-instance name before anything else installs or
// uninstalls. True when there is nothing (left) to do; false with the reason when the
// journal cannot be trusted or the store cannot be read (the journal then stays).
bool RecoverInterruptedInstall(const TTransactionContext& context, QString& error);

} // namespace velmora
