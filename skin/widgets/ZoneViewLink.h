#pragma once

#include <QtGlobal>

namespace velmora {

class TSkinZoneView;
class TZone;

// What zones and zone lists ask of the view they belong to. The view implements it, so the
// zone model never depends on the control that shows it.
class IZoneViewLink {
public:
    virtual TSkinZoneView* LinkedView() = 0;
    // Which placement of the view the zones' places belong to.
    virtual quint64 LayoutPass() const = 0;
    virtual bool MultiExpand() const = 0;
    virtual bool MultiSelect() const = 0;

    virtual void ZoneDestroyed(TZone* AZone) = 0;
    // A zone or list changed: with ARepaint the view redraws, with ARelayout it places the
    // zones again.
    virtual void ZonesChanged(bool ARepaint, bool ARelayout) = 0;
    // Selected, hovered and blinking zones were added (positive) or taken away (negative).
    virtual void AdjustCounts(int ASelected, int AMouseOver, int ABlinking) = 0;
    virtual void CountSubtree(const TZone& AZone, int ASign) = 0;

    virtual void CollapseOutsideBranch(TZone* AZone) = 0;
    virtual void ClearSelectedZones() = 0;
    virtual void ClearMouseOver() = 0;
    virtual void FireExpandZone(TZone* AZone, bool AExpanded) = 0;
    virtual void FireSelectZone(TZone* AZone, bool ASelected) = 0;
    virtual void FireBlinkZone(TZone* AZone) = 0;

protected:
    ~IZoneViewLink() = default;
};

} // namespace velmora
