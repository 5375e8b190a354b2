#pragma once

#include "installer/InstallerSettings.h"
#include "platform/system/RegistryStore.h"

#include <QStringList>

namespace velmora {

// What one install wrote below the product folder, kept beside the install record in the
// same store transaction: uninstall and the removal before a reinstall delete only these
// files and folders, so whatever was in the product folder before stays.
struct TInstallManifest {
    // The install that wrote it: an interrupted install is known to have got this far when
    // the store holds its manifest.
    QString Transaction;
    // Files and folders the installer made, relative to the product folder, '/'-separated,
    // in code-point order.
    QStringList Files;
    QStringList Folders;
    // How many levels of the product folder's own path the installer made: 0 when the product
    // folder was there before, 1 when it made the product folder, 2 with the install folder...
    int CreatedLevels = 0;

    bool operator==(const TInstallManifest&) const = default;
};

// The manifest's key: a subkey of the record, so deleting the record takes it too.
QString InstallManifestKey(const TInstallerSettings& settings);

// The value names, in the order they are written.
inline const QString KManifestTransaction = QStringLiteral("Transaction");
inline const QString KManifestFiles = QStringLiteral("Files");
inline const QString KManifestFolders = QStringLiteral("Folders");
inline const QString KManifestCreatedLevels = QStringLiteral("CreatedLevels");

// The values stored for a manifest (lists joined with line feeds, which no entry may hold).
TRegistryValues InstallManifestValues(const TInstallManifest& manifest);

} // namespace velmora
