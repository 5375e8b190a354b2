#pragma once

#include <QString>

namespace velmora {

// True when another copy of the installer holds the program key's system-wide name. The
// first caller takes the name and keeps it until its process ends. A failure to take the
// name for another reason answers false, so the installer still runs.
bool CheckInstallerIsRunning();

// True when a running process has the executable name exeName (letter case ignored).
bool CheckInstanceIsRunning(const QString& exeName);

} // namespace velmora
