#pragma once

#include "skin/controls/SkinForms.h"

#include <memory>

namespace velmora {

// Creates the wizard's main window, which becomes the application's main window: closing it
// ends the program.
std::unique_ptr<TDefaultSkinForm> CreateMainWindow();

} // namespace velmora
