#pragma once

// Module SkinPanels (Part 4.2 panel).
#include "skin/widgets/SkinPanel.h"
