#include "skin/controls/SkinClassRegistry.h"

#include "skin/controls/SkinControl.h"
#include "skin/data/SkinControlClasses.h"

namespace velmora {

namespace {
quint64 GGeneration = 0;
} // namespace

void EnsureSkinClassesRegistered() {
    static const bool registered = [] {
        RegisterSkinControlClass(sccSkinCustomControl, [] {
            ++GGeneration;
            TSkinCustomControl::AllMembersChangeSkinFile();
        });
        RegisterSkinControlClass(sccFormDrawSkinCustomControl,
                                 [] { TFormDrawSkinCustomControl::AllMembersChangeSkinFile(); });
        return true;
    }();
    (void)registered;
}

quint64 SkinChangeGeneration() {
    return GGeneration;
}

} // namespace velmora
