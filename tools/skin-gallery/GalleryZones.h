#pragma once

#include "skin/controls/SkinForms.h"
#include "skin/widgets/ZoneList.h"

#include <memory>

namespace velmora::gallery {

// Fills AZones with AGroups groups of ASections sections of AItems entries (three levels).
void FillZoneTree(TZoneList& AZones, int AGroups, int ASections, int AItems);

// A skinned form with a zone view of 10,000 zones in three levels, drawn by the gallery's
// zone style; the first group and its first section are open.
std::unique_ptr<TDefaultSkinForm> MakeZonesForm();

} // namespace velmora::gallery
