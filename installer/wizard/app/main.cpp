// VelmoraSetup: the setup wizard. It takes no command line; everything it needs is embedded.
#include "installer/wizard/SetupStartUp.h"
#include "platform/graphics/SkinApplication.h"
#include "platform/system/ImageHeap.h"
#include "platform/system/SessionBus.h"

int main(int argc, char** argv) {
    velmora::PrepareImageHeap();
    // Before Qt looks for a bus: without a desktop session none may be started for us.
    velmora::PreventSessionBusAutolaunch();
    velmora::TSkinApplication app(argc, argv);
    return velmora::RunVelmoraSetup(app);
}
