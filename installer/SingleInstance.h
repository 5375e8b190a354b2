#pragma once

#include "platform/system/SystemWideName.h"

#include <QString>

namespace velmora {

// True when another copy of the installer holds the program key's system-wide name. The
// first caller takes the name and keeps it until its process ends. A failure to take the
// name for another reason answers false, so the installer still runs.
bool CheckInstallerIsRunning();

struct TSystemRoots;

// For the command-line tool and the uninstaller: takes the same single-instance name the
// wizard holds (the program key), in the folder of roots (the real system's own folder, or a
// staged system's), and keeps it until the process ends. AlreadyHeld means another installer
// or uninstaller runs for that system and nothing may be changed beside it.
TSystemWideName::TResult HoldInstallerName(const TSystemRoots& roots);

// True when a running process has the executable name exeName (letter case ignored).
bool CheckInstanceIsRunning(const QString& exeName);

} // namespace velmora
