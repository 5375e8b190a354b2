#pragma once

// Module SkinBtns (Part 4.3 button).
#include "skin/widgets/SkinButton.h"
