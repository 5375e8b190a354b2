#include "skin/widgets/ZoneLayout.h"

#include "skin/widgets/Zone.h"
#include "skin/widgets/ZoneList.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

// A zone a descendant class made with no width: it takes no room.
class TZeroWidthZone : public TZone {
public:
    TZeroWidthZone() { FWidth = 0; }
};

struct TBarsCase {
    int ClientWidth, Height;
    qint64 ContentWidth, ContentHeight;
    bool Horz, Vert;
};

TEST(ZoneLayoutTest, BarsShowWhereContentOverflowsIncludingTheRoomTheOtherBarTakes) {
    const TBarsCase cases[] = {
        {100, 100, 50, 50, false, false},
        {100, 100, 100, 100, false, false}, // equal sizes fit
        {100, 100, 150, 150, true, true},
        {100, 100, 0, 150, false, true},  // filled width never needs a horizontal bar
        {100, 100, 90, 150, true, true},  // the vertical bar covers the last 17 pixels
        {100, 100, 100, 150, true, true}, // as wide as the view: still needs to scroll down
        {100, 100, 150, 50, true, false},
        {100, 100, 150, 90, true, true},
        {100, 100, 150, 100, true, true}, // as tall as the view: still needs to scroll right
    };
    for (const TBarsCase& c : cases) {
        const TZoneBarsShown bars =
            TZoneLayout::DecideBars(c.ClientWidth, c.Height, c.ContentWidth, c.ContentHeight);
        EXPECT_EQ(bars.Horz, c.Horz) << c.ContentWidth << " x " << c.ContentHeight;
        EXPECT_EQ(bars.Vert, c.Vert) << c.ContentWidth << " x " << c.ContentHeight;
    }
}

TEST(ZoneLayoutTest, ZonesStackWithMarginsAndItemSpaceAndSizelessSubtreesAreLeftOut) {
    TZoneList zones(nullptr, nullptr);
    zones.Add();
    TZone* hidden = zones.AddZone(std::make_unique<TZeroWidthZone>());
    hidden->SetExpanded(true);
    hidden->ChildZones().Add();
    zones.Add();
    TZone* last = zones.Add();
    last->ChildZones().Add(); // collapsed: not placed

    const TZoneLayoutParams params{300, 400, 1, 1, 1, 1, 4, true};
    const TZonePlacement placement = TZoneLayout::Place(zones, params, 1, 0);
    ASSERT_EQ(placement.Visible.size(), 3u);
    EXPECT_EQ(placement.ContentHeight, 1 + 60 + 4 + 60 + 4 + 60 + 1);
    EXPECT_EQ(placement.Visible[0]->DisplayRect(), (TRect{1, 1, 299, 61}));
    EXPECT_EQ(placement.Visible[1]->DisplayRect(), (TRect{1, 65, 299, 125}));
    EXPECT_EQ(placement.Visible[2], last);
    EXPECT_EQ(last->DisplayRect(), (TRect{1, 129, 299, 189}));

    // Fixed widths: the content is as wide as the widest zone plus both margins.
    zones.Items(0)->SetWidth(500);
    const TZonePlacement fixed =
        TZoneLayout::Place(zones, TZoneLayoutParams{300, 400, 3, 1, 2, 1, 0, false}, 2, 0);
    EXPECT_EQ(fixed.ContentWidth, 3 + 500 + 2);
    EXPECT_EQ(fixed.Visible[1]->DisplayRect(), (TRect{3, 61, 203, 121}));
}

TEST(ZoneLayoutTest, DisplayRangeFindsExactlyTheZonesMeetingTheViewport) {
    TZoneList zones(nullptr, nullptr);
    for (int i = 0; i < 1000; ++i)
        zones.Add();
    const TZonePlacement placement =
        TZoneLayout::Place(zones, TZoneLayoutParams{300, 200, 1, 1, 1, 1, 0, true}, 1, 0);
    // Zone i covers rows 1 + 60 i … 60 + 60 i.
    const auto [first, last] = TZoneLayout::DisplayRange(placement.Visible, 121, 200);
    EXPECT_EQ(first, 1u); // its bottom (121, exclusive) still counts as reaching the top
    EXPECT_EQ(last, 6u);  // zone 5 starts at 301 < 321; zone 6 at 361
    const auto [none, stillNone] = TZoneLayout::DisplayRange(placement.Visible, 70000, 200);
    EXPECT_EQ(none, stillNone);
}

TEST(ZoneLayoutTest, ContentBeyondTheLimitStopsTheLayoutInsteadOfOverflowing) {
    TZoneList zones(nullptr, nullptr);
    for (int i = 0; i < 4; ++i)
        zones.Add()->SetHeight(1 << 29);
    const TZonePlacement placement =
        TZoneLayout::Place(zones, TZoneLayoutParams{300, 200, 1, 1, 1, 1, 0, true}, 1, 0);
    EXPECT_TRUE(placement.Truncated);
    ASSERT_EQ(placement.Visible.size(), 1u);
    EXPECT_LE(placement.ContentHeight, KZoneMaxContentExtent);
}

} // namespace
} // namespace velmora::testing
