#include "installer/SingleInstance.h"

#include "installer/InstallerSettings.h"
#include "platform/system/ProcessTable.h"
#include "platform/system/SystemRoots.h"
#include "platform/system/SystemWideName.h"

namespace velmora {

bool CheckInstallerIsRunning() {
    // Asking again from the process that holds the name must not report itself.
    static bool heldHere = false;
    if (heldHere)
        return false;
    TSystemWideName name(InstallerSettings().ProgramKey());
    const TSystemWideName::TResult result = name.Acquire();
    if (result == TSystemWideName::TResult::Acquired) {
        name.KeepForProcessLifetime();
        heldHere = true;
    }
    return result == TSystemWideName::TResult::AlreadyHeld;
}

TSystemWideName::TResult HoldInstallerName(const TSystemRoots& roots) {
    TSystemWideName name(InstallerSettingsOrDefault().ProgramKey(), roots.InstanceNameFolder);
    const TSystemWideName::TResult result = name.Acquire();
    if (result == TSystemWideName::TResult::Acquired)
        name.KeepForProcessLifetime();
    return result;
}

bool CheckInstanceIsRunning(const QString& exeName) {
    return TProcessTable().IsRunning(exeName);
}

} // namespace velmora
