#pragma once

#include "skin/controls/SkinForms.h"

#include <QImage>
#include <memory>

namespace velmora::gallery {

// The gallery's 562 x 371 skinned form: title-bar buttons, a translucent card with a nested
// button, labels, a plain framed box holding a skinned label, and two buttons.
std::unique_ptr<TDefaultSkinForm> MakeGalleryForm();

// What the screen shows around form: its shadow (with its current alpha) under the form's
// own picture (cut by its window mask), on a neutral desktop.
QImage ComposeScreen(TBaseSkinForm& form);

} // namespace velmora::gallery
