#pragma once

class QWidget;

namespace velmora {

// Whether a window shows where the keyboard focus is. Mouse users keep the look they always
// had; from the first keyboard navigation in a window on (Tab, Space, Return on a control) its
// focused control shows a cue, as desktops do for windows driven by keys.
bool FocusCuesShown(const QWidget& AWidget);
// Turns the cues on for AWidget's window; true when they were off.
bool ShowFocusCues(QWidget& AWidget);

} // namespace velmora
