#pragma once

// The skinned forms: the frame logic (TBaseSkinForm) and the form with a caption and the
// three title-bar buttons (TDefaultSkinForm) that the wizard's windows derive from.
#include "skin/controls/BaseSkinForm.h"
#include "skin/controls/DefaultSkinForm.h"
