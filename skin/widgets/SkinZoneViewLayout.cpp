#include "skin/widgets/SkinWidgetSupport.h"
#include "skin/widgets/SkinZoneView.h"

#include <algorithm>
#include <stdexcept>

// Where the view's zones and bars are: the placement walk, the per-paint bar and display
// steps, and the hit test that hover, presses, clicks and popups share.

namespace velmora {

namespace {

int ClampToInt(qint64 AValue) {
    return static_cast<int>(std::clamp<qint64>(AValue, 0, KZoneMaxContentExtent));
}

} // namespace

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

TRect TSkinZoneView::HitRect(TZone* AZone) {
    const TRect& place = AZone->FDisplayRect;
    TRect rect{place.Left - FHorzOffset, place.Top - FVertOffset, place.Right - FHorzOffset,
               place.Bottom - FVertOffset};
    if (OnAdjustZoneRect)
        OnAdjustZoneRect(this, AZone, rect);
    return rect;
}

bool TSkinZoneView::HitsZone(TZone* AZone, const QPoint& APoint) {
    const TRect rect = HitRect(AZone);
    return APoint.x() >= rect.Left && APoint.x() < rect.Right && APoint.y() >= rect.Top &&
           APoint.y() < rect.Bottom;
}

TZone* TSkinZoneView::DisplayedZoneAt(const QPoint& APoint, bool ALast) {
    const quint64 version = FStructureVersion;
    const std::vector<TZone*> display = FDisplayList;
    TZone* found = nullptr;
    for (TZone* zone : display) {
        const bool hit = HitsZone(zone, APoint);
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

bool TSkinZoneView::PtInVertScrollBar(const QPoint& APoint) const {
    return FVertBar.Visible() && APoint.x() >= width() - KZoneScrollBarSize &&
           APoint.x() < width() && APoint.y() >= 0 && APoint.y() < height();
}

bool TSkinZoneView::OnScrollBar(const QPoint& APoint) const {
    return FHorzBar.PartAt(APoint) != zspNone || FVertBar.PartAt(APoint) != zspNone;
}

} // namespace velmora
