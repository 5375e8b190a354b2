#pragma once

// Module SkinBtns: the button.
#include "skin/widgets/SkinButton.h"
