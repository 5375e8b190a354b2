#include "platform/system/InstallerUmask.h"

#include <sys/stat.h>

namespace velmora {

namespace {
constexpr mode_t KInstallerUmask = 022;
bool GSet = false;
mode_t GCaller = KInstallerUmask;
} // namespace

void UseInstallerUmask() {
    const mode_t previous = ::umask(KInstallerUmask);
    if (!GSet) {
        GCaller = previous;
        GSet = true;
    }
}

mode_t CallerUmask() {
    return GCaller;
}

TCallerUmaskScope::TCallerUmaskScope() : FInstaller(::umask(GCaller)) {}

TCallerUmaskScope::~TCallerUmaskScope() {
    ::umask(FInstaller);
}

} // namespace velmora
