#pragma once

#include "installer/InstallManifest.h"
#include "installer/InstallerSettings.h"
#include "platform/system/RegistryStore.h"

#include <QList>
#include <functional>
#include <optional>

namespace velmora {

// The install record is read back from a store that anyone with rights over it may have
// edited by hand, and the removal deletes what it names, so every value is untrusted input.
// It is taken in three layers, as the user-dirs file is: the raw values are read (bounded);
// each value is checked on its own and against the others; the trusted record is built from
// the values that passed. A value that fails is never acted on.

// Layer 1: the values as stored, by the names the reader asks for.
struct TRawRecord {
    bool Present = false; // the record key exists
    QList<std::pair<QString, TRegistryValue>> Values;
    bool HasManifest = false; // the manifest key exists
    QList<std::pair<QString, TRegistryValue>> Manifest;
};

// The most a stored text may hold before it is refused unread: the file lists of the
// largest payload fit well within it.
inline constexpr qsizetype KMaxRecordText = 64 << 20;

// Reads the record and its manifest. Raises ERegistryError when the store cannot be read
// (busy past its wait, damaged, not a store), so that such a store is never taken for one
// without a record.
TRawRecord ReadRawRecord(const IRegistryStore& store, const TInstallerSettings& settings);

// What the checks compare against: the names the installer gives things and the folders it
// puts shortcuts in.
struct TRecordRules {
    QString ProductName;
    QString ProductExe;
    QString UninstallerExe;
    QString ProgramKey;
    // The programs menus whose "<menu>/<program key>" folder may hold the menu shortcuts.
    QStringList MenuFolders;
    // Whether a (cleaned, absolute) folder is a desktop the installer puts its shortcut on.
    std::function<bool(const QString& folder)> IsDesktopFolder;
};

// A value that was refused: its name and a fixed reason.
struct TRecordProblem {
    QString Value;
    QString Reason;
};

struct TParsedRecord {
    bool Present = false;
    // The values that passed; a refused value is empty (or false) here.
    TPreviousInstallRecord Record;
    // The manifest, when the record has one that passed; a record written before manifests
    // existed has none, and its product folder is cleaned the old way.
    std::optional<TInstallManifest> Manifest;
    QList<TRecordProblem> Problems;

    // The product folder the record names ('/'-terminated), empty when its location is
    // empty or was refused.
    QString ProductFolder(const QString& productName) const;
};

// Layers 2 and 3. Every text must be free of control characters and of unpaired surrogates
// and shorter than the system's path limit. InstallLocation must be an absolute, clean
// folder ending in '/' whose program paths (DisplayIcon, UninstallString, when present)
// name the product folder below it; a manifest that fails any check refuses the location
// with it, since without it nothing tells the installer's files from others. Shortcut
// paths must be absolute and clean, end in ".desktop", and lie directly in a desktop folder
// (the desktop shortcut) or in "<menu>/<program key>" (the menu shortcuts). Flags must be
// integers. Manifest entries must be relative paths without empty, "." or ".." components.
TParsedRecord ParseInstallRecord(const TRawRecord& raw, const TRecordRules& rules);

// The manifest layer alone, for the values of a manifest key belonging to productFolder.
std::optional<TInstallManifest>
ParseInstallManifest(const QList<std::pair<QString, TRegistryValue>>& values,
                     const QString& productFolder);

// The reason a text read from the record may not name a path, or empty: control characters,
// unpaired surrogates, or more bytes than a path may have.
QString UntrustedTextProblem(const QString& text);

} // namespace velmora
