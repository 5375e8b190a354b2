#include "installer/InstallLog.h"

#include "installer/InstallerSettings.h"
#include "platform/system/LogFile.h"

namespace velmora {

void WriteInstallLog(const QString& message) {
    // Logging may happen before the settings are filled (an early failure); the file name
    // must still be the install log's.
    WriteLogFile(message, InstallerSettingsOrDefault().LogFileName);
}

} // namespace velmora
