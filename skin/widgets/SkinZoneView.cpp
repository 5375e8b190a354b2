#include "skin/widgets/SkinZoneView.h"

#include "skin/data/SkinMng.h"
#include "skin/drawing/SkinEngineLog.h"
#include "skin/drawing/SkinTimer.h"
#include "skin/widgets/SkinWidgetSupport.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>
#include <stdexcept>

namespace velmora {

namespace {

constexpr int KScrollTimerInterval = 100;
constexpr int KWheelStep = 10;
constexpr int KWheelNotch = 120;

bool Contains(const TRect& ARect, const QPoint& APoint) {
    return APoint.x() >= ARect.Left && APoint.x() < ARect.Right && APoint.y() >= ARect.Top &&
           APoint.y() < ARect.Bottom;
}

QRect ToQRect(const TRect& ARect) {
    return QRect(ARect.Left, ARect.Top, ARect.Right - ARect.Left, ARect.Bottom - ARect.Top);
}

int ClampToInt(qint64 AValue) {
    return static_cast<int>(std::clamp<qint64>(AValue, 0, KZoneMaxContentExtent));
}

// Pictures of the bars, in the skin's order: horizontal left, thumb, right; vertical up,
// thumb, down.
enum TBarPicture : int { bpLow, bpThumb, bpHigh };

int PictureIndex(bool AVertical, TBarPicture APicture) {
    return (AVertical ? 3 : 0) + APicture;
}

// Marks a paint as under way for its lifetime, whatever way it ends.
class TPaintingScope {
public:
    explicit TPaintingScope(bool& AFlag) : FFlag(AFlag) { FFlag = true; }
    ~TPaintingScope() { FFlag = false; }
    TPaintingScope(const TPaintingScope&) = delete;
    TPaintingScope& operator=(const TPaintingScope&) = delete;

private:
    bool& FFlag;
};

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

template <typename TCall> void TSkinZoneView::Guarded(const QString& ATag, TCall&& ACall) {
    try {
        ACall();
    } catch (const std::exception& error) {
        LogControlFailure(*this, error, ATag);
    }
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

void TSkinZoneView::SetIdleTimerEnable(bool Value) {
    if (Value)
        OpenIdleTimer();
    else
        CloseIdleTimer();
}

void TSkinZoneView::SetIdleTimerInterval(int Value) {
    if (Value > 0)
        FIdleTimerInterval = Value;
}

void TSkinZoneView::SetBlinkTimerEnable(bool Value) {
    if (Value)
        OpenBlinkTimer();
    else
        CloseBlinkTimer();
}

void TSkinZoneView::SetBlinkTimerInterval(int Value) {
    if (Value > 0)
        FBlinkTimerInterval = Value;
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

// ---- layout ---------------------------------------------------------------------------------

void TSkinZoneView::LayoutZones() {
    const int clientWidth = width();
    const int height = this->height();
    if (FPlacementStale || FPlacedClientWidth != clientWidth) {
        const TZoneLayoutParams params{clientWidth,
                                       height,
                                       FClientMargins.Left(),
                                       FClientMargins.Top(),
                                       FClientMargins.Right(),
                                       FClientMargins.Bottom(),
                                       FItemSpace,
                                       FFillWidth};
        const int inset = FFillWidth && FVertBar.Visible() ? KZoneScrollBarSize : 0;
        TZonePlacement placement = TZoneLayout::Place(*FZones, params, ++FLayoutPass, inset);
        if (placement.Truncated) {
            const std::length_error error("Zone content exceeds the layout limit");
            LogControlFailure(*this, error, QStringLiteral("LayoutZones"));
        }
        FVisibleList = std::move(placement.Visible);
        FMaxWidth = placement.ContentWidth;
        FTotalHeight = placement.ContentHeight;
        FRedrawAll = FRedrawAll || placement.Moved;
        FPlacedRightInset = inset;
        FPlacedClientWidth = clientWidth;
        FPlacementStale = false;
    }
    if (FTotalHeight != FPrevTotalHeight)
        FRedrawAll = true;
    FPrevTotalHeight = FTotalHeight;

    const TZoneBarsShown bars =
        TZoneLayout::DecideBars(clientWidth, height, FMaxWidth, FTotalHeight);
    const int viewportWidth = bars.Vert ? clientWidth - KZoneScrollBarSize : clientWidth;
    const int viewportHeight = bars.Horz ? height - KZoneScrollBarSize : height;
    if (bars.Horz) {
        FHorzBar.Show(ClampToInt(FMaxWidth - viewportWidth), 1);
        FHorzBar.Arrange(TRect{0, height - KZoneScrollBarSize, viewportWidth, height},
                         viewportWidth, FMaxWidth);
    } else
        FHorzBar.Hide();
    if (bars.Vert) {
        // With a vertical bar the content is taller than the control, so zones were placed.
        const qint64 count = std::max<qint64>(1, static_cast<qint64>(FVisibleList.size()));
        FVertBar.Show(ClampToInt(FTotalHeight - viewportHeight), ClampToInt(FTotalHeight / count));
        FVertBar.Arrange(TRect{clientWidth - KZoneScrollBarSize, 0, clientWidth, viewportHeight},
                         viewportHeight, FTotalHeight);
    } else
        FVertBar.Hide();
    // A bar that comes or goes changes what the zone area holds (its old place, the kept
    // pixels' extent); so does a moved offset.
    if (FHorzBar.Position() != FHorzOffset || FVertBar.Position() != FVertOffset ||
        !(bars == FBarsShown))
        FRedrawAll = true;
    FBarsShown = bars;
    FHorzOffset = FHorzBar.Position();
    FVertOffset = FVertBar.Position();

    // A filled zone leaves the vertical bar its room.
    const int inset = FFillWidth && bars.Vert ? KZoneScrollBarSize : 0;
    if (inset != FPlacedRightInset) {
        TZoneLayout::ShiftRightEdges(FVisibleList, FPlacedRightInset - inset);
        FPlacedRightInset = inset;
        FRedrawAll = true;
    }

    const auto [first, last] = TZoneLayout::DisplayRange(FVisibleList, FVertOffset, viewportHeight);
    FDisplayList.assign(FVisibleList.begin() + static_cast<std::ptrdiff_t>(first),
                        FVisibleList.begin() + static_cast<std::ptrdiff_t>(last));
    if (FDisplayList.size() > FPrevDisplayCount)
        FRedrawAll = true;
    FPrevDisplayCount = FDisplayList.size();
    if (viewportHeight != FPrevViewportHeight && !FDisplayList.empty() &&
        FDisplayList.back()->DisplayRect().Bottom - FVertOffset > viewportHeight)
        FRedrawAll = true;
    FPrevViewportHeight = viewportHeight;
    FLaidOut = true;
}

// ---- painting -------------------------------------------------------------------------------

IGPBitmap TSkinZoneView::CreateSelfBufferGPBitmap() {
    IGPBitmap fresh = TSkinCustomControl::CreateSelfBufferGPBitmap();
    const IGPBitmap& previous = SelfBufferGPBitmap();
    if (!fresh || !previous)
        return fresh;
    // The zone area of the old surface comes along, so zones that need no redraw keep their
    // pixels when the control is resized.
    const int w = std::min(fresh->Width(), previous->Width() - FClientMargins.Right() -
                                               (FVertBar.Visible() ? KZoneScrollBarSize : 0));
    const int h = std::min(fresh->Height(), previous->Height() - FClientMargins.Bottom() -
                                                (FHorzBar.Visible() ? KZoneScrollBarSize : 0));
    if (w > 0 && h > 0) {
        TGPGraphics graphics(*fresh);
        graphics.CopyRect(previous->Image(), QRect(0, 0, w, h), QPoint(0, 0));
    }
    // Only what lies inside the copy is kept; a zone reaching outside it is drawn again.
    FKeptArea = QRect(0, 0, std::max(0, w), std::max(0, h));
    return fresh;
}

void TSkinZoneView::CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) {
    if (!FUpdatesEnabled || FUpdateCount > 0)
        return;
    const TPaintingScope painting(FPainting);

    LayoutZones();
    const quint64 pass = FLayoutPass;
    if (FRedrawAll)
        TSkinCustomControl::CustomPaint(Graphics, ADrawRect);
    // Without a surface of its own the view draws on the composed picture, rebuilt from the
    // background every time: every zone is drawn, and nothing may be cleared.
    const bool everything = FRedrawAll || !EnableGdiPlusBuffer();
    const quint64 version = FStructureVersion;
    const std::vector<TZone*> display = FDisplayList;
    for (TZone* zone : display) {
        bool draw = zone->FDispalyChanged || everything || zone->FSelected || zone->FMouseOver ||
                    zone->FMouseDown || zone->FBlinking || zone->FBlinkRedraw;
        const TRect& place = zone->FDisplayRect;
        zone->FDrawRect = TRect{place.Left - FHorzOffset, place.Top - FVertOffset,
                                place.Right - FHorzOffset, place.Bottom - FVertOffset};
        const TRect drawRect = zone->FDrawRect;
        if (OnPrepareDrawZone) {
            OnPrepareDrawZone(this, Graphics, zone, drawRect);
            if (StructureMoved(version))
                break;
        }
        if (drawRect.Right - drawRect.Left < zone->FNeedDisplayWidth ||
            drawRect.Bottom - drawRect.Top < zone->FNeedDisplayHeight ||
            (FKeptArea.isValid() && !FKeptArea.contains(ToQRect(drawRect).intersected(rect()))))
            draw = true;
        if (draw && OnDrawZone) {
            if (!everything) {
                QPainter& painter = Graphics.Painter();
                painter.save();
                painter.setCompositionMode(QPainter::CompositionMode_Clear);
                painter.fillRect(ToQRect(drawRect), Qt::transparent);
                painter.restore();
            }
            OnDrawZone(this, Graphics, zone, drawRect);
            if (StructureMoved(version))
                break;
        }
        zone->FBlinkRedraw = false;
        zone->FDispalyChanged = false;
    }
    if (StructureMoved(version)) {
        // A drawing event freed zones: what is on the surface may show them. Start over.
        FKeptArea = QRect();
        FRedrawAll = true;
        ZonesChanged(true, true);
        return;
    }
    if (OnDrawHead && FClientMargins.Top() > 0) {
        const TRect head{0, 0, FVertBar.Visible() ? width() - KZoneScrollBarSize : width(),
                         FClientMargins.Top()};
        QPainter& painter = Graphics.Painter();
        painter.save();
        painter.setCompositionMode(QPainter::CompositionMode_Clear);
        painter.fillRect(ToQRect(head), Qt::transparent);
        painter.restore();
        OnDrawHead(this, Graphics, head);
    }
    PaintScrollBars(Graphics);
    FKeptArea = QRect();
    // A drawing event that laid the zones out again, or asked for a full redraw, consumed
    // what this paint had already used: the next paint redraws everything.
    FRedrawAll = false;
    if (FRedrawAllPending || FLayoutPass != pass) {
        FRedrawAllPending = false;
        FRedrawAll = true;
        ZonesChanged(true, false);
    }
}

void TSkinZoneView::PaintScrollBars(TGPGraphics& Graphics) {
    QPainter& painter = Graphics.Painter();
    auto clear = [&painter](const TRect& ARect) {
        painter.save();
        painter.setCompositionMode(QPainter::CompositionMode_Clear);
        painter.fillRect(ToQRect(ARect), Qt::transparent);
        painter.restore();
    };
    for (const TZoneScrollBar* bar : {&FHorzBar, &FVertBar}) {
        if (!bar->Visible())
            continue;
        clear(bar->Bar());
        const IGPBitmap& low = FScrollBitmaps[PictureIndex(bar->Vertical(), bpLow)];
        const IGPBitmap& thumb = FScrollBitmaps[PictureIndex(bar->Vertical(), bpThumb)];
        const IGPBitmap& high = FScrollBitmaps[PictureIndex(bar->Vertical(), bpHigh)];
        // Without a skin the bar is drawn flat, so it still shows where to grab.
        if (!low || !thumb || !high) {
            Graphics.FillRectangle(0xFFE8E8E8, ToQRect(bar->Bar()));
            Graphics.FillRectangle(0xFFC8C8C8, ToQRect(bar->LowButton()));
            Graphics.FillRectangle(0xFFC8C8C8, ToQRect(bar->HighButton()));
            Graphics.FillRectangle(0xFF9A9A9A, ToQRect(bar->Thumb()));
            continue;
        }
        Graphics.DrawImage(*low, ToQRect(bar->LowButton()));
        Graphics.DrawImage(*high, ToQRect(bar->HighButton()));
        for (const TThumbSlice& slice : bar->ThumbSlices(thumb->Image().size()))
            if (!slice.Target.isEmpty())
                Graphics.DrawImage(*thumb, QRectF(slice.Target), QRectF(slice.Source));
    }
    if (FHorzBar.Visible() && FVertBar.Visible())
        clear(
            TRect{width() - KZoneScrollBarSize, height() - KZoneScrollBarSize, width(), height()});
}

void TSkinZoneView::AppendPaint(TGPGraphics& Graphics, const TGPRect&) {
    if (!OnAppendDrawZone)
        return;
    // Requests made by the append handlers are queued like those of the drawing events.
    const TPaintingScope painting(FPainting);
    const quint64 version = FStructureVersion;
    const std::vector<TZone*> display = FDisplayList;
    for (TZone* zone : display) {
        OnAppendDrawZone(this, Graphics, zone, zone->FDrawRect);
        if (StructureMoved(version))
            return;
    }
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

TRect TSkinZoneView::HitRect(TZone* AZone) {
    const TRect& place = AZone->FDisplayRect;
    TRect rect{place.Left - FHorzOffset, place.Top - FVertOffset, place.Right - FHorzOffset,
               place.Bottom - FVertOffset};
    if (OnAdjustZoneRect)
        OnAdjustZoneRect(this, AZone, rect);
    return rect;
}

TZone* TSkinZoneView::DisplayedZoneAt(const QPoint& APoint, bool ALast) {
    const quint64 version = FStructureVersion;
    const std::vector<TZone*> display = FDisplayList;
    TZone* found = nullptr;
    for (TZone* zone : display) {
        const bool hit = Contains(HitRect(zone), APoint);
        if (StructureMoved(version))
            return nullptr;
        if (hit) {
            found = zone;
            if (!ALast)
                break;
        }
    }
    return found;
}

void TSkinZoneView::EnsureLaidOut() {
    if (!FLaidOut || FPlacementStale)
        LayoutZones();
}

TZone* TSkinZoneView::GetZoneFromPoint(int X, int Y) {
    EnsureLaidOut();
    return DisplayedZoneAt(QPoint(X, Y), false);
}

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

IGPBitmap TSkinZoneView::GetZoneBitmap(TZone* AZone) {
    if (AZone == nullptr ||
        std::find(FDisplayList.begin(), FDisplayList.end(), AZone) == FDisplayList.end())
        return nullptr;
    const int w = FFillWidth ? width() - (FVertBar.Visible() ? KZoneScrollBarSize : 0) -
                                   FClientMargins.Left() - FClientMargins.Right()
                             : AZone->Width();
    const int h = AZone->Height();
    if (w <= 0 || h <= 0)
        return nullptr;
    IGPBitmap bitmap = NewGPBitmap(w, h);
    if (!BufferBitmap().isNull()) {
        TGPGraphics graphics(*bitmap);
        graphics.CopyRect(BufferBitmap(),
                          QRect(AZone->DrawRect().Left, AZone->DrawRect().Top, w, h), QPoint(0, 0));
    }
    return bitmap;
}

QString TSkinZoneView::AccessibleText() const {
    const TZone* selected = GetSelected();
    return selected != nullptr ? selected->ZoneName() : accessibleName();
}

bool TSkinZoneView::PtInVertScrollBar(const QPoint& APoint) const {
    return FVertBar.Visible() && APoint.x() >= width() - KZoneScrollBarSize &&
           APoint.x() < width() && APoint.y() >= 0 && APoint.y() < height();
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
        Guarded(QStringLiteral("ClearSelectedZones"), [&] { FireSelectZone(zone, false); });
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

// ---- mouse and keys -------------------------------------------------------------------------

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
        const bool hit = Contains(HitRect(zone), FLastMousePos);
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

void TSkinZoneView::UpdateMouseOver(const QPoint& APoint) {
    if (FLastMouseOverZone != nullptr) {
        TZone* last = FLastMouseOverZone;
        const quint64 version = FStructureVersion;
        const bool still = Contains(HitRect(last), APoint);
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

bool TSkinZoneView::OnScrollBar(const QPoint& APoint) const {
    return FHorzBar.PartAt(APoint) != zspNone || FVertBar.PartAt(APoint) != zspNone;
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

// ---- hover, leave, focus and timers ---------------------------------------------------------

void TSkinZoneView::enterEvent(QEnterEvent* event) {
    TSkinCustomControl::enterEvent(event);
    FMouseInView = true;
    if (FEnableHover && !FEnterHoverTimer->IsActive()) {
        FEnterHoverTimer->SetInterval(std::max(1, FHoverInterval));
        FEnterHoverTimer->Start();
    }
}

void TSkinZoneView::EnterHoverTimerTick() {
    FEnterHoverTimer->Stop();
    if (!FMouseInView)
        return;
    FHovered = true;
    Guarded(QStringLiteral("OnEnterHoverTimerTimer"), [this] {
        if (OnMouseEnterHover)
            OnMouseEnterHover(this);
    });
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

void TSkinZoneView::LeaveHoverTimerTick() {
    FLeaveHoverTimer->Stop();
    Guarded(QStringLiteral("OnLeaveHoverTimerTimer"), [this] {
        if (OnMouseLeaveHover)
            OnMouseLeaveHover(this);
    });
}

void TSkinZoneView::focusOutEvent(QFocusEvent* event) {
    TSkinCustomControl::focusOutEvent(event);
    if (!underMouse())
        ClearMouseOver();
    Guarded(QStringLiteral("WMActivate"), [this] {
        if (OnDeActive)
            OnDeActive(this);
    });
}

void TSkinZoneView::BlinkTimerTick() {
    for (TZone* zone : FDisplayList)
        if (zone->FBlinking)
            zone->SetBlinkRedraw(true);
    RepaintSelfImage();
}

} // namespace velmora
