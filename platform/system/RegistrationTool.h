#pragma once

#include "platform/system/ProcessLauncher.h"

namespace velmora {

// Runs the system's COM registration tool. This platform has none, so a command line runs
// only when some program of the tool's name has been put on the search path.
class TRegistrationTool {
public:
    explicit TRegistrationTool(IProcessLauncher& launcher) : FLauncher(launcher) {}

    // Starts the command line hidden when its program exists; false when nothing was started.
    bool Run(const QString& commandLine);

private:
    IProcessLauncher& FLauncher;
};

} // namespace velmora
