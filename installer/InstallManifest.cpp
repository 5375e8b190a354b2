#include "installer/InstallManifest.h"

#include "installer/InstallRecord.h"

namespace velmora {

QString InstallManifestKey(const TInstallerSettings& settings) {
    return UninstallRecordKey(settings) + QStringLiteral("\\InstalledFiles");
}

TRegistryValues InstallManifestValues(const TInstallManifest& manifest) {
    const auto text = [](const QString& value) {
        return TRegistryValue{TRegistryValueType::String, value, 0};
    };
    return {{KManifestTransaction, text(manifest.Transaction)},
            {KManifestFiles, text(manifest.Files.join(u'\n'))},
            {KManifestFolders, text(manifest.Folders.join(u'\n'))},
            {KManifestCreatedLevels,
             TRegistryValue{TRegistryValueType::Integer, QString(), manifest.CreatedLevels}}};
}

} // namespace velmora
