#pragma once

// Windows on screens of more than one device pixel per logical pixel, without a display: the
// offscreen platform configured with three screens side by side, of ratios 1, 1.5 and 2.

#include <QtGlobal>

class QScreen;
class QWidget;

namespace velmora::testing {

// Makes the next application object use those screens (the first, of ratio 1, is the
// primary). Call it from a static initializer of the test program, before any application
// object exists; true once the platform is set.
bool UseScaledScreens();

// The screen of that ratio, or null when the program does not run on the scaled screens.
QScreen* ScreenOfRatio(qreal ratio);

// Puts the shown top-level window on the screen of that ratio, as a move to another monitor
// does, and lets the window system's events for it run; false when there is no such screen.
bool MoveToScreen(QWidget& window, qreal ratio);

} // namespace velmora::testing
