#pragma once

// Module SkinPanels: the panel.
#include "skin/widgets/SkinPanel.h"
