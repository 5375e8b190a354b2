#pragma once

#include "skin/controls/SkinForms.h"

#include <memory>

namespace velmora::gallery {

// A skinned form with a page control: icons, a disabled tab, hidden tabs and more tabs than
// the strip holds, so paging shows.
std::unique_ptr<TDefaultSkinForm> MakePagesForm();

} // namespace velmora::gallery
