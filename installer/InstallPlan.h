#pragma once

#include "installer/InstallPreflight.h"
#include "installer/PayloadArchive.h"
#include "installer/TransactionJournal.h"

#include <QSet>
#include <optional>
#include <vector>

namespace velmora {

// Where one payload entry is written while it is staged: its path relative to the install
// folder as it is while the transaction runs (inside a staged folder's temporary name, or
// under the file's own temporary name beside where it goes).
struct TPlannedWrite {
    size_t Entry = 0;
    QString StagedPath;
    int Op = -1; // the op that publishes this file on its own, or -1 inside a staged folder
};

// The previous version as far as the record can be trusted.
struct TPreviousFiles {
    QString ProductFolder; // absolute, '/'-terminated; empty when none
    TOldFiles Mode = TOldFiles::None;
    TInstallManifest Manifest;
};

// Everything an install will do to the file system, worked out (and checked) before the
// previous version is touched. Paths are relative to the install folder unless said.
struct TInstallPlan {
    QString InstallFolder;     // absolute, clean, '/'-terminated
    QString ProductFolder;     // InstallFolder + product name + '/'
    QStringList FoldersToMake; // absolute levels of the install folder that are missing
    std::vector<TJournalOp> Ops;
    std::vector<TPlannedWrite> Writes;
    QStringList StagedFolders; // folders made inside staged folders, parents first
    QStringList KeptUserFiles; // payload entries not written: the user's file is there
    QStringList Replaced;      // payload paths where something the installer did not write goes
    // What the new version owns once committed (its Transaction is set when it starts).
    TInstallManifest Manifest;
    TPreviousFiles Previous;
    // The previous version's files the new one does not replace (relative to its product
    // folder, never user data): deleted once the install is committed.
    qsizetype OldEntriesToRemove = 0;
};

// Plans writing the payload's entries below installFolder over whatever is there, with the previous
// version as previous describes it, and checks that every step can be done: no link, file or
// kept folder where a folder or file must go; every folder written to writable (for the
// effective user) and not locked; every entry renamed or deleted not immutable or
// append-only; nothing of the user's deleted; no entry named like the installer's temporary
// files; room on each file system for every file and folder, counted in whole blocks, with
// inodes, name and path lengths, and descriptors for the folder depth. The journal's own
// needs on the store's file system (storeFolder) are counted too. The first problem found is
// returned; nothing is changed either way.
std::optional<TPreflightProblem> PlanInstall(const std::vector<TPayloadEntry>& entries,
                                             const QString& installFolder,
                                             const QString& productName,
                                             const TPreviousFiles& previous,
                                             const QString& storeFolder, TInstallPlan& plan);

} // namespace velmora
