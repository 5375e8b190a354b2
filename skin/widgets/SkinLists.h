#pragma once

// Module SkinLists: the zone view, its zones and lists, and its style component.
#include "skin/widgets/BaseZoneViewStyle.h"
#include "skin/widgets/ClientMargins.h"
#include "skin/widgets/SkinZoneView.h"
#include "skin/widgets/Zone.h"
#include "skin/widgets/ZoneList.h"
