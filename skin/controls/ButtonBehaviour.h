#pragma once

#include <functional>

namespace velmora {

// The one input behaviour of everything that can be clicked: hover, a press that clicks only
// when it is released inside, a double click that counts once, the keyboard (Space pressed and
// released, Return), and every way a press can be cancelled. It holds plain state and knows
// nothing of widgets, so the windowed and the windowless control bases share it and tests can
// drive it directly.
class TButtonBehaviour {
public:
    // Called whenever Hovered() or Down() changes, so the control can show its new look.
    std::function<void()> OnLookChanged;
    std::function<void()> OnClick;
    std::function<void()> OnDoubleClick;

    // The pointer is over the control (while a press is held: over its hit area).
    bool Hovered() const { return FHovered; }
    // The control looks pressed: a mouse press held with the pointer inside, or the
    // activation key held down.
    bool Down() const { return (FMousePressed && FHovered) || FKeyPressed; }
    // A mouse press is in progress, wherever the pointer is now.
    bool MousePressed() const { return FMousePressed; }
    bool KeyPressed() const { return FKeyPressed; }

    void Enter();
    void Leave();
    // Left button pressed; inside tells whether the point is on the hit area.
    void Press(bool inside);
    // The second press of a double click: the control looks pressed, its release clicks
    // nothing more, and the double click is raised.
    void DoublePress(bool inside);
    // The pointer moved; while a press is held no leave or enter arrives, so this is how
    // dragging off and back is seen.
    void Move(bool inside);
    void Release(bool inside);

    // The activation key went down (Space): pressed look; its release clicks.
    void KeyDown();
    void KeyUp();
    // Return and Enter click at once.
    void KeyActivate();

    // The press can no longer end here (hidden, disabled, focus or mouse taken elsewhere):
    // forgotten without a click.
    void Cancel();
    // Hidden: press and hover are both gone.
    void Reset();

private:
    void SetState(bool hovered, bool mousePressed, bool keyPressed);

    bool FHovered = false;
    bool FMousePressed = false;
    bool FKeyPressed = false;
    bool FFromDoubleClick = false;
};

} // namespace velmora
