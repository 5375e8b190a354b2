#pragma once

#include <memory>

namespace velmora {

class TDesktopWindows;

// The X11 window system, through the X connection Qt holds: a compositing manager is the owner
// of the screen's _NET_WM_CM_S<n> selection, watched while the program runs; windows are
// watched through the window manager's frames they sit in. Null when Qt holds no X connection.
std::unique_ptr<TDesktopWindows> MakeX11DesktopWindows();

} // namespace velmora
