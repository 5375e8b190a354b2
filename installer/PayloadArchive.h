#pragma once

#include "installer/InstallStages.h"
#include "installer/PayloadTable.h"

#include <QFile>
#include <QIODevice>
#include <optional>

namespace velmora {

class IProgressDisplay;

// The embedded payload resource.
inline const QString kPayloadResource = QStringLiteral(":/DATA/RESOURCES");

// An inflated payload whose table has been validated: what extraction writes.
struct TPayloadImage {
    QByteArray Image;
    std::vector<TPayloadEntry> Entries;
};

// Inflates source and validates its table. On failure writes the install log line and
// returns nothing; no file is touched either way.
std::optional<TPayloadImage> LoadPayload(QIODevice& source);
// Opens file (the embedded resource, or another resource path for tests) for reading; false
// with the install log line when it cannot be.
bool OpenEmbeddedPayload(QFile& file);
// The same over the embedded resource (or another resource path, for tests).
std::optional<TPayloadImage> LoadEmbeddedPayload(const QString& resource = kPayloadResource);

// Checks the target first (see CheckInstallTarget) and writes nothing when that fails.
// Writes every entry below installFolder in table order, reporting through display (may
// be null) and telling hook (may be empty) of half-written files. Never writes outside
// installFolder: folders are created and entered without following symbolic links, and
// each file is written under a temporary name and renamed over the old one, so a link or
// hard link in its place is replaced, never written through, and an interrupted write
// leaves the old file. Returns false with an install log line when a folder or file cannot
// be made; files written before stay.
bool WritePayload(const TPayloadImage& payload, const QString& installFolder,
                  IProgressDisplay* display, const TInstallStageHook& hook = {});

// Inflates the embedded payload and writes it below installFolder.
bool CopyInstallFiles(const QString& installFolder, IProgressDisplay* display);
bool CopyInstallFiles(const QString& installFolder, IProgressDisplay* display, QIODevice& source);

// The user's list of signed-in accounts survives a reinstall: the entry named exactly
// "Config\LogedinUsers.XML", or that name inside the product folder, is written only when
// nothing is there yet. Letter case must match.
bool IsProtectedEntry(const TPayloadEntry& entry);

class TFolderTree;

// The folder below root that holds entry's file, made as needed (see TFolderTree); -1 with the
// install log line when a level cannot be made or entered.
int OpenEntryFolder(TFolderTree& tree, const TPayloadEntry& entry, const QString& root);
// Whether what is at the entry's place in folderFd stays: the users list, once there.
bool KeepsExistingFile(const TPayloadEntry& entry, int folderFd);

// The install log lines of an extraction that failed: the stream did not inflate, its table
// is invalid, a folder or a file could not be made (errno says why).
void LogResourceFailure(const QString& resource, const QString& reason);
void LogInflateFailure(const QString& reason);
void LogTableFailure(const QString& reason);
void LogFolderFailure(const QString& folder, int error);
void LogFileFailure(const QString& file, int error);

// Creates each level of folder up to its last separator; the text after the last
// separator is not created, so callers pass a folder ending in '/'.
bool ForceFolderPath(const QString& folder);

} // namespace velmora
