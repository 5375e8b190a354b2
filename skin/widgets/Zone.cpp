#include "skin/widgets/Zone.h"

#include "skin/widgets/ZoneList.h"
#include "skin/widgets/ZoneViewLink.h"

namespace velmora {

TZone::TZone() : FChildZones(std::make_unique<TZoneList>(nullptr, this)) {}

TZone::~TZone() {
    if (FView != nullptr)
        FView->ZoneDestroyed(this);
}

TSkinZoneView* TZone::ZoneView() const {
    return FView != nullptr ? FView->LinkedView() : nullptr;
}

void TZone::Attach(IZoneViewLink* AView, TZone* AParentZone) {
    if (FView != nullptr)
        FView->CountSubtree(*this, -1);
    FParentZone = AParentZone;
    FLevel = AParentZone != nullptr ? AParentZone->FLevel + 1 : 0;
    FView = AView;
    FChildZones->FView = AView;
    // A zone handed over with children brings its subtree to the view.
    WalkZones(*FChildZones, false, [AView](TZone* AZone) {
        AZone->FView = AView;
        AZone->FChildZones->FView = AView;
        AZone->FLevel = AZone->FParentZone->FLevel + 1;
        return TZoneWalk::Enter;
    });
    if (AView != nullptr)
        AView->CountSubtree(*this, 1);
}

void TZone::Changed(bool ARepaint, bool ARelayout) {
    FDispalyChanged = true;
    if (FView != nullptr && (ARepaint || ARelayout))
        FView->ZonesChanged(ARepaint, ARelayout);
}

bool TZone::Visible() const {
    return FView != nullptr && FLayoutPass == FView->LayoutPass();
}

int TZone::DisplayIndex() const {
    return Visible() ? FDisplayIndex : -1;
}

void TZone::SetZoneName(const QString& Value) {
    if (FZoneName == Value)
        return;
    FZoneName = Value;
    Changed(true, false);
}

void TZone::SetLevel(int Value) {
    if (FLevel == Value)
        return;
    FLevel = Value;
    Changed(false, false);
}

void TZone::SetWidth(int Value) {
    if (Value <= 0 || FWidth == Value)
        return;
    FWidth = Value;
    Changed(true, true);
}

void TZone::SetHeight(int Value) {
    if (Value <= 0 || FHeight == Value)
        return;
    FHeight = Value;
    Changed(true, true);
}

void TZone::SetMouseOver(bool Value) {
    if (FMouseOver == Value)
        return;
    FMouseOver = Value;
    if (FView != nullptr)
        FView->AdjustCounts(0, Value ? 1 : -1, 0);
    Changed(false, false);
}

void TZone::SetMouseDown(bool Value) {
    if (FMouseDown == Value)
        return;
    FMouseDown = Value;
    Changed(false, false);
}

void TZone::SetBlinkRedraw(bool Value) {
    if (FBlinkRedraw == Value)
        return;
    FBlinkRedraw = Value;
    Changed(false, false);
}

void TZone::SetBlinkFlag(int Value) {
    if (FBlinkFlag == Value)
        return;
    FBlinkFlag = Value;
    Changed(false, false);
}

void TZone::SetFlashCaptionColor(TGPColor Value) {
    if (FCaptionColor == Value)
        return;
    FCaptionColor = Value;
    Changed(true, false);
}

void TZone::SetExpanded(bool Value) {
    if (FExpanded == Value)
        return;
    IZoneViewLink* view = FView;
    const std::weak_ptr<void> alive = Alive();
    if (view != nullptr && !view->MultiExpand())
        view->CollapseOutsideBranch(this);
    if (alive.expired())
        return;
    FExpanded = Value;
    Changed(false, true);
    if (view == nullptr)
        return;
    view->ClearMouseOver();
    if (FExpanded)
        view->FireExpandZone(this, true);
    view->ZonesChanged(true, true);
}

void TZone::SetSelected(bool Value) {
    if (FSelected == Value)
        return;
    IZoneViewLink* view = FView;
    const std::weak_ptr<void> alive = Alive();
    if (view != nullptr && !view->MultiSelect())
        view->ClearSelectedZones();
    if (alive.expired())
        return;
    // Deselecting with single selection: clearing the others has cleared this one too.
    if (FSelected == Value) {
        view->ZonesChanged(true, false);
        return;
    }
    FSelected = Value;
    if (view != nullptr)
        view->AdjustCounts(Value ? 1 : -1, 0, 0);
    Changed(false, false);
    if (view == nullptr)
        return;
    if (FSelected)
        view->FireSelectZone(this, true);
    view->ZonesChanged(true, false);
}

void TZone::SetBlinking(bool Value) {
    if (FBlinking == Value)
        return;
    FBlinking = Value;
    if (FView != nullptr)
        FView->AdjustCounts(0, 0, Value ? 1 : -1);
    Changed(false, false);
    if (FBlinking)
        FBlinkRedraw = true;
    else
        FBlinkFlag = 0;
    IZoneViewLink* view = FView;
    if (view == nullptr)
        return;
    if (FBlinking)
        view->FireBlinkZone(this);
    view->ZonesChanged(true, false);
}

} // namespace velmora
