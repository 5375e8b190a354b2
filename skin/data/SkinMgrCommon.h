#pragma once

// Background items, their lists, the default palette and the user skin configuration.
#include "skin/data/SkinBackGroundItems.h"
#include "skin/data/SkinDefaultPalette.h"
#include "skin/data/UserSkinConfig.h"
