#pragma once

// Module SkinImages (Part 4.3 image box and image).
#include "skin/widgets/SkinImage.h"
#include "skin/widgets/SkinImageBox.h"
