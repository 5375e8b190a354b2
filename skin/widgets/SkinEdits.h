#pragma once

// Module SkinEdits (Part 4.2 label and check box).
#include "skin/widgets/SkinCheckBox.h"
#include "skin/widgets/SkinLabel.h"
