#include "skin/widgets/ZoneScrollBar.h"

#include "skin/widgets/ZoneLayout.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

// A vertical bar of ALength pixels at the right of a 300-wide view.
TZoneScrollBar VerticalBar(int ALength, qint64 AContent, int AMax, int APosition = 0) {
    TZoneScrollBar bar(true);
    bar.Show(AMax, 60);
    bar.ScrollBy(APosition);
    bar.Arrange(TRect{283, 0, 300, ALength}, ALength, AContent);
    return bar;
}

TEST(ZoneScrollBarTest, ThumbIsProportionalButNeverShorterThanTwentyTwo) {
    EXPECT_EQ(VerticalBar(200, 400, 200).ThumbLength(), 200 * (200 - 34) / 400);
    const TZoneScrollBar huge = VerticalBar(200, 10'000'000, 9'999'800);
    EXPECT_EQ(huge.ThumbLength(), KZoneMinThumbLength);
    EXPECT_EQ(huge.TrackLength(), 200 - 34 - KZoneMinThumbLength);
}

TEST(ZoneScrollBarTest, ThumbRunsFromJustAfterTheTopButtonToTheBottomButton) {
    const TZoneScrollBar top = VerticalBar(200, 400, 200, 0);
    EXPECT_EQ(top.Thumb().Top, top.LowButton().Bottom + 1);
    const TZoneScrollBar bottom = VerticalBar(200, 400, 200, 200);
    EXPECT_EQ(bottom.ThumbOffset(), bottom.TrackLength());
    EXPECT_EQ(bottom.Thumb().Bottom, bottom.HighButton().Top);
    EXPECT_EQ(bottom.PartAt(QPoint(290, bottom.Thumb().Top + 2)), zspThumb);
    EXPECT_EQ(bottom.PartAt(QPoint(290, 5)), zspLowButton);
    EXPECT_EQ(bottom.PartAt(QPoint(290, 195)), zspHighButton);
    EXPECT_EQ(bottom.PartAt(QPoint(290, 30)), zspTrack);
    EXPECT_EQ(bottom.PartAt(QPoint(280, 30)), zspNone);
}

TEST(ZoneScrollBarTest, DraggingMapsTheThumbOntoTheRangeAndClampsAtBothEnds) {
    TZoneScrollBar bar = VerticalBar(200, 400, 200);
    const int grab = bar.Thumb().Top + 5;
    bar.BeginDrag(QPoint(290, grab));
    EXPECT_TRUE(bar.DragTo(grab + bar.TrackLength() / 2));
    EXPECT_EQ(bar.Position(), bar.TrackLength() / 2 * 200 / bar.TrackLength());
    EXPECT_TRUE(bar.DragTo(5000));
    EXPECT_EQ(bar.Position(), 200);
    EXPECT_TRUE(bar.DragTo(-5000));
    EXPECT_EQ(bar.Position(), 0);
}

TEST(ZoneScrollBarTest, NoRangeOrNoTrackLeavesTheThumbAtItsStartAndTheDragInert) {
    // Content one bar thicker than the viewport: a range of 0.
    TZoneScrollBar flat = VerticalBar(200, 217, 0);
    EXPECT_EQ(flat.ThumbOffset(), 0);
    flat.BeginDrag(QPoint(290, flat.Thumb().Top + 1));
    EXPECT_FALSE(flat.DragTo(150));
    EXPECT_EQ(flat.Position(), 0);

    // A bar too short for its buttons and a thumb.
    TZoneScrollBar shortBar = VerticalBar(50, 5000, 4950, 100);
    EXPECT_EQ(shortBar.ThumbLength(), 0);
    EXPECT_EQ(shortBar.TrackLength(), 0);
    EXPECT_EQ(shortBar.ThumbOffset(), 0);
    shortBar.BeginDrag(QPoint(290, 25));
    EXPECT_FALSE(shortBar.DragTo(40));
    EXPECT_EQ(shortBar.Position(), 100);
    EXPECT_TRUE(shortBar.ScrollBy(60)); // the arrows still work
    // Without a thumb the track pages towards the side of its middle the pointer is on.
    EXPECT_EQ(shortBar.PageDirection(QPoint(290, 20)), -1);
    EXPECT_EQ(shortBar.PageDirection(QPoint(290, 30)), 1);
}

TEST(ZoneScrollBarTest, ThumbPictureSlicesCoverTheThumbEdgeToEdgeWithTheGripInTheMiddle) {
    const TZoneScrollBar bar = VerticalBar(300, 600, 300, 150);
    const auto slices = bar.ThumbSlices(QSize(17, 40));
    EXPECT_EQ(slices[0].Target.top(), bar.Thumb().Top);
    for (int i = 0; i + 1 < 5; ++i)
        EXPECT_EQ(slices[i].Target.bottom() + 1, slices[i + 1].Target.top()) << i;
    EXPECT_EQ(slices[4].Target.bottom() + 1, bar.Thumb().Bottom);
    EXPECT_EQ(slices[0].Source, QRect(0, 0, 17, 3));
    EXPECT_EQ(slices[2].Source, QRect(0, 15, 17, 10));
    EXPECT_EQ(slices[4].Source, QRect(0, 37, 17, 3));
    const int middle = (bar.Thumb().Top + bar.Thumb().Bottom) / 2;
    EXPECT_LE(std::abs(slices[2].Target.center().y() - middle), 1);
}

} // namespace
} // namespace velmora::testing
