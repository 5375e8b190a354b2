#pragma once

#include "platform/system/ProcessLauncher.h"
#include "platform/system/RegistrationTool.h"
#include "platform/system/ShellLinks.h"
#include "platform/system/SpecialFolders.h"
#include "platform/system/SqliteRegistryStore.h"
#include "platform/system/SystemRoots.h"

namespace velmora {

// The platform services of one set of roots, built together so that the install sequence,
// the uninstaller and the command-line tool all see the same system.
class TPlatformServices {
public:
    explicit TPlatformServices(TSystemRoots roots,
                               QString searchPath = qEnvironmentVariable("PATH"));

    const TSystemRoots& Roots() const { return FRoots; }
    TSqliteRegistryStore& Registry() { return FRegistry; }
    IShellLinks& Links() { return FLinks; }
    ISpecialFolders& Folders() { return FFolders; }
    IProcessLauncher& Launcher() { return FLauncher; }
    TRegistrationTool& RegistrationTool() { return FRegistrationTool; }

private:
    TSystemRoots FRoots;
    TSqliteRegistryStore FRegistry;
    TDesktopEntryLinks FLinks;
    TSpecialFolders FFolders;
    TProcessLauncher FLauncher;
    TRegistrationTool FRegistrationTool;
};

} // namespace velmora
