#include "skin/drawing/SkinTimer.h"
#include "skin/widgets/SkinWidgetSupport.h"
#include "skin/widgets/SkinZoneView.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>

// Mouse, wheel, keys, entering, leaving and the focus: every way a user acts on the view.

namespace velmora {

namespace {

constexpr int KWheelStep = 10;
constexpr int KWheelNotch = 120;

} // namespace

void TSkinZoneView::ScrollBar(TZoneScrollBar& ABar, int ADelta) {
    if (ABar.ScrollBy(ADelta))
        RepaintSelfImage();
}

void TSkinZoneView::StepBar(TZoneScrollBar& ABar, TZoneScrollPart APart, const QPoint& APoint) {
    switch (APart) {
    case zspLowButton:
        ScrollBar(ABar, -ABar.Step());
        break;
    case zspHighButton:
        ScrollBar(ABar, ABar.Step());
        break;
    case zspTrack:
        ScrollBar(ABar, ABar.PageDirection(APoint) * ABar.PageLength());
        break;
    default:
        break;
    }
}

bool TSkinZoneView::PressBar(TZoneScrollBar& ABar, const QPoint& APoint) {
    const TZoneScrollPart part = ABar.PartAt(APoint);
    if (part == zspNone)
        return false;
    ABar.SetMarks(part, part);
    if (part == zspThumb)
        ABar.BeginDrag(APoint);
    else
        StepBar(ABar, part, APoint);
    FScrollTimer->Start();
    RepaintSelfImage();
    return true;
}

void TSkinZoneView::mousePressEvent(QMouseEvent* event) {
    TSkinCustomControl::mousePressEvent(event);
    FLastMousePos = event->position().toPoint();
    EnsureLaidOut();
    if (PressBar(FHorzBar, FLastMousePos) || PressBar(FVertBar, FLastMousePos))
        return;
    const quint64 version = FStructureVersion;
    const std::vector<TZone*> display = FDisplayList;
    TZone* pressed = nullptr;
    for (TZone* zone : display) {
        const bool hit = HitsZone(zone, FLastMousePos);
        if (StructureMoved(version))
            return;
        zone->SetMouseDown(hit);
        if (hit && pressed == nullptr)
            pressed = zone;
    }
    FPressedZone = pressed;
    if (pressed == nullptr && FHideSelection)
        ClearSelectedZones();
    RepaintSelfImage();
}

void TSkinZoneView::UpdateMouseOver(const QPoint& APoint) {
    if (FLastMouseOverZone != nullptr) {
        TZone* last = FLastMouseOverZone;
        const quint64 version = FStructureVersion;
        const bool still = HitsZone(last, APoint);
        if (StructureMoved(version))
            return;
        if (still) {
            if (!last->FMouseOver) {
                last->SetMouseOver(true);
                RepaintSelfImage();
            }
            return;
        }
    }
    TZone* over = DisplayedZoneAt(APoint, false);
    bool changed = false;
    if (FLastMouseOverZone != nullptr && FLastMouseOverZone != over &&
        FLastMouseOverZone->FMouseOver) {
        FLastMouseOverZone->SetMouseOver(false);
        changed = true;
    }
    for (TZone* zone : FDisplayList) {
        const bool isOver = zone == over;
        if (zone->FMouseOver != isOver) {
            zone->SetMouseOver(isOver);
            changed = true;
        }
    }
    FLastMouseOverZone = over;
    if (changed)
        RepaintSelfImage();
}

void TSkinZoneView::mouseMoveEvent(QMouseEvent* event) {
    TSkinCustomControl::mouseMoveEvent(event);
    FLastMousePos = event->position().toPoint();
    EnsureLaidOut();
    bool barsChanged = false;
    for (TZoneScrollBar* bar : {&FHorzBar, &FVertBar}) {
        if (bar->Dragging())
            // The drag follows the pointer at once; the scroll timer catches moves that
            // arrive while the pointer is outside the window.
            barsChanged |= bar->DragTo(bar->Vertical() ? FLastMousePos.y() : FLastMousePos.x());
        else if (bar->PressedPart() == zspNone)
            barsChanged |= bar->SetMarks(zspNone, bar->PartAt(FLastMousePos));
    }
    if (barsChanged)
        RepaintSelfImage();
    UpdateMouseOver(FLastMousePos);
    if (FHovered && OnMouseMoveZone)
        OnMouseMoveZone(this, FLastMouseOverZone, FLastMousePos.x(), FLastMousePos.y());
}

void TSkinZoneView::mouseReleaseEvent(QMouseEvent* event) {
    FLastMousePos = event->position().toPoint();
    TSkinCustomControl::mouseReleaseEvent(event);
    FScrollTimer->Stop();
    FHorzBar.EndDrag();
    FVertBar.EndDrag();
    // Nothing stays pressed: a bar keeps only the hover of the part under the pointer.
    bool changed = FHorzBar.SetMarks(zspNone, FHorzBar.PartAt(FLastMousePos));
    changed = FVertBar.SetMarks(zspNone, FVertBar.PartAt(FLastMousePos)) || changed;
    // Every pressed zone is released, wherever the pointer is now, so none keeps looking
    // pressed after a drag from one zone to another or onto a bar.
    for (TZone* zone : FDisplayList)
        if (zone->FMouseDown) {
            zone->SetMouseDown(false);
            changed = true;
        }
    if (FPressedZone != nullptr) {
        FPressedZone->SetMouseDown(false);
        FPressedZone = nullptr;
        changed = true;
    }
    if (changed)
        RepaintSelfImage();
    if (event->button() != Qt::RightButton || OnScrollBar(FLastMousePos))
        return;
    TZone* zone = DisplayedZoneAt(FLastMousePos, true);
    if (zone == nullptr) {
        if (OnClientPopup)
            OnClientPopup(this, nullptr, TRect{});
        return;
    }
    const std::weak_ptr<void> alive = zone->Alive();
    UpdateMouseOver(FLastMousePos);
    if (alive.expired() || !OnZonePopup)
        return;
    const TRect rect = HitRect(zone);
    if (!alive.expired())
        OnZonePopup(this, zone, rect);
}

void TSkinZoneView::Click() {
    TSkinCustomControl::Click();
    if (!OnClickZone || OnScrollBar(FLastMousePos))
        return;
    TZone* zone = DisplayedZoneAt(FLastMousePos, false);
    if (zone == nullptr)
        return;
    // The rectangle handler may free the zone it is asked about.
    const std::weak_ptr<void> alive = zone->Alive();
    const TRect rect = HitRect(zone);
    if (!alive.expired())
        OnClickZone(this, zone, rect);
}

void TSkinZoneView::DblClick(TZone* AZone) {
    const std::weak_ptr<void> alive = AZone != nullptr ? AZone->Alive() : std::weak_ptr<void>();
    if (OnDblClick)
        OnDblClick();
    if (AZone == nullptr || alive.expired() || !OnDblClickZone)
        return;
    const TRect rect = HitRect(AZone);
    if (!alive.expired())
        OnDblClickZone(this, AZone, rect);
}

void TSkinZoneView::mouseDoubleClickEvent(QMouseEvent* event) {
    FLastMousePos = event->position().toPoint();
    // The second press of a quick pair on a scroll bar is still a press there.
    if (OnScrollBar(FLastMousePos)) {
        mousePressEvent(event);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    DblClick(DisplayedZoneAt(FLastMousePos, false));
}

void TSkinZoneView::wheelEvent(QWheelEvent* event) {
    EnsureLaidOut();
    if (!FVertBar.Visible() ||
        (FEnableWheelInSelf && !rect().contains(event->position().toPoint()))) {
        event->ignore();
        return;
    }
    event->accept();
    FWheelRemainder += event->angleDelta().y();
    const int notches = FWheelRemainder / KWheelNotch;
    FWheelRemainder -= notches * KWheelNotch;
    if (notches != 0)
        ScrollBar(FVertBar, -notches * KWheelStep);
}

void TSkinZoneView::keyPressEvent(QKeyEvent* event) {
    EnsureLaidOut();
    const int page = FVertBar.PageLength();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: {
        // The zone under the pointer, as a double click would take; from the keyboard
        // alone, the selected one.
        DblClick(FMouseInView && FLastMouseOverZone != nullptr ? FLastMouseOverZone
                                                               : GetSelected());
        return;
    }
    case Qt::Key_Up:
        ScrollBar(FVertBar, -FVertBar.Step());
        return;
    case Qt::Key_Down:
        ScrollBar(FVertBar, FVertBar.Step());
        return;
    case Qt::Key_PageUp:
        ScrollBar(FVertBar, -page);
        return;
    case Qt::Key_PageDown:
        ScrollBar(FVertBar, page);
        return;
    case Qt::Key_Left:
        ScrollBar(FHorzBar, -KWheelStep);
        return;
    case Qt::Key_Right:
        ScrollBar(FHorzBar, KWheelStep);
        return;
    default:
        TSkinCustomControl::keyPressEvent(event);
    }
}

void TSkinZoneView::enterEvent(QEnterEvent* event) {
    TSkinCustomControl::enterEvent(event);
    FMouseInView = true;
    if (FEnableHover && !FEnterHoverTimer->IsActive()) {
        FEnterHoverTimer->SetInterval(std::max(1, FHoverInterval));
        FEnterHoverTimer->Start();
    }
}

void TSkinZoneView::leaveEvent(QEvent* event) {
    TSkinCustomControl::leaveEvent(event);
    FMouseInView = false;
    for (TZoneScrollBar* bar : {&FHorzBar, &FVertBar})
        if (!bar->Dragging() && bar->SetMarks(bar->PressedPart(), zspNone))
            RepaintSelfImage();
    ClearMouseOver();
    if (!FEnableHover)
        return;
    FEnterHoverTimer->Stop();
    if (FHovered) {
        FHovered = false;
        FLeaveHoverTimer->SetInterval(std::max(1, FHoverInterval));
        FLeaveHoverTimer->Start();
    }
}

void TSkinZoneView::focusOutEvent(QFocusEvent* event) {
    TSkinCustomControl::focusOutEvent(event);
    if (!underMouse())
        ClearMouseOver();
    GuardedStep(*this, QStringLiteral("WMActivate"), [this] {
        if (OnDeActive)
            OnDeActive(this);
    });
}

} // namespace velmora
