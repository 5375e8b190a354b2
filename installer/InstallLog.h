#pragma once

#include <QString>

namespace velmora {

// One entry in the install log ("InstallLog.log" beside the executable).
void WriteInstallLog(const QString& message);

} // namespace velmora
