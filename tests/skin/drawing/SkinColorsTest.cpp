#include "skin/drawing/SkinColors.h"

#include "tests/support/SkinTestSupport.h"

#include <QGuiApplication>
#include <QPalette>

namespace velmora {
namespace {

TEST(SkinColors, TextColourFlipsBetweenMean126And127) {
    EXPECT_EQ(GetTextColorByGPColor(0xFF7F7F7F), 0xFF000000u);
    EXPECT_EQ(GetTextColorByGPColor(0xFF7E7E7E), 0xFFFFFFFFu);
    EXPECT_EQ(GetTextColorByGPColor(0x00FFFFFF), 0xFF000000u); // alpha plays no part
}

TEST(SkinColors, FrameworkColourTakesRedFromTheLowByte) {
    EXPECT_EQ(ColorToGPColor(0x000000FF), 0xFFFF0000u);
    EXPECT_EQ(ColorToGPColor(0x00FF0000), 0xFF0000FFu);
    EXPECT_EQ(ColorToGPColor(0x00123456), 0xFF563412u);
    EXPECT_EQ(GPColorToColor(0xFF563412), 0x00123456u);
}

class SkinSystemColors : public testing::SkinTest {};

TEST_F(SkinSystemColors, SystemColourResolvesThroughThePalette) {
    const QRgb base = QGuiApplication::palette().color(QPalette::Active, QPalette::Base).rgb();
    EXPECT_EQ(ColorToGPColor(SystemColorFlag | 5), base | 0xFF000000u);
    const QRgb tip =
        QGuiApplication::palette().color(QPalette::Active, QPalette::ToolTipBase).rgb();
    EXPECT_EQ(ColorToGPColor(SystemColorFlag | 24), tip | 0xFF000000u);
    EXPECT_EQ(ColorToGPColor(SystemColorFlag | 200), 0xFF000000u);
}

TEST(SkinGeometry, MakeRectBySizeAddsSizeToOrigin) {
    const TRect rect = MakeRectBySize(3, 4, 10, 20);
    EXPECT_EQ(rect, (TRect{3, 4, 13, 24}));
}

} // namespace
} // namespace velmora
