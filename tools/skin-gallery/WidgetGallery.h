#pragma once

#include "skin/controls/SkinForms.h"

#include <memory>

namespace velmora::gallery {

// The second gallery form: every panel, label, check box, button and image control in each
// of its states side by side (hover, pressed and focus are put on them, so one picture
// shows all of them at once).
std::unique_ptr<TDefaultSkinForm> MakeWidgetGalleryForm();

} // namespace velmora::gallery
