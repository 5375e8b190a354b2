#include "skin/drawing/DefaultSkinFont.h"

#include "tests/support/SkinTestSupport.h"

namespace velmora {
namespace {

TEST(DefaultSkinFontSize, CaptionHeightConvertsToPointsAndClamps) {
    EXPECT_EQ(DefaultSkinFontSizeFor(-12, 96), 9);
    EXPECT_EQ(DefaultSkinFontSizeFor(-16, 96), 12);
    EXPECT_EQ(DefaultSkinFontSizeFor(-24, 96), 12); // 18 clamped
    EXPECT_EQ(DefaultSkinFontSizeFor(-15, 96), 11); // 11.25 rounds down
    EXPECT_EQ(DefaultSkinFontSizeFor(-14, 96), 11); // 10.5 rounds away from zero
    EXPECT_EQ(DefaultSkinFontSizeFor(12, 96), 9);   // positive height
    EXPECT_EQ(DefaultSkinFontSizeFor(0, 96), 9);
    EXPECT_EQ(DefaultSkinFontSizeFor(-20, 144), 10);
    EXPECT_EQ(DefaultSkinFontSizeFor(-12, 0), 9); // broken resolution report
}

class DefaultSkinFontTest : public testing::SkinTest {};

TEST_F(DefaultSkinFontTest, FamilyAndSizeWithinTheClamp) {
    const TDefaultSkinFont font = DefaultSkinFont();
    EXPECT_EQ(font.Family, QStringLiteral("微软雅黑"));
    EXPECT_GE(font.Size, 9);
    EXPECT_LE(font.Size, 12);
    EXPECT_EQ(DefaultSkinFont().Size, font.Size);
}

} // namespace
} // namespace velmora
