#include "skin/data/SkinPopupMenuSettings.h"

namespace velmora {

TSkinPopupMenuSettings& SkinPopupMenuSettings() {
    static TSkinPopupMenuSettings settings;
    return settings;
}

} // namespace velmora
