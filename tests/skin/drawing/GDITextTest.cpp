#include "skin/drawing/GDIText.h"

#include "skin/drawing/GdiSkinHelper.h"
#include "skin/drawing/TextGlow.h"
#include "tests/support/SkinTestSupport.h"

#include <cmath>

namespace velmora {
namespace {

class TextElement : public testing::SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        FText.SetText(QStringLiteral("安装完成"));
        FText.SetFontSize(14);
    }
    static bool HasInk(const TGPBitmap& bitmap) {
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x)
                if (qAlpha(bitmap.GetPixel(x, y)) != 0)
                    return true;
        return false;
    }
    TGPBitmap Painted(int originX, int originY) {
        TGPBitmap target(160, 80);
        TGPGraphics graphics(target);
        FText.Paint(&graphics, originX, originY);
        return target;
    }
    TGDIText FText;
};

TEST_F(TextElement, ConstructionDefaults) {
    TGDIText text;
    EXPECT_EQ(text.Text(), QStringLiteral("未知"));
    EXPECT_EQ(text.Name(), QStringLiteral("未知"));
    EXPECT_EQ(text.NodeName(), "TEXT");
    EXPECT_EQ(text.ShadowColor(), 0x64FFFFFFu);
    EXPECT_EQ(text.FontColor(), 0xFF000000u);
    EXPECT_EQ(text.HoveredFontColor(), 0xFF0000FFu);
    EXPECT_EQ(text.HoveredFontStyle(), FontStyleUnderline);
    EXPECT_EQ(text.FontUnitPoint(), UnitPoint);
    EXPECT_EQ(text.FontFamilyName(), QStringLiteral("微软雅黑"));
    EXPECT_TRUE(text.HoveredFont().underline());
    EXPECT_EQ(text.HintInterval(), 1000);
}

TEST_F(TextElement, EmptyTextDrawsNothingAndMeasuresZero) {
    FText.SetText({});
    EXPECT_FALSE(HasInk(Painted(0, 0)));
    TGPBitmap target(4, 4);
    TGPGraphics graphics(target);
    EXPECT_EQ(FText.GetFontWidth(graphics, {}), 0);
    EXPECT_EQ(FText.GetHoverFontWidth(graphics, {}), 0);
}

// Print style 2 places the text around its point by the string format's alignment, with and
// without the glow: centred text is centred on the point, far text ends at it.
TEST_F(TextElement, PointFormatStyleAlignsAroundThePoint) {
    FText.SetPrintStyle(psPointFormat);
    FText.SetBounds(80, 40, 0, 0);
    struct TCase {
        int Alignment;
        bool Shadow;
    };
    for (const TCase c : {TCase{StringAlignmentCenter, false}, TCase{StringAlignmentCenter, true},
                          TCase{StringAlignmentFar, false}, TCase{StringAlignmentFar, true},
                          TCase{StringAlignmentNear, false}}) {
        FText.SetStringAlign(c.Alignment, StringAlignmentCenter);
        FText.SetIsDrawShadow(c.Shadow);
        const TGPBitmap painted = Painted(0, 0);
        int left = painted.Width(), right = -1, top = painted.Height(), bottom = -1;
        for (int y = 0; y < painted.Height(); ++y)
            for (int x = 0; x < painted.Width(); ++x)
                // Only the text's own dark pixels: the glow is light and wider.
                if (qAlpha(painted.GetPixel(x, y)) > 200 && qRed(painted.GetPixel(x, y)) < 100) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        ASSERT_GE(right, 0) << c.Alignment << c.Shadow;
        EXPECT_NEAR((top + bottom) / 2.0, 40, 4) << c.Alignment << c.Shadow;
        if (c.Alignment == StringAlignmentCenter)
            EXPECT_NEAR((left + right) / 2.0, 80, 4) << c.Shadow;
        else if (c.Alignment == StringAlignmentFar)
            EXPECT_NEAR(right, 80, 4) << c.Shadow;
        else
            EXPECT_NEAR(left, 80, 4);
    }
}

TEST_F(TextElement, PointStyleDrawsAtPositionPlusOrigin) {
    FText.SetPrintStyle(psPoint);
    FText.SetBounds(10, 20, 100, 30);
    const TGPBitmap drawn = Painted(5, 7);
    TGPBitmap expected(160, 80);
    {
        TGPGraphics graphics(expected);
        graphics.DrawString(FText.Text(), FText.Font(), FText.FontColor(), QPointF(15, 27));
    }
    ASSERT_TRUE(HasInk(drawn));
    EXPECT_EQ(drawn.Image(), expected.Image());
}

TEST_F(TextElement, LayoutStyleDrawsIntoTheMovedRectangleWithTheFormat) {
    FText.SetBounds(10, 20, 120, 40);
    FText.SetStringAlign(StringAlignmentCenter, StringAlignmentCenter);
    const TGPBitmap drawn = Painted(5, 7);
    TGPBitmap expected(160, 80);
    {
        TGPGraphics graphics(expected);
        graphics.DrawString(FText.Text(), FText.Font(), FText.FontColor(), QRectF(15, 27, 120, 40),
                            &FText.StringFormat());
    }
    ASSERT_TRUE(HasInk(drawn));
    EXPECT_EQ(drawn.Image(), expected.Image());
}

TEST_F(TextElement, PointWithFormatStyleDrawsAtTheMovedPointWithTheFormat) {
    FText.SetPrintStyle(psPointFormat);
    FText.SetBounds(10, 20, 100, 30);
    const TGPBitmap drawn = Painted(5, 7);
    TGPBitmap expected(160, 80);
    {
        TGPGraphics graphics(expected);
        graphics.DrawString(FText.Text(), FText.Font(), FText.FontColor(), QPointF(15, 27),
                            &FText.StringFormat());
    }
    ASSERT_TRUE(HasInk(drawn));
    EXPECT_EQ(drawn.Image(), expected.Image());
}

TEST_F(TextElement, ShadowedLayoutStyleIgnoresTheOrigin) {
    FText.SetBounds(10, 20, 120, 40);
    FText.SetIsDrawShadow(true);
    const TGPBitmap moved = Painted(30, 30);
    const TGPBitmap unmoved = Painted(0, 0);
    EXPECT_EQ(moved.Image(), unmoved.Image());
}

TEST_F(TextElement, UnknownPrintStyleDrawsNothing) {
    FText.SetPrintStyle(7);
    FText.SetBounds(0, 0, 100, 30);
    EXPECT_FALSE(HasInk(Painted(0, 0)));
}

TEST_F(TextElement, HoveredElementUsesTheHoveredFontAndBrush) {
    FText.SetPrintStyle(psPoint);
    FText.SetBounds(0, 0, 150, 40);
    FText.SetEnableHovered(true);
    ASSERT_TRUE(FText.IsInRegion(3, 3));
    const TGPBitmap drawn = Painted(0, 0);
    TGPBitmap expected(160, 80);
    {
        TGPGraphics graphics(expected);
        graphics.DrawString(FText.Text(), FText.HoveredFont(), 0xFF0000FF, QPointF(0, 0));
    }
    EXPECT_EQ(drawn.Image(), expected.Image());
    EXPECT_FALSE(FText.IsInRegion(151, 3));
    EXPECT_FALSE(FText.IsHovered());
}

TEST_F(TextElement, CutOffShortensWithEllipsisToFitTheLayout) {
    TGPBitmap target(10, 10);
    TGPGraphics graphics(target);
    FText.SetText(QStringLiteral("正在复制文件到安装目录中请稍候"));
    const int full = FText.GetFontWidth(graphics, FText.Text());
    EXPECT_EQ(FText.CutOffText(graphics, FText.Font(), static_cast<float>(full + 10)),
              FText.Text());
    const QString cut = FText.CutOffText(graphics, FText.Font(), full / 2.0f);
    ASSERT_TRUE(cut.endsWith("..."));
    EXPECT_TRUE(FText.Text().startsWith(cut.chopped(3)));
    EXPECT_LE(graphics.MeasureString(cut, FText.Font(), QPointF()).width(), full / 2.0 - 10 + 0.5);
    const QString none = FText.CutOffText(graphics, FText.Font(), 5);
    EXPECT_EQ(none, "...");
}

TEST_F(TextElement, MeasuresHeightsAndWidths) {
    TGPBitmap target(10, 10);
    TGPGraphics graphics(target);
    const int height = FText.GetFontHeight(graphics);
    EXPECT_GT(height, 10);
    EXPECT_EQ(
        height,
        static_cast<int>(std::ceil(
            graphics.MeasureString(TGDIText::HeightSample(), FText.Font(), QPointF()).height())));
    EXPECT_GT(FText.GetFontWidth(graphics, "安装安装"), FText.GetFontWidth(graphics, "安装"));
    EXPECT_GT(FText.GetHoverFontHeight(graphics), 0);
}

TEST_F(TextElement, TextRegionFollowsThePrintStyle) {
    TGPBitmap target(10, 10);
    TGPGraphics graphics(target);
    FText.SetBounds(4, 6, 200, 50);
    EXPECT_EQ(FText.GetTextRegion(graphics), QRectF(4, 6, 200, 50));
    FText.SetPrintStyle(psPoint);
    const QRectF measured = FText.GetTextRegion(graphics);
    EXPECT_EQ(measured.topLeft(), QPointF(4, 6));
    EXPECT_LT(measured.height(), 50);
}

TEST_F(TextElement, AutomaticShadowColourFollowsTheFontColour) {
    FText.SetFontColor(0xFFFFFFFF);
    EXPECT_EQ(FText.ShadowColor(), 0x64FFFFFFu); // no shadow drawn: left alone
    FText.SetIsDrawShadow(true);
    FText.SetFontColor(0xFF646464); // mean 100
    EXPECT_EQ(FText.ShadowColor(), 0xFF000000u);
    FText.SetFontColor(0xFF636363); // mean 99
    EXPECT_EQ(FText.ShadowColor(), 0xFFFFFFFFu);
    FText.SetFont({QStringLiteral("x"), 30, FontStyleBold, 0x00FFFFFF});
    EXPECT_EQ(FText.ShadowColor(), 0xFF000000u);
    EXPECT_EQ(FText.FontColor(), 0xFFFFFFFFu);
    EXPECT_EQ(FText.FontStyle(), FontStyleBold);
    EXPECT_EQ(FText.FontSize(), 14); // size and family are not taken
    EXPECT_TRUE(FText.Font().bold());
}

TEST(TextGlowKernel, WeightsMatchHandComputedValues) {
    const std::vector<int> kernel = GlowKernel(6);
    ASSERT_EQ(kernel.size(), 169u);
    auto at = [&](int dx, int dy) { return kernel[static_cast<size_t>((dy + 6) * 13 + dx + 6)]; };
    // sigma 3: 1000 / (2 pi 9) = 17.68 at the centre.
    EXPECT_EQ(at(0, 0), 18);
    EXPECT_EQ(at(1, 0), 17); // 17.68 * e^(-1/18) = 16.73
    EXPECT_EQ(at(2, 0), 14); // 17.68 * e^(-4/18) = 14.16
    EXPECT_EQ(at(3, 0), 11); // 17.68 * e^(-1/2) = 10.73
    EXPECT_EQ(at(1, 1), 16); // 17.68 * e^(-2/18) = 15.82
    EXPECT_EQ(at(-6, 6), 0);
    EXPECT_EQ(GlowKernel(0), std::vector<int>{76}); // sigma 1.45: 1000 / (2 pi 2.1025)
}

TEST(TextGlowKernel, BlurOfOnePixelSpreadsItsAlphaByTheKernel) {
    QImage image(25, 25, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    image.setPixel(12, 12, 0xFF000000);
    image.setPixel(0, 0, 0x80123456); // within 6 of the edge: untouched
    BlurAlpha(image, 6, 0xFF102030);
    int total = 0;
    for (const int weight : GlowKernel(6))
        total += weight;
    EXPECT_EQ(qAlpha(image.pixel(12, 12)), 255 * 18 / total);
    EXPECT_EQ(qAlpha(image.pixel(13, 12)), 255 * 17 / total);
    EXPECT_EQ(qAlpha(image.pixel(15, 12)), 255 * 11 / total);
    EXPECT_EQ(image.pixel(12, 12) & 0xFFFFFF, 0x102030u); // tinted with the shadow colour
    EXPECT_EQ(image.pixel(0, 0), 0x80123456u);
}

TEST_F(TextElement, GlowSurroundsTheTextInTheShadowColour) {
    FText.SetPrintStyle(psPoint);
    FText.SetBounds(20, 20, 100, 30);
    FText.SetIsDrawShadow(true);
    FText.SetIsAutoShadowColor(false);
    FText.SetShadowColor(0xFF00FF00);
    const TGPBitmap drawn = Painted(0, 0);
    TGPBitmap plain(160, 80);
    {
        TGPGraphics graphics(plain);
        graphics.DrawString(FText.Text(), FText.Font(), FText.FontColor(), QPointF(20, 20));
    }
    int glowOnly = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 160; ++x)
            if (qAlpha(plain.GetPixel(x, y)) == 0 && qAlpha(drawn.GetPixel(x, y)) != 0) {
                ++glowOnly;
                EXPECT_EQ(drawn.GetPixel(x, y) & 0xFFFFFF, 0x00FF00u);
            }
    EXPECT_GT(glowOnly, 10);
}

TEST_F(TextElement, HelperPlacesTheElementAndPaintsAtZero) {
    TGPBitmap target(160, 80);
    {
        TGPGraphics graphics(target);
        TSkinHelper::DrawGDIText(graphics, &FText, TGPRect{8, 9, 120, 30}, QStringLiteral("完成"));
    }
    EXPECT_EQ(FText.Text(), QStringLiteral("完成"));
    EXPECT_EQ(FText.GetRect(), (TGPRectF{8, 9, 120, 30}));
    EXPECT_TRUE(HasInk(target));
    EXPECT_TRUE(Log()->Lines().isEmpty());
}

} // namespace
} // namespace velmora
