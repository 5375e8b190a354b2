#pragma once

// The drawing objects of the skin engine: text, images and the nine-slice images.

#include "skin/framework/GDIBIGIMGPro.h"
#include "skin/framework/GDIHintWindow.h"
#include "skin/framework/GDIIMG.h"
#include "skin/framework/GDIIMGADV.h"
#include "skin/framework/GDIIMGPro.h"
#include "skin/framework/GDIObject.h"
#include "skin/framework/GDIText.h"
