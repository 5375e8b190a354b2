#include "platform/system/PlatformServices.h"

namespace velmora {

TPlatformServices::TPlatformServices(TSystemRoots roots, QString searchPath)
    : FRoots(std::move(roots)), FRegistry(FRoots.RegistryStoreFile, FRoots.ProgramFiles),
      FFolders(FRoots), FLauncher(std::move(searchPath)), FRegistrationTool(FLauncher) {}

} // namespace velmora
