#include "skin/widgets/ZoneLayout.h"

#include "skin/widgets/Zone.h"
#include "skin/widgets/ZoneList.h"

#include <algorithm>

namespace velmora {

TZonePlacement TZoneLayout::Place(const TZoneList& AZones, const TZoneLayoutParams& AParams,
                                  quint64 APass, int ARightInset) {
    TZonePlacement result;
    result.ContentWidth = AParams.FillWidth ? 0 : qint64(AParams.MarginLeft) + AParams.MarginRight;
    result.ContentHeight = qint64(AParams.MarginTop) + AParams.MarginBottom;
    const qint64 fillRight = qint64(AParams.ClientWidth) - AParams.MarginRight - ARightInset;
    qint64 previousBottom = -1;
    WalkZones(AZones, true, [&](TZone* AZone) {
        // The walk enters only expanded zones, so a zone reached here is visible.
        if (AZone->FWidth <= 0 || AZone->FHeight <= 0)
            return TZoneWalk::Skip;
        const qint64 left = AParams.MarginLeft;
        const qint64 top =
            previousBottom < 0 ? AParams.MarginTop : previousBottom + AParams.ItemSpace;
        const qint64 right = AParams.FillWidth ? fillRight : left + AZone->FWidth;
        const qint64 bottom = top + AZone->FHeight;
        if (bottom > KZoneMaxContentExtent || right > KZoneMaxContentExtent) {
            result.Truncated = true;
            return TZoneWalk::Stop;
        }
        const TRect place{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
                          static_cast<int>(bottom)};
        if (AZone->FLayoutPass + 1 != APass || place != AZone->FDisplayRect)
            result.Moved = true;
        AZone->FDisplayRect = place;
        AZone->FLayoutPass = APass;
        AZone->FDisplayIndex = static_cast<int>(result.Visible.size());
        result.Visible.push_back(AZone);
        if (!AParams.FillWidth)
            result.ContentWidth =
                std::max(result.ContentWidth,
                         qint64(AParams.MarginLeft) + AZone->FWidth + AParams.MarginRight);
        result.ContentHeight += AZone->FHeight + (previousBottom < 0 ? 0 : AParams.ItemSpace);
        previousBottom = bottom;
        return TZoneWalk::Enter;
    });
    return result;
}

void TZoneLayout::ShiftRightEdges(const std::vector<TZone*>& AVisible, int ADelta) {
    for (TZone* zone : AVisible)
        zone->FDisplayRect.Right += ADelta;
}

TZoneBarsShown TZoneLayout::DecideBars(int AClientWidth, int AHeight, qint64 AContentWidth,
                                       qint64 AContentHeight) {
    const bool wide = AClientWidth < AContentWidth;
    const bool tall = AHeight < AContentHeight;
    if (wide && tall)
        return {true, true};
    if (tall)
        return {AContentWidth >= AClientWidth - KZoneScrollBarSize, true};
    if (wide)
        return {true, AContentHeight >= AHeight - KZoneScrollBarSize};
    return {};
}

std::pair<std::size_t, std::size_t> TZoneLayout::DisplayRange(const std::vector<TZone*>& AVisible,
                                                              int ATop, int AViewportHeight) {
    const auto first =
        std::partition_point(AVisible.begin(), AVisible.end(), [ATop](const TZone* AZone) {
            return AZone->DisplayRect().Bottom < ATop;
        });
    const qint64 limit = qint64(ATop) + AViewportHeight;
    const auto last = std::partition_point(first, AVisible.end(), [limit](const TZone* AZone) {
        return AZone->DisplayRect().Top < limit;
    });
    return {static_cast<std::size_t>(first - AVisible.begin()),
            static_cast<std::size_t>(last - AVisible.begin())};
}

} // namespace velmora
