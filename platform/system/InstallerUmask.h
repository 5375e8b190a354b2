#pragma once

#include <sys/types.h>

namespace velmora {

// What an installer writes (program folders, menus, the registry store) is used by everyone
// who runs the program, whatever file-creation mask the caller or an archive tool left
// (self-extracting archives commonly leave 077, hardened root shells 027). The installer
// works with 022 from its first step; programs it starts for the person get the mask the
// installer was started with.
void UseInstallerUmask();
// The mask the process had before UseInstallerUmask (022 when it was never called).
mode_t CallerUmask();

// Sets the caller's mask for its lifetime, around starting a program with posix_spawn (which
// cannot set a mask in the child).
class TCallerUmaskScope {
public:
    TCallerUmaskScope();
    ~TCallerUmaskScope();
    TCallerUmaskScope(const TCallerUmaskScope&) = delete;
    TCallerUmaskScope& operator=(const TCallerUmaskScope&) = delete;

private:
    mode_t FInstaller;
};

} // namespace velmora
