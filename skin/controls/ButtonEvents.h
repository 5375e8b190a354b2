#pragma once

#include <Qt>

class QKeyEvent;
class QMouseEvent;

namespace velmora {

class TButtonBehaviour;

// Qt's input events read the same way by every clickable control, windowed or drawn on the
// form, so the two control bases cannot come to treat a key or a button differently.

// A left-button press, release or double click as the behaviour's step; AInside tells
// whether the point hits the control. Other buttons change nothing.
void FeedMouseButton(TButtonBehaviour& AButton, const QMouseEvent& AEvent, bool AInside);
// Space (down, then up) clicks, Return and Enter click at once when AReturnClicks, and
// Escape cancels a key press under way. True when the key was used, so the caller hands the
// others on (Return to the window's default button, for a check box).
bool FeedKeyPress(TButtonBehaviour& AButton, const QKeyEvent& AEvent, bool AReturnClicks);
bool FeedKeyRelease(TButtonBehaviour& AButton, const QKeyEvent& AEvent);
// Whether focus that arrived for AReason came from the keyboard, which turns the window's
// focus cues on.
bool IsKeyboardFocusReason(Qt::FocusReason AReason);

} // namespace velmora
