#include "platform/graphics/GPGraphics.h"

#include "platform/graphics/FontSubstitution.h"
#include "tests/support/PictureFixtures.h"

#include <QFontInfo>
#include <gtest/gtest.h>

namespace velmora {
namespace {

using namespace fixtures;

class GPGraphicsTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureApplication(); }
};

// Bounding box of the pixels that are not fully transparent.
QRect InkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST_F(GPGraphicsTest, ClearReplacesEveryPixelIncludingAlpha) {
    TGPBitmap bitmap(2, 2);
    TGPGraphics graphics(bitmap);
    graphics.Clear(0xFF123456);
    graphics.Clear(0x00000000);
    EXPECT_EQ(bitmap.GetPixel(1, 1), 0u);
}

TEST_F(GPGraphicsTest, DrawImageScalesSourceRectangleIntoDestination) {
    QImage source = Solid(4, 1, 0xFF0000FF);
    source.setPixel(2, 0, 0xFFFF0000);
    source.setPixel(3, 0, 0xFFFF0000);
    TGPBitmap bitmap(8, 2);
    {
        TGPGraphics graphics(bitmap);
        graphics.DrawImage(source, QRectF(0, 0, 8, 2), QRectF(2, 0, 2, 1));
    }
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(bitmap.GetPixel(x, 1), 0xFFFF0000u) << x;
}

TEST_F(GPGraphicsTest, UnscaledDrawKeepsPixelsAndBlends) {
    TGPBitmap bitmap(3, 3);
    {
        TGPGraphics graphics(bitmap);
        graphics.Clear(0xFF000000);
        graphics.DrawImage(Solid(1, 1, 0xFFFFFFFF), 1, 1);
        graphics.DrawImage(Solid(1, 1, 0x00FFFFFF), 2, 2);
    }
    EXPECT_EQ(bitmap.GetPixel(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(bitmap.GetPixel(2, 2), 0xFF000000u);
    EXPECT_EQ(bitmap.GetPixel(0, 0), 0xFF000000u);
}

TEST_F(GPGraphicsTest, CopyRectReplacesIncludingTransparency) {
    TGPBitmap bitmap(2, 1);
    {
        TGPGraphics graphics(bitmap);
        graphics.Clear(0xFFFFFFFF);
        QImage source = Solid(2, 1, 0x00000000);
        source.setPixel(1, 0, 0x80102030);
        graphics.CopyRect(source, QRect(0, 0, 2, 1), QPoint(0, 0));
    }
    EXPECT_EQ(bitmap.GetPixel(0, 0), 0u);
    EXPECT_EQ(qAlpha(bitmap.GetPixel(1, 0)), 0x80);
}

TEST_F(GPGraphicsTest, VerticalGradientRunsTopToBottom) {
    TGPBitmap bitmap(1, 100);
    {
        TGPGraphics graphics(bitmap);
        graphics.FillVerticalGradient(QRectF(0, 0, 1, 100), 0xFF000000, 0xFFFFFFFF);
    }
    EXPECT_LT(qRed(bitmap.GetPixel(0, 0)), 8);
    EXPECT_GT(qRed(bitmap.GetPixel(0, 99)), 247);
    EXPECT_LT(qRed(bitmap.GetPixel(0, 30)), qRed(bitmap.GetPixel(0, 60)));
}

TEST_F(GPGraphicsTest, OnePixelOutlineCoversTheBorderOnly) {
    TGPBitmap bitmap(6, 5);
    {
        TGPGraphics graphics(bitmap);
        graphics.DrawRectangle(0xFF00FFFF, 1, QRectF(0, 0, 5, 4));
    }
    EXPECT_EQ(bitmap.GetPixel(0, 0), 0xFF00FFFFu);
    EXPECT_EQ(bitmap.GetPixel(5, 4), 0xFF00FFFFu);
    EXPECT_EQ(bitmap.GetPixel(3, 0), 0xFF00FFFFu);
    EXPECT_EQ(bitmap.GetPixel(2, 2), 0u);
}

TEST_F(GPGraphicsTest, LineWithPenWidth) {
    TGPBitmap bitmap(5, 5);
    {
        TGPGraphics graphics(bitmap);
        graphics.DrawLine(0xFFFF0000, 1, QPointF(0, 2), QPointF(4, 2));
    }
    EXPECT_EQ(bitmap.GetPixel(2, 2), 0xFFFF0000u);
    EXPECT_EQ(bitmap.GetPixel(2, 0), 0u);
}

TEST_F(GPGraphicsTest, TextInkLiesInsideItsMeasuredBox) {
    TGPBitmap bitmap(200, 60);
    const QFont font = MakeFont({QStringLiteral("微软雅黑"), 12, 0, UnitPoint});
    QRectF measured;
    {
        TGPGraphics graphics(bitmap);
        graphics.DrawString(QStringLiteral("安装完成"), font, 0xFF000000, QPointF(10, 5));
        measured = graphics.MeasureString(QStringLiteral("安装完成"), font, QPointF(10, 5));
    }
    const QRect ink = InkBox(bitmap.Image());
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), 10);
    EXPECT_GE(ink.top(), 5);
    EXPECT_TRUE(measured.adjusted(-1, -1, 1, 1).contains(QRectF(ink)));
    EXPECT_GT(measured.width(), measured.height()); // four ideographs side by side
}

TEST_F(GPGraphicsTest, VerticalFormatStacksCharacters) {
    TGPBitmap bitmap(10, 10);
    TGPGraphics graphics(bitmap);
    const QFont font = MakeFont({QStringLiteral("微软雅黑"), 12, 0, UnitPixel});
    TGPStringFormat vertical;
    vertical.Flags = StringFormatFlagsDirectionVertical;
    const QRectF box =
        graphics.MeasureString(QStringLiteral("安装"), font, QPointF(0, 0), &vertical);
    EXPECT_GT(box.height(), box.width());
}

TEST_F(GPGraphicsTest, FontUnitsAndStyleBits) {
    const QFont pixels =
        MakeFont({QStringLiteral("x"), 12, FontStyleBold | FontStyleStrikeout, UnitPixel});
    EXPECT_DOUBLE_EQ(pixels.pointSizeF(), 9.0);
    EXPECT_TRUE(pixels.bold());
    EXPECT_TRUE(pixels.strikeOut());
    EXPECT_FALSE(pixels.italic());
    EXPECT_DOUBLE_EQ(MakeFont({QStringLiteral("x"), 1, 0, UnitInch}).pointSizeF(), 72.0);
}

TEST_F(GPGraphicsTest, SkinCjkFamiliesResolveToAnInstalledFont) {
    const QString used = InstallCjkFontSubstitutions();
    ASSERT_FALSE(used.isEmpty()) << "no CJK font installed";
    EXPECT_TRUE(CjkSubstituteCandidates().contains(used));
    for (const QString& family : SkinCjkFamilies()) {
        const QFontInfo info(MakeFont({family, 12, 0, UnitPoint}));
        EXPECT_EQ(info.family(), used) << family.toStdString();
    }
}

} // namespace
} // namespace velmora
