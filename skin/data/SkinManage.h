#pragma once

// The skin file, its style catalogues and the skin manager.
#include "skin/data/SkinChangeEvent.h"
#include "skin/data/SkinControlClasses.h"
#include "skin/data/SkinDataTypes.h"
#include "skin/data/SkinFile.h"
#include "skin/data/SkinFormStyleItem.h"
#include "skin/data/SkinMng.h"
#include "skin/data/SkinNodeControls.h"
#include "skin/data/SkinPopupMenuSettings.h"
#include "skin/data/SkinStyleCatalogues.h"
#include "skin/data/SkinStyleItems.h"
#include "skin/data/SkinTextParsers.h"
#include "skin/data/SkinZoneViewStyleItem.h"
