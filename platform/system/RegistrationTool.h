#pragma once

#include "platform/system/ProcessLauncher.h"

namespace velmora {

// Runs the system's COM registration tool. This platform has none, so a command line runs
// only when some program of the tool's name has been put on the search path.
class TRegistrationTool {
public:
    explicit TRegistrationTool(IProcessLauncher& launcher) : FLauncher(launcher) {}

    // The longest a registration run is waited for before it is stopped.
    static constexpr int KTimeoutMs = 10000;

    // Runs the command line hidden when its program exists, and waits for it (at most
    // KTimeoutMs), so that an undo never overtakes the registration it undoes and no tool
    // outlives the installer; false when nothing was started.
    bool Run(const QString& commandLine);

private:
    IProcessLauncher& FLauncher;
};

} // namespace velmora
