#include "skin/widgets/SkinZoneView.h"

#include "skin/data/SkinMng.h"
#include "skin/drawing/SkinTimer.h"
#include "skin/widgets/SkinWidgetSupport.h"

#include <QMetaObject>
#include <algorithm>
#include <stdexcept>

// The view's state: the zone tree and the counts kept over it, properties, updates, the skin
// and the tree-wide changes the zones ask for. Placing and hit-testing are in
// SkinZoneViewLayout.cpp, painting in SkinZoneViewPaint.cpp, mouse and keys in
// SkinZoneViewInput.cpp and the timers in SkinZoneViewTimers.cpp.

namespace velmora {

namespace {

constexpr int KScrollTimerInterval = 100;

} // namespace

TSkinZoneView::TSkinZoneView(QWidget* parent)
    : TSkinCustomControl(parent),
      FZones(std::make_unique<TZoneList>(static_cast<IZoneViewLink*>(this), nullptr)),
      FScrollTimer(CreateSkinTimer()), FEnterHoverTimer(CreateSkinTimer()),
      FLeaveHoverTimer(CreateSkinTimer()) {
    FIsNeedAppendPaint = true;
    setFocusPolicy(Qt::StrongFocus); // TabStop true
    setMouseTracking(true);
    FClientMargins.OnChange = [this] { ZonesChanged(true, true); };
    FScrollTimer->SetInterval(KScrollTimerInterval);
    FScrollTimer->OnTimer = [this] { ScrollTimerTick(); };
    FEnterHoverTimer->OnTimer = [this] { EnterHoverTimerTick(); };
    FLeaveHoverTimer->OnTimer = [this] { LeaveHoverTimerTick(); };
    EnsureSkinWidgetClassRegistered();
    ChangeSkinFile();
}

TSkinZoneView::~TSkinZoneView() {
    FUpdatesEnabled = false;
    CloseIdleTimer();
    CloseBlinkTimer();
    FScrollTimer->Stop();
    FEnterHoverTimer->Stop();
    FLeaveHoverTimer->Stop();
    FZones.reset();
}

// ---- properties -----------------------------------------------------------------------------

void TSkinZoneView::SetItemSpace(int Value) {
    Value = std::max(0, Value);
    if (FItemSpace == Value)
        return;
    FItemSpace = Value;
    ZonesChanged(true, true);
}

void TSkinZoneView::SetFillWidth(bool Value) {
    if (FFillWidth == Value)
        return;
    FFillWidth = Value;
    ZonesChanged(true, true);
}

void TSkinZoneView::SetStyleName(const QString& Value) {
    if (FStyleName == Value)
        return;
    FStyleName = Value;
    ChangeSkinFile();
}

// ---- updates --------------------------------------------------------------------------------

void TSkinZoneView::BeginUpdate() {
    ++FUpdateCount;
}

void TSkinZoneView::EndUpdate() {
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount == 0)
        RepaintSelfImage();
}

void TSkinZoneView::Repaint() {
    FUpdatesEnabled = true;
    FUpdateCount = 0;
    TSkinCustomControl::Repaint();
}

void TSkinZoneView::RedrawAll() {
    if (FPainting) {
        // The paint under way clears the flag when it ends; the next one takes it.
        FRedrawAllPending = true;
        ZonesChanged(true, false);
        return;
    }
    FRedrawAll = true;
    RepaintSelfImage();
}

void TSkinZoneView::ZonesChanged(bool ARepaint, bool ARelayout) {
    if (ARelayout)
        FPlacementStale = true;
    if (!ARepaint)
        return;
    if (FPainting)
        // The paint under way marks its surface current when it ends, which would swallow a
        // request made by one of its drawing events; ask again once it is done.
        QMetaObject::invokeMethod(
            this, [this] { RepaintSelfImage(); }, Qt::QueuedConnection);
    else
        RepaintSelfImage();
}

void TSkinZoneView::AdjustCounts(int ASelected, int AMouseOver, int ABlinking) {
    FSelectedCount += ASelected;
    FMouseOverCount += AMouseOver;
    FBlinkingCount += ABlinking;
    // The blink timer runs while any zone blinks, however the zone came or went: set,
    // handed over blinking, or freed.
    if (ABlinking > 0 && !FBlinkTimer && FUpdatesEnabled)
        OpenBlinkTimer();
    else if (ABlinking < 0 && FBlinkingCount == 0)
        CloseBlinkTimer();
}

void TSkinZoneView::CountSubtree(const TZone& AZone, int ASign) {
    auto count = [this, ASign](const TZone& AOne) {
        AdjustCounts(AOne.FSelected ? ASign : 0, AOne.FMouseOver ? ASign : 0,
                     AOne.FBlinking ? ASign : 0);
    };
    count(AZone);
    WalkZones(AZone.ChildZones(), false, [&count](TZone* AChild) {
        count(*AChild);
        return TZoneWalk::Enter;
    });
}

void TSkinZoneView::ZoneDestroyed(TZone* AZone) {
    // Children were taken out and are freed on their own, so only this zone's marks go.
    AdjustCounts(AZone->FSelected ? -1 : 0, AZone->FMouseOver ? -1 : 0, AZone->FBlinking ? -1 : 0);
    ++FStructureVersion;
    FVisibleList.clear();
    FDisplayList.clear();
    FPlacementStale = true;
    FRedrawAll = true;
    if (FLastMouseOverZone == AZone)
        FLastMouseOverZone = nullptr;
    if (FPressedZone == AZone)
        FPressedZone = nullptr;
}

// ---- skin -----------------------------------------------------------------------------------

void TSkinZoneView::ChangeSkinFile() {
    TSkinCustomControl::ChangeSkinFile();
    if (!SkinMng().Loaded())
        return;
    const TSkinZoneViewScrollBarStyles& styles = SkinMng().SkinZoneViewItems();
    const TSkinZoneViewScrollBarItem* item = FStyleName.isEmpty()
                                                 ? (styles.Count() > 0 ? styles.Items(0) : nullptr)
                                                 : styles.GetItem(FStyleName);
    if (item == nullptr) {
        const std::invalid_argument error(
            ("Zone view scroll bar style not found: " + FStyleName).toStdString());
        LogControlFailure(*this, error, QStringLiteral("ChangeSkinFile"));
    }
    for (int i = 0; i < KScrollBarImageCount; ++i)
        FScrollBitmaps[static_cast<size_t>(i)] =
            item != nullptr ? item->Bitmap(static_cast<TScrollBarImage>(i)) : IGPBitmap();
    RedrawAll();
}

// ---- queries --------------------------------------------------------------------------------

TZone* TSkinZoneView::GetSelected() const {
    if (FSelectedCount == 0)
        return nullptr;
    TZone* selected = nullptr;
    WalkZones(*FZones, false, [&selected](TZone* AZone) {
        if (!AZone->Selected())
            return TZoneWalk::Enter;
        selected = AZone;
        return TZoneWalk::Stop;
    });
    return selected;
}

void TSkinZoneView::GetSelectedList(std::vector<TZone*>& AList) const {
    WalkZones(*FZones, false, [&AList](TZone* AZone) {
        if (AZone->Selected())
            AList.push_back(AZone);
        return TZoneWalk::Enter;
    });
}

int TSkinZoneView::GetTotalZoneCount(bool AVisible) const {
    int count = 0;
    WalkZones(*FZones, AVisible, [&count](TZone*) {
        ++count;
        return TZoneWalk::Enter;
    });
    return count;
}

qint64 TSkinZoneView::GetTotalZoneHeight(bool AVisible) {
    LayoutZones();
    if (!AVisible)
        return FTotalHeight;
    qint64 sum = 0;
    for (const TZone* zone : FDisplayList)
        sum += zone->Height();
    return sum;
}

int TSkinZoneView::GetBlinkingZoneCount() const {
    return FBlinkingCount;
}

QString TSkinZoneView::AccessibleText() const {
    const TZone* selected = GetSelected();
    return selected != nullptr ? selected->ZoneName() : accessibleName();
}

// ---- tree-wide changes ------------------------------------------------------------------------

void TSkinZoneView::CollapseOutsideBranch(TZone* AZone) {
    std::vector<const TZone*> ancestors;
    for (const TZone* owner = AZone->ParentZone(); owner != nullptr; owner = owner->ParentZone())
        ancestors.push_back(owner);
    std::vector<std::pair<TZone*, std::weak_ptr<void>>> expanded;
    WalkZones(*FZones, false, [&](TZone* AOther) {
        if (AOther->FExpanded &&
            std::find(ancestors.begin(), ancestors.end(), AOther) == ancestors.end())
            expanded.emplace_back(AOther, AOther->Alive());
        return TZoneWalk::Enter;
    });
    for (auto& [zone, alive] : expanded) {
        if (alive.expired())
            continue;
        zone->FExpanded = false;
        zone->FDispalyChanged = true;
        FireExpandZone(zone, false);
    }
    if (!expanded.empty())
        ZonesChanged(false, true);
}

void TSkinZoneView::ClearSelectedZones() {
    if (FSelectedCount == 0)
        return;
    std::vector<std::pair<TZone*, std::weak_ptr<void>>> selected;
    const auto wanted = static_cast<std::size_t>(FSelectedCount);
    WalkZones(*FZones, false, [&selected, wanted](TZone* AZone) {
        if (AZone->FSelected)
            selected.emplace_back(AZone, AZone->Alive());
        return selected.size() < wanted ? TZoneWalk::Enter : TZoneWalk::Stop;
    });
    for (auto& [zone, alive] : selected) {
        if (alive.expired() || !zone->FSelected)
            continue;
        zone->FSelected = false;
        AdjustCounts(-1, 0, 0);
        zone->FDispalyChanged = true;
        GuardedStep(*this, QStringLiteral("ClearSelectedZones"),
                    [&] { FireSelectZone(zone, false); });
    }
    if (!selected.empty())
        ZonesChanged(true, false);
}

void TSkinZoneView::ClearMouseOver() {
    FLastMouseOverZone = nullptr;
    if (FMouseOverCount == 0)
        return;
    bool any = false;
    WalkZones(*FZones, false, [this, &any](TZone* AZone) {
        if (AZone->FMouseOver) {
            AZone->FMouseOver = false;
            AZone->FDispalyChanged = true;
            AdjustCounts(0, -1, 0);
            any = true;
        }
        return FMouseOverCount > 0 ? TZoneWalk::Enter : TZoneWalk::Stop;
    });
    if (any)
        ZonesChanged(true, false);
}

void TSkinZoneView::FireExpandZone(TZone* AZone, bool AExpanded) {
    if (OnExpandZone)
        OnExpandZone(this, AZone, AZone->FDrawRect, AExpanded);
}

void TSkinZoneView::FireSelectZone(TZone* AZone, bool ASelected) {
    if (ASelected)
        NotifyAccessibleNameChanged(this);
    if (OnSelectZone)
        OnSelectZone(this, AZone, AZone->FDrawRect, ASelected);
}

void TSkinZoneView::FireBlinkZone(TZone* AZone) {
    if (OnBlinkZone)
        OnBlinkZone(this, AZone, AZone->FDrawRect);
}

} // namespace velmora
