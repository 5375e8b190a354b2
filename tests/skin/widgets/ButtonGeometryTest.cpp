#include "skin/widgets/ButtonGeometry.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

// The wizard's 17-pixel boxes: the outline on the square's first pixel and the one after its
// last, the gradient on x 1-14, the window-coloured inside on x 2-13, the mark within x 4-12.
TEST(ButtonGeometryTest, ASquareOnlyBoxPlacesItsPartsWhereTheyAreDescribed) {
    const TCheckBoxGeometry hovered = CheckBoxGeometry(TGPRect{0, 0, 17, 17}, 17, 15, true);
    EXPECT_EQ(hovered.Square, QRect(0, 1, 15, 15));
    EXPECT_EQ(hovered.Frame, QRect(1, 2, 14, 14));
    EXPECT_EQ(hovered.GradientSpan, hovered.Frame);
    EXPECT_EQ(hovered.Inside, QRect(2, 3, 12, 12));
    EXPECT_EQ(hovered.Mark[0].p1().x(), 4);
    EXPECT_EQ(hovered.Mark[1].p2().x(), 12);
    const TCheckBoxGeometry idle = CheckBoxGeometry(TGPRect{0, 0, 17, 17}, 17, 15, false);
    EXPECT_EQ(idle.Frame, hovered.Frame); // only the gradient runs one pixel higher
    EXPECT_EQ(idle.GradientSpan, hovered.Frame.translated(0, -1));
    EXPECT_EQ(idle.Caption, QPoint(18, 1));
}

TEST(ButtonGeometryTest, TheFocusCueHugsTheCaptionWhereOneShowsElseTheBox) {
    // A 200-pixel box with a 48 x 12 caption: around the caption, two pixels of air.
    EXPECT_EQ(CheckBoxCueRect(QSize(200, 20), 15, QSize(48, 12)), QRect(16, 0, 52, 16));
    // Square only: no room for a caption, the cue goes around the box.
    EXPECT_EQ(CheckBoxCueRect(QSize(17, 17), 15, QSize(48, 12)), QRect(0, 0, 17, 17));
    EXPECT_EQ(CheckBoxCueRect(QSize(200, 20), 15, QSize()), QRect(0, 0, 200, 20));
    // A caption wider than the box is cut at its edge, never drawn outside.
    EXPECT_EQ(CheckBoxCueRect(QSize(60, 20), 15, QSize(100, 12)).right(), 59);
    EXPECT_EQ(CheckBoxSizeFor(15, QSize(48, 12)), QSize(66, 17));
}

TEST(ButtonGeometryTest, ACaptionSitsTwoPixelsBelowTheMiddleAndTheButtonGrowsToShowIt) {
    const TGPRect rect = ButtonCaptionRect(TGPRect{0, 0, 66, 21}, QSize(24, 13));
    EXPECT_EQ(rect.X, 21);
    EXPECT_EQ(rect.Y, 6);
    EXPECT_EQ(rect.Width, 34);
    EXPECT_EQ(rect.Height, 13);
    // The size that shows the caption whole in that place: its bottom meets the edge at most.
    const QSize fit = ButtonSizeFor(QSize(24, 19));
    const TGPRect placed =
        ButtonCaptionRect(TGPRect{0, 0, fit.width(), fit.height()}, QSize(24, 19));
    EXPECT_LE(placed.Y + placed.Height, fit.height());
    EXPECT_GE(placed.X, 0);
}

} // namespace
} // namespace velmora::testing
