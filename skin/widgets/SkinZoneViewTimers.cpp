#include "skin/drawing/SkinTimer.h"
#include "skin/widgets/SkinWidgetSupport.h"
#include "skin/widgets/SkinZoneView.h"

#include <algorithm>

// The view's timers: idle and blink (opened and closed on request), the scroll repeat of a
// held bar and the two hover waits.

namespace velmora {

void TSkinZoneView::SetIdleTimerEnable(bool Value) {
    if (Value)
        OpenIdleTimer();
    else
        CloseIdleTimer();
}

void TSkinZoneView::SetIdleTimerInterval(int Value) {
    if (Value <= 0 || FIdleTimerInterval == Value)
        return;
    FIdleTimerInterval = Value;
    // A running timer takes the new interval now, not only when it is opened again.
    if (FIdleTimer)
        FIdleTimer->SetInterval(Value);
}

void TSkinZoneView::SetBlinkTimerEnable(bool Value) {
    if (Value)
        OpenBlinkTimer();
    else
        CloseBlinkTimer();
}

void TSkinZoneView::SetBlinkTimerInterval(int Value) {
    if (Value <= 0 || FBlinkTimerInterval == Value)
        return;
    FBlinkTimerInterval = Value;
    if (FBlinkTimer)
        FBlinkTimer->SetInterval(Value);
}

void TSkinZoneView::OpenIdleTimer() {
    FIdleTimerEnable = true;
    if (FIdleTimer)
        return;
    FIdleTimer = CreateSkinTimer();
    FIdleTimer->SetInterval(FIdleTimerInterval);
    FIdleTimer->OnTimer = [this] {
        if (OnIdleTimer)
            OnIdleTimer(this);
    };
    FIdleTimer->Start();
}

void TSkinZoneView::CloseIdleTimer() {
    FIdleTimerEnable = false;
    if (FIdleTimer)
        FIdleTimer->Stop();
    FIdleTimer.reset();
}

void TSkinZoneView::OpenBlinkTimer() {
    FBlinkTimerEnable = true;
    if (FBlinkTimer)
        return;
    FBlinkTimer = CreateSkinTimer();
    FBlinkTimer->SetInterval(FBlinkTimerInterval);
    FBlinkTimer->OnTimer = [this] { BlinkTimerTick(); };
    FBlinkTimer->Start();
}

void TSkinZoneView::CloseBlinkTimer() {
    FBlinkTimerEnable = false;
    if (FBlinkTimer)
        FBlinkTimer->Stop();
    FBlinkTimer.reset();
}

void TSkinZoneView::ScrollTimerTick() {
    for (TZoneScrollBar* bar : {&FHorzBar, &FVertBar}) {
        if (bar->Dragging()) {
            if (bar->DragTo(bar->Vertical() ? FLastMousePos.y() : FLastMousePos.x()))
                RepaintSelfImage();
        } else if (bar->PressedPart() != zspNone &&
                   bar->PartAt(FLastMousePos) == bar->PressedPart()) {
            // Holding an arrow or the track repeats its step.
            StepBar(*bar, bar->PressedPart(), FLastMousePos);
        }
    }
}

void TSkinZoneView::EnterHoverTimerTick() {
    FEnterHoverTimer->Stop();
    if (!FMouseInView)
        return;
    FHovered = true;
    GuardedStep(*this, QStringLiteral("OnEnterHoverTimerTimer"), [this] {
        if (OnMouseEnterHover)
            OnMouseEnterHover(this);
    });
}

void TSkinZoneView::LeaveHoverTimerTick() {
    FLeaveHoverTimer->Stop();
    GuardedStep(*this, QStringLiteral("OnLeaveHoverTimerTimer"), [this] {
        if (OnMouseLeaveHover)
            OnMouseLeaveHover(this);
    });
}

void TSkinZoneView::BlinkTimerTick() {
    for (TZone* zone : FDisplayList)
        if (zone->FBlinking)
            zone->SetBlinkRedraw(true);
    RepaintSelfImage();
}

} // namespace velmora
