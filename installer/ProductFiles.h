#pragma once

#include "installer/TransactionJournal.h"

#include <QSet>
#include <QStringList>
#include <functional>

namespace velmora {

// One entry the removal of a previous version deletes: its folder (open), its name, its path
// relative to the product folder, and whether it is a folder (removed only when empty, after
// everything in it was visited).
struct TRemovableEntry {
    int Folder = -1;
    QByteArray Name;
    QString Relative;
    bool IsFolder = false;
};

// Visits what the removal deletes below productFolder, children before their folder. With a
// manifest: exactly its files outside user data, then its folders, deepest first. A legacy
// record means the old cleaning: every entry but folders named exactly "Users" or "Config"
// (and links named so), entries named "." or ".." once trimmed, and other file systems.
// Paths in keep (relative to the product folder: the files of the version that replaces it)
// are never visited. Links are never followed. False when the product folder cannot be
// opened (a missing one is no error).
bool VisitRemovable(const QString& productFolder, TOldFiles mode, const TInstallManifest& manifest,
                    const QSet<QString>& keep,
                    const std::function<void(const TRemovableEntry& entry)>& visit);

struct TProductRemoval {
    QStringList Left; // the installer's files still there (relative to the product folder)
    QStringList Kept; // files the installer did not write, left where they were
};

// Deletes what VisitRemovable visits, then reports what stayed. Kept lists, for a manifest,
// the files outside user data that no manifest names (nothing of a legacy record is kept).
TProductRemoval RemoveProductFiles(const QString& productFolder, TOldFiles mode,
                                   const TInstallManifest& manifest, const QSet<QString>& keep);

// The product folder itself and the levels above it that the install made, each only when
// empty: with a manifest its CreatedLevels; for a legacy record the product folder and its
// location, as the old cleaning did.
void RemoveCreatedLevels(const QString& productFolder, TOldFiles mode, int createdLevels);

// Files below productFolder outside user data, relative; at most limit of them.
QStringList FilesBelow(const QString& productFolder, qsizetype limit);

} // namespace velmora
