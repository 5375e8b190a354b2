#pragma once

// Module SkinEdits: the label, the check box and the skinned text fields.
#include "skin/widgets/SkinCheckBox.h"
#include "skin/widgets/SkinEdit.h"
#include "skin/widgets/SkinFlatMemo.h"
#include "skin/widgets/SkinHotKey.h"
#include "skin/widgets/SkinLabel.h"
