#pragma once

#include <QtGlobal>
#include <cstddef>
#include <vector>

namespace velmora {

class TZone;
class TZoneList;

// Thickness of a zone view's scroll bars, and the length of their arrow buttons.
inline constexpr int KZoneScrollBarSize = 17;
// Content larger than this is not laid out further, so no rectangle overflows.
inline constexpr qint64 KZoneMaxContentExtent = qint64(1) << 30;

struct TZoneLayoutParams {
    int ClientWidth = 0;
    int ClientHeight = 0;
    int MarginLeft = 1;
    int MarginTop = 1;
    int MarginRight = 1;
    int MarginBottom = 1;
    int ItemSpace = 0;
    bool FillWidth = true;
};

struct TZonePlacement {
    // Every placed zone, top to bottom; tops and bottoms both rise strictly.
    std::vector<TZone*> Visible;
    qint64 ContentWidth = 0;
    qint64 ContentHeight = 0;
    // Some zone was placed where it was not before (or newly), so kept pixels are stale.
    bool Moved = false;
    // The walk stopped at the content limit.
    bool Truncated = false;
};

struct TZoneBarsShown {
    bool Horz = false;
    bool Vert = false;
    bool operator==(const TZoneBarsShown&) const = default;
};

// The geometry of a zone view, apart from any painting.
class TZoneLayout {
public:
    // Places the zones of the tree top to bottom in content coordinates. Zones with a width or
    // height of 0 or less are left out with their subtrees; only expanded zones are entered.
    // With FillWidth, ARightInset pixels are kept free at the right (a vertical scroll bar).
    static TZonePlacement Place(const TZoneList& AZones, const TZoneLayoutParams& AParams,
                                quint64 APass, int ARightInset);
    // Moves the right edge of every placed zone by ADelta.
    static void ShiftRightEdges(const std::vector<TZone*>& AVisible, int ADelta);
    // Which bars a viewport of AClientWidth x AHeight needs for content AContentWidth x
    // AContentHeight; a bar takes room from the other direction, which can make that one
    // needed too. Equal sizes fit.
    static TZoneBarsShown DecideBars(int AClientWidth, int AHeight, qint64 AContentWidth,
                                     qint64 AContentHeight);
    // The half-open range [first, last) of AVisible that meets the rows ATop … ATop +
    // AViewportHeight - 1, found by bisection because the list is sorted.
    static std::pair<std::size_t, std::size_t> DisplayRange(const std::vector<TZone*>& AVisible,
                                                            int ATop, int AViewportHeight);
};

} // namespace velmora
