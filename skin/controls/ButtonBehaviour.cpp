#include "skin/controls/ButtonBehaviour.h"

namespace velmora {

// Every change goes through here, so a look change is reported exactly once and always before
// a click: a click handler may close the window and free the control.
void TButtonBehaviour::SetState(bool hovered, bool mousePressed, bool keyPressed) {
    const bool downBefore = Down();
    const bool hoveredBefore = FHovered;
    FHovered = hovered;
    FMousePressed = mousePressed;
    FKeyPressed = keyPressed;
    if ((downBefore != Down() || hoveredBefore != FHovered) && OnLookChanged)
        OnLookChanged();
}

void TButtonBehaviour::Enter() {
    SetState(true, FMousePressed, FKeyPressed);
}

void TButtonBehaviour::Leave() {
    // Qt sends no leave while the button is held; one that arrives anyway ends the hover only.
    SetState(false, FMousePressed, FKeyPressed);
}

void TButtonBehaviour::Press(bool inside) {
    if (!inside)
        return;
    FFromDoubleClick = false;
    SetState(true, true, FKeyPressed);
}

void TButtonBehaviour::DoublePress(bool inside) {
    if (!inside)
        return;
    FFromDoubleClick = true;
    SetState(true, true, FKeyPressed);
    if (OnDoubleClick)
        OnDoubleClick();
}

void TButtonBehaviour::Move(bool inside) {
    SetState(inside, FMousePressed, FKeyPressed);
}

void TButtonBehaviour::Release(bool inside) {
    const bool clicks = FMousePressed && inside && !FFromDoubleClick;
    FFromDoubleClick = false;
    // A release without a press here (the press was forgotten) says nothing about hover.
    SetState(FMousePressed ? inside : FHovered, false, FKeyPressed);
    if (clicks && OnClick)
        OnClick();
}

void TButtonBehaviour::KeyDown() {
    if (FKeyPressed || FMousePressed)
        return;
    SetState(FHovered, false, true);
}

void TButtonBehaviour::KeyUp() {
    if (!FKeyPressed)
        return;
    SetState(FHovered, FMousePressed, false);
    if (OnClick)
        OnClick();
}

void TButtonBehaviour::KeyActivate() {
    if (FMousePressed)
        return;
    if (OnClick)
        OnClick();
}

void TButtonBehaviour::Cancel() {
    FFromDoubleClick = false;
    SetState(FHovered, false, false);
}

void TButtonBehaviour::Reset() {
    FFromDoubleClick = false;
    SetState(false, false, false);
}

} // namespace velmora
