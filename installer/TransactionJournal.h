#pragma once

#include "installer/InstallManifest.h"
#include "platform/system/ShellLinks.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace velmora {

// How the files of the previous version are told from others.
enum class TOldFiles {
    None,     // there is no previous version (or its location was refused)
    Legacy,   // a record from before manifests: everything but user data is the product's
    Manifest, // exactly the files and folders of its manifest
};

// One rename that publishes payload content: Path (relative to the install folder,
// '/'-separated, the product folder's name first) gets the staged file or folder that waits
// under its temporary name beside it; what was at Path (HadOld) waits under its backup name
// until the install is committed.
struct TJournalOp {
    QString Path;
    bool Subtree = false; // a folder staged whole with everything below it
    bool HadOld = false;
    // The staged object, known once it is written: whichever of Path and its temporary name
    // holds this inode holds the new content.
    quint64 Device = 0;
    quint64 Inode = 0;
};

// A shortcut the install writes or deletes, and what was at its path before.
struct TJournalLink {
    QString Path;
    TShortcutSnapshot Before;
};

// The install's own account of what it is doing, kept beside the registry store and synced
// before each step it announces, so that an install stopped at any point (a kill, a power
// cut) is finished or undone exactly by the next installer or uninstaller that starts: undone
// until the store holds the manifest of this transaction, finished after.
//
// The file is append-only text, one entry per line, fields separated by tabs with
// backslash escapes; a last line without its line feed was cut off by the interruption and
// is ignored. Every path in it is checked again when it is read back.
class TTransactionJournal {
public:
    QString Transaction;
    QString InstallFolder; // absolute, clean, '/'-terminated
    QString ProductName;
    // Folders the install made outside the product folder (install-folder levels, the menu
    // folder), in the order they were made; removed again, when empty, on undo.
    QStringList MadeFolders;
    std::vector<TJournalOp> Ops;
    bool Staged = false;     // every op's staged object is complete and synced
    bool Swapping = false;   // ops may have been published
    QString ComUnregistered; // the product folder whose COM files were unregistered
    QString ComRegistered;   // the product folder whose COM files were registered
    QList<TJournalLink> Links;
    // The previous version, removed once the install is committed.
    QString OldProductFolder;
    TOldFiles OldMode = TOldFiles::None;
    TInstallManifest OldManifest;
    QString OldMenuFolder; // removed when empty after the commit

    // The journal's file for a store file: "<program key>.journal" in the store's folder.
    static QString PathFor(const QString& storeFile, const QString& programKey);

    // Writes the header, the folders to make and the ops as a new file (replacing a journal
    // that was dealt with), synced with its folder. False with the reason.
    bool Create(const QString& path, QString& error);
    // Appends the entries that record a change made since, synced; false with the reason.
    bool NoteMadeFolder(const QString& folder, QString& error);
    bool NoteStaged(QString& error); // the ops' device and inode numbers
    // Ops may be published from now on, and the COM files of unregistering (when not empty)
    // are about to be unregistered.
    bool NoteSwapping(const QString& unregistering, QString& error);
    bool NoteComRegistered(const QString& folder, QString& error);
    bool NoteLink(const TJournalLink& link, QString& error);
    // Deletes the file (the transaction is over either way) and syncs the folder.
    bool Remove(QString& error);

    // Reads a journal back; nothing when there is none. error says why one that exists cannot
    // be trusted (unreadable, malformed, a path outside its install folder).
    static std::optional<TTransactionJournal> Read(const QString& path, QString& error);

private:
    bool Append(const QList<QStringList>& entries, QString& error);

    QString FPath;
};

} // namespace velmora
