#include "platform/graphics/GPGraphics.h"

#include "platform/graphics/FontSubstitution.h"
#include "tests/support/PictureFixtures.h"
#include "tests/support/PictureMeasures.h"

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

// --- surfaces of more than one device pixel per logical pixel --------------------------------

// A 1x picture of single-pixel checks: any enlargement shows how it was scaled.
QImage Checks(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, (x + y) % 2 ? 0xFF000000 : 0xFFFFFFFF);
    return image;
}

// The picture's 2x rendering: a pattern no enlargement of the 1x picture produces.
QImage TwiceRendering(int width, int height) {
    QImage image(width * 2, height * 2, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(x * 9 % 256, y * 13 % 256, (x * y) % 256, 255));
    image.setDevicePixelRatio(2);
    return image;
}

// Drawn on a 2x surface, a picture with a 2x rendering is that rendering, pixel for pixel,
// however the draw is asked for: unscaled, into its own size, or a part of it.
TEST_F(GPGraphicsTest, PictureWithATwiceRenderingIsDrawnFromItExactlyAtRatioTwo) {
    TGPBitmap picture(Checks(10, 6));
    ASSERT_TRUE(picture.AddVariant(TwiceRendering(10, 6)));
    const QImage& variant = picture.Variants().front();
    enum { Unscaled, IntoItsSize, Part };
    for (const int draw : {Unscaled, IntoItsSize, Part}) {
        TGPBitmap target(20, 10, 2);
        {
            TGPGraphics graphics(target);
            ASSERT_EQ(graphics.Ratio(), 2);
            if (draw == Unscaled)
                graphics.DrawImage(picture, 3, 2);
            else if (draw == IntoItsSize)
                graphics.DrawImage(picture, QRectF(3, 2, 10, 6));
            else
                graphics.DrawImage(picture, QRectF(5, 4, 4, 3), QRectF(2, 2, 4, 3));
        }
        const QImage& pixels = target.Image();
        const QRect drawn = draw == Part ? QRect(10, 8, 8, 6) : QRect(6, 4, 20, 12);
        const QPoint from = draw == Part ? QPoint(4, 4) : QPoint(0, 0);
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                ASSERT_EQ(pixels.pixel(drawn.x() + x, drawn.y() + y),
                          variant.pixel(from.x() + x, from.y() + y))
                    << "draw " << draw << " at " << x << "," << y;
        EXPECT_EQ(pixels.pixel(drawn.x() - 1, drawn.y()), 0u) << "nothing left of it";
        EXPECT_EQ(pixels.pixel(drawn.right() + 1, drawn.y()), 0u) << "nothing right of it";
    }
}

// Without a rendering that fits, the picture is enlarged smoothly: no square of 2 x 2 pixels
// repeats one pixel. (Repeating pixels, what a plain draw onto a 2x surface does, makes every
// square uniform.)
// Ramps in both directions: no two neighbours alike, and no symmetry that makes smooth
// scaling repeat a value.
QImage Ramps(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 15 % 256, y * 13 % 256, (x * y * 3) % 256));
    return image;
}

TEST_F(GPGraphicsTest, PictureWithoutAFittingRenderingIsScaledSmoothly) {
    const TGPBitmap picture(Ramps(16, 16));
    TGPBitmap target(16, 16, 2);
    {
        TGPGraphics graphics(target);
        graphics.DrawImage(picture, 0, 0);
    }
    EXPECT_LT(UniformBlockShare(target.Image(), target.Image().rect()), 0.05);

    QImage repeated = NewDeviceImage(QSize(16, 16), 2);
    {
        QPainter painter(&repeated);
        painter.drawImage(QPoint(0, 0), picture.Image());
    }
    EXPECT_GT(UniformBlockShare(repeated, repeated.rect()), 0.95) << "the measure itself";
}

// At ratio 1 a picture's renderings are never used and every draw is what it always was.
TEST_F(GPGraphicsTest, AtRatioOneThePictureItselfIsDrawnUnchanged) {
    TGPBitmap picture(Checks(8, 8));
    ASSERT_TRUE(picture.AddVariant(TwiceRendering(8, 8)));
    TGPBitmap withVariant(12, 12);
    TGPBitmap plain(12, 12);
    for (TGPBitmap* target : {&withVariant, &plain}) {
        TGPGraphics graphics(*target);
        const TGPBitmap source = target == &plain ? TGPBitmap(Checks(8, 8)) : picture;
        graphics.DrawImage(source, 1, 1);
        graphics.DrawImage(source, QRectF(2, 3, 5, 7));
        graphics.DrawImage(source, QRectF(0, 0, 4, 4), QRectF(1, 1, 3, 3));
    }
    EXPECT_EQ(withVariant.Image(), plain.Image());
}

// Copies between buffers of the same ratio move device pixels unchanged; a source of another
// ratio lands at its logical place, scaled.
TEST_F(GPGraphicsTest, CopiesBetweenBuffersTakeLogicalRectangles) {
    QImage source = TwiceRendering(6, 6);
    QImage target = NewDeviceImage(QSize(6, 6), 2, QImage::Format_ARGB32);
    {
        TGPGraphics graphics(target);
        graphics.CopyRect(source, QRect(2, 1, 3, 2), QPoint(1, 3));
    }
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(target.pixel(2 + x, 6 + y), source.pixel(4 + x, 2 + y)) << x << "," << y;
    EXPECT_EQ(target.pixel(1, 6), 0u);

    QImage once(6, 6, QImage::Format_ARGB32);
    once.fill(0xFF00FF00);
    QImage onTwice = NewDeviceImage(QSize(6, 6), 2, QImage::Format_ARGB32);
    {
        TGPGraphics graphics(onTwice);
        graphics.CopyRect(once, QRect(0, 0, 2, 2), QPoint(4, 4));
    }
    EXPECT_EQ(onTwice.pixel(8, 8), 0xFF00FF00u);
    EXPECT_EQ(onTwice.pixel(11, 11), 0xFF00FF00u);
    EXPECT_EQ(onTwice.pixel(7, 7), 0u);
}

// Text keeps its logical size (fonts resolve at 96 dpi on every surface) and gets the
// surface's pixels: the same words measure the same and cover four times the pixels at 2x.
TEST_F(GPGraphicsTest, TextKeepsItsLogicalSizeAndGainsPixelsAtRatioTwo) {
    const QFont font = MakeFont({QStringLiteral("微软雅黑"), 9, 0, UnitPoint});
    const QString words = QStringLiteral("安装完成");
    TGPBitmap once(120, 30);
    TGPBitmap twice(120, 30, 2);
    QRectF onceBox, twiceBox;
    for (TGPBitmap* target : {&once, &twice}) {
        TGPGraphics graphics(*target);
        graphics.DrawString(words, font, 0xFF000000, QPointF(4, 4));
        (target == &once ? onceBox : twiceBox) = graphics.MeasureString(words, font, QPointF(4, 4));
    }
    EXPECT_EQ(onceBox, twiceBox);
    const QRect onceInk = InkBox(once.Image());
    const QRect twiceInk = InkBox(twice.Image());
    // The steepness is taken on the ink over white, as a screen shows it.
    auto onWhite = [](const QImage& ink) {
        QImage shown(ink.size(), QImage::Format_RGB32);
        shown.fill(Qt::white);
        QPainter painter(&shown);
        painter.drawImage(0, 0, ink);
        return shown;
    };
    EXPECT_NEAR(twiceInk.width(), 2 * onceInk.width(), 4);
    EXPECT_NEAR(twiceInk.height(), 2 * onceInk.height(), 4);
    const double onceSteepness = EdgeSteepness(onWhite(once.Image()), onceInk);
    ASSERT_GT(onceSteepness, 30);
    EXPECT_GT(EdgeSteepness(onWhite(twice.Image()), twiceInk), 0.7 * onceSteepness)
        << "drawn at 2x, not enlarged";
}

TEST_F(GPGraphicsTest, WidgetPaintersTakeLogicalPartsOfBuffers) {
    QImage buffer = TwiceRendering(5, 5);
    QImage screen = NewDeviceImage(QSize(5, 5), 2, QImage::Format_ARGB32);
    {
        QPainter painter(&screen);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        PaintLogicalPart(painter, QPoint(1, 2), buffer, QRect(1, 2, 3, 2));
    }
    EXPECT_EQ(screen.pixel(2, 4), buffer.pixel(2, 4));
    EXPECT_EQ(screen.pixel(7, 7), buffer.pixel(7, 7));
    EXPECT_EQ(screen.pixel(8, 4), 0u);
    EXPECT_EQ(screen.pixel(2, 3), 0u);
}

} // namespace
} // namespace velmora
