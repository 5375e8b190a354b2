#pragma once

// Module SkinImages: the image box and image.
#include "skin/widgets/SkinImage.h"
#include "skin/widgets/SkinImageBox.h"
