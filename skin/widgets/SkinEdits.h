#pragma once

// Module SkinEdits: the label and check box.
#include "skin/widgets/SkinCheckBox.h"
#include "skin/widgets/SkinLabel.h"
