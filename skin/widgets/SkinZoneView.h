#pragma once

#include "skin/controls/SkinControl.h"
#include "skin/widgets/ClientMargins.h"
#include "skin/widgets/SkinWidgetSupport.h"
#include "skin/widgets/Zone.h"
#include "skin/widgets/ZoneLayout.h"
#include "skin/widgets/ZoneList.h"
#include "skin/widgets/ZoneScrollBar.h"
#include "skin/widgets/ZoneViewLink.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace velmora {

class TSkinTimer;
class TSkinZoneView;

using TZoneDrawEvent = std::function<void(TSkinZoneView* ASender, TGPGraphics& AGraphics,
                                          TZone* AZone, const TRect& ADrawRect)>;
using TZoneHeadDrawEvent =
    std::function<void(TSkinZoneView* ASender, TGPGraphics& AGraphics, const TRect& ADrawRect)>;
// Clicks, double clicks, popups and blinking; a client popup has no zone and an empty rect.
using TZoneNotifyEvent =
    std::function<void(TSkinZoneView* ASender, TZone* AZone, const TRect& AZoneRect)>;
using TZoneSelectEvent = std::function<void(TSkinZoneView* ASender, TZone* AZone,
                                            const TRect& AZoneRect, bool ASelected)>;
using TZoneExpandEvent = std::function<void(TSkinZoneView* ASender, TZone* AZone,
                                            const TRect& AZoneRect, bool AExpanded)>;
using TZoneAdjustRectEvent =
    std::function<void(TSkinZoneView* ASender, TZone* AZone, TRect& AZoneRect)>;
using TZoneMouseMoveEvent = std::function<void(TSkinZoneView* ASender, TZone* AZone, int X, int Y)>;
using TZoneViewEvent = std::function<void(TSkinZoneView* ASender)>;

// A skinned, owner-drawn, scrollable column of zones, each of which may hold child zones
// shown below it while it is expanded. The view lays out, scrolls, hit-tests and tracks
// hover, presses, selection, expansion and blinking; it draws no zone itself but raises
// drawing events for the zones that need it, keeps the pixels of the others between paints,
// and paints its own skinned scroll bars.
class TSkinZoneView : public TSkinCustomControl, public ISkinAccessible, private IZoneViewLink {
public:
    explicit TSkinZoneView(QWidget* parent = nullptr);
    ~TSkinZoneView() override;

    QString ClassName() const override { return QStringLiteral("TSkinZoneView"); }

    TZoneList& Zones() { return *FZones; }
    const TZoneList& Zones() const { return *FZones; }
    TClientMargins& ClientMargins() { return FClientMargins; }

    int ItemSpace() const { return FItemSpace; }
    // Negative values are stored as 0, so zones never overlap.
    void SetItemSpace(int Value);
    bool FillWidth() const { return FFillWidth; }
    void SetFillWidth(bool Value);
    bool MultiSelect() const override { return FMultiSelect; }
    void SetMultiSelect(bool Value) { FMultiSelect = Value; }
    bool MultiExpand() const override { return FMultiExpand; }
    void SetMultiExpand(bool Value) { FMultiExpand = Value; }
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value) { FHideSelection = Value; }
    const QString& StyleName() const { return FStyleName; }
    void SetStyleName(const QString& Value);
    bool EnableWheelInSelf() const { return FEnableWheelInSelf; }
    void SetEnableWheelInSelf(bool Value) { FEnableWheelInSelf = Value; }
    bool EnableHover() const { return FEnableHover; }
    void SetEnableHover(bool Value) { FEnableHover = Value; }
    int HoverInterval() const { return FHoverInterval; }
    void SetHoverInterval(int Value) { FHoverInterval = Value; }

    // Interval writes take effect only while no timer exists.
    bool IdleTimerEnable() const { return FIdleTimerEnable; }
    void SetIdleTimerEnable(bool Value);
    int IdleTimerInterval() const { return FIdleTimerInterval; }
    void SetIdleTimerInterval(int Value);
    bool BlinkTimerEnable() const { return FBlinkTimerEnable; }
    void SetBlinkTimerEnable(bool Value);
    int BlinkTimerInterval() const { return FBlinkTimerInterval; }
    void SetBlinkTimerInterval(int Value);
    void OpenIdleTimer();
    void CloseIdleTimer();
    void OpenBlinkTimer();
    void CloseBlinkTimer();

    bool HorzScrollVisible() const { return FHorzBar.Visible(); }
    bool VertScrollVisible() const { return FVertBar.Visible(); }
    const TZoneScrollBar& VertScrollBar() const { return FVertBar; }
    // The view is in the hovered state (the pointer rested on it for HoverInterval).
    bool Hovered() const { return FHovered; }

    // Counted; while above 0 the zones are not painted. Reaching 0 repaints.
    void BeginUpdate();
    void EndUpdate();
    // Re-enables updates, forgets any BeginUpdate and repaints.
    void Repaint();
    void RedrawView() { Repaint(); }
    // Repaints every displayed zone, not only the changed ones: for a drawer whose looks
    // changed (a new skin, other fonts).
    void RedrawAll();

    // Lays the zones out now (a paint does it anyway).
    void LayoutZones();
    const std::vector<TZone*>& VisibleZones() const { return FVisibleList; }
    const std::vector<TZone*>& DisplayZones() const { return FDisplayList; }
    // Which placement the zones' places belong to.
    quint64 LayoutPass() const override { return FLayoutPass; }

    TZone* GetZoneFromPoint(int X, int Y);
    TZone* GetZoneFromPoint(const QPoint& APoint) {
        return GetZoneFromPoint(APoint.x(), APoint.y());
    }
    TZone* GetSelected() const;
    void GetSelectedList(std::vector<TZone*>& AList) const;
    int GetTotalZoneCount(bool AVisible) const;
    qint64 GetTotalZoneHeight(bool AVisible);
    // The zones that blink, at every level.
    int GetBlinkingZoneCount() const;
    // A copy of the zone's pixels from the view's buffer; null for a zone not shown.
    IGPBitmap GetZoneBitmap(TZone* AZone);
    bool PtInVertScrollBar(const QPoint& APoint) const;

    TZoneViewEvent OnDeActive;
    TZoneViewEvent OnMouseEnterHover;
    TZoneViewEvent OnMouseLeaveHover;
    TZoneMouseMoveEvent OnMouseMoveZone;
    TZoneHeadDrawEvent OnDrawHead;
    TZoneDrawEvent OnDrawZone;
    TZoneDrawEvent OnAppendDrawZone;
    TZoneDrawEvent OnPrepareDrawZone;
    TZoneNotifyEvent OnClickZone;
    TZoneNotifyEvent OnDblClickZone;
    TZoneSelectEvent OnSelectZone;
    TZoneExpandEvent OnExpandZone;
    TZoneNotifyEvent OnZonePopup;
    TZoneNotifyEvent OnClientPopup;
    TZoneViewEvent OnIdleTimer;
    TZoneAdjustRectEvent OnAdjustZoneRect;
    TZoneNotifyEvent OnBlinkZone;

    void Click() override;

    // A list to assistive technology, named by its selected zone.
    QAccessible::Role AccessibleRole() const override { return QAccessible::List; }
    QString AccessibleText() const override;

protected:
    void CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) override;
    void AppendPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) override;
    IGPBitmap CreateSelfBufferGPBitmap() override;
    void ChangeSkinFile() override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // The zones' side of the view.
    TSkinZoneView* LinkedView() override { return this; }
    void ZoneDestroyed(TZone* AZone) override;
    void ZonesChanged(bool ARepaint, bool ARelayout) override;
    void AdjustCounts(int ASelected, int AMouseOver, int ABlinking) override;
    void CountSubtree(const TZone& AZone, int ASign) override;
    void CollapseOutsideBranch(TZone* AZone) override;
    void ClearSelectedZones() override;
    void ClearMouseOver() override;
    void FireExpandZone(TZone* AZone, bool AExpanded) override;
    void FireSelectZone(TZone* AZone, bool ASelected) override;
    void FireBlinkZone(TZone* AZone) override;

    // Input answers for the zones as they are now, not as they were at the last paint.
    void EnsureLaidOut();
    // The zone's draw rectangle after OnAdjustZoneRect.
    TRect HitRect(TZone* AZone);
    // Whether the point lies on the zone: the one test hover, presses, clicks and popups use.
    bool HitsZone(TZone* AZone, const QPoint& APoint);
    // The displayed zone whose adjusted rectangle holds the point: the first, or the last.
    TZone* DisplayedZoneAt(const QPoint& APoint, bool ALast);
    void UpdateMouseOver(const QPoint& APoint);
    // Scrolls a bar; repaints when the position moved.
    void ScrollBar(TZoneScrollBar& ABar, int ADelta);
    // A press on a shown bar: marks, steps, pages or starts a drag. False when not on it.
    bool PressBar(TZoneScrollBar& ABar, const QPoint& APoint);
    // One step of an arrow, or a page of the track, towards APoint.
    void StepBar(TZoneScrollBar& ABar, TZoneScrollPart APart, const QPoint& APoint);
    bool OnScrollBar(const QPoint& APoint) const;
    void DblClick(TZone* AZone);
    void PaintScrollBars(TGPGraphics& Graphics);
    void ScrollTimerTick();
    void BlinkTimerTick();
    void EnterHoverTimerTick();
    void LeaveHoverTimerTick();
    // The structure changed while an event ran: stop using pointers taken before it.
    bool StructureMoved(quint64 AVersion) const { return AVersion != FStructureVersion; }

    std::unique_ptr<TZoneList> FZones;
    TClientMargins FClientMargins;
    int FItemSpace = 0;
    bool FFillWidth = true;
    bool FMultiSelect = false;
    bool FMultiExpand = true;
    bool FHideSelection = true;
    bool FEnableWheelInSelf = false;
    bool FEnableHover = false;
    int FHoverInterval = 1000;
    bool FIdleTimerEnable = false;
    int FIdleTimerInterval = 1000;
    bool FBlinkTimerEnable = false;
    int FBlinkTimerInterval = 250;
    QString FStyleName;

    int FUpdateCount = 0;
    bool FUpdatesEnabled = true;
    bool FLaidOut = false;
    bool FPlacementStale = true;
    bool FRedrawAll = true;
    bool FPainting = false;
    bool FRedrawAllPending = false;
    TZoneBarsShown FBarsShown;
    // While valid, the part of a new surface that holds the old one's pixels.
    QRect FKeptArea;
    quint64 FLayoutPass = 0;
    // Raised whenever zones are added, removed or reordered.
    quint64 FStructureVersion = 0;
    int FSelectedCount = 0;
    int FMouseOverCount = 0;
    int FBlinkingCount = 0;
    std::vector<TZone*> FVisibleList;
    std::vector<TZone*> FDisplayList;
    std::size_t FPrevDisplayCount = 0;
    qint64 FMaxWidth = 0;
    qint64 FTotalHeight = 0;
    qint64 FPrevTotalHeight = -1;
    int FPrevViewportHeight = -1;
    int FPlacedClientWidth = -1;
    int FPlacedRightInset = 0;
    int FHorzOffset = 0;
    int FVertOffset = 0;
    TZone* FLastMouseOverZone = nullptr;
    TZone* FPressedZone = nullptr;
    bool FMouseInView = false;
    bool FHovered = false;
    QPoint FLastMousePos;
    int FWheelRemainder = 0;

    TZoneScrollBar FHorzBar{false};
    TZoneScrollBar FVertBar{true};
    std::array<IGPBitmap, 6> FScrollBitmaps;

    std::unique_ptr<TSkinTimer> FScrollTimer;
    std::unique_ptr<TSkinTimer> FIdleTimer;
    std::unique_ptr<TSkinTimer> FBlinkTimer;
    std::unique_ptr<TSkinTimer> FEnterHoverTimer;
    std::unique_ptr<TSkinTimer> FLeaveHoverTimer;
};

} // namespace velmora
