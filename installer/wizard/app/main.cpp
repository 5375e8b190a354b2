// VelmoraSetup: the setup wizard. It takes no command line; everything it needs is embedded.
#include "installer/wizard/SetupStartUp.h"
#include "platform/graphics/SkinApplication.h"

int main(int argc, char** argv) {
    velmora::TSkinApplication app(argc, argv);
    return velmora::RunVelmoraSetup(app);
}
