#include "platform/system/PlatformServices.h"

namespace velmora {

TPlatformServices::TPlatformServices(TSystemRoots roots, QString searchPath)
    : FRoots(std::move(roots)), FRegistry(FRoots.RegistryStoreFile, FRoots.ProgramFiles),
      FLinks(FRoots.Desktop, FRoots.DesktopOwner, FRoots.UseDesktopTools ? searchPath : QString()),
      FFolders(FRoots), FLauncher(std::move(searchPath)), FRegistrationTool(FLauncher) {}

} // namespace velmora
