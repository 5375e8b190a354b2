#include "skin/drawing/NineSlice.h"

#include "skin/drawing/GdiSkinHelper.h"
#include "tests/support/SkinTestSupport.h"

namespace velmora {
namespace {

// A 20 x 20 picture whose nine regions (margins 5) each have their own colour, with a
// distinct pixel in each corner block so that any scaling of a corner shows.
IGPBitmap Regions() {
    const QRgb colors[3][3] = {{0xFF100000, 0xFF200000, 0xFF300000},
                               {0xFF400000, 0xFF500000, 0xFF600000},
                               {0xFF700000, 0xFF800000, 0xFF900000}};
    IGPBitmap bitmap = NewGPBitmap(20, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const int col = x < 5 ? 0 : (x < 15 ? 1 : 2);
            const int row = y < 5 ? 0 : (y < 15 ? 1 : 2);
            bitmap->SetPixel(x, y, colors[row][col]);
        }
    bitmap->SetPixel(1, 2, 0xFF00FF00);
    bitmap->SetPixel(18, 17, 0xFF0000FF);
    return bitmap;
}

class NineSliceDrawing : public testing::SkinTest {};

TEST(NineSliceGeometry, PiecesFollowTheFixedOrder) {
    const auto pieces = NineSlicePieces(20, 20, QRect(0, 0, 100, 40), 5, 5, 5, 5);
    EXPECT_EQ(pieces[0].Dest, QRect(0, 0, 5, 5));
    EXPECT_EQ(pieces[1].Dest, QRect(95, 0, 5, 5));
    EXPECT_EQ(pieces[2].Dest, QRect(0, 35, 5, 5));
    EXPECT_EQ(pieces[3].Source, QRect(15, 15, 5, 5));
    EXPECT_EQ(pieces[4].Dest, QRect(5, 0, 90, 5));
    EXPECT_EQ(pieces[4].Source, QRect(5, 0, 10, 5));
    EXPECT_EQ(pieces[5].Dest, QRect(5, 35, 90, 5));
    EXPECT_EQ(pieces[6].Dest, QRect(0, 5, 5, 30));
    EXPECT_EQ(pieces[7].Dest, QRect(95, 5, 5, 30));
    EXPECT_EQ(pieces[8].Dest, QRect(5, 5, 90, 30));
    EXPECT_EQ(pieces[8].Source, QRect(5, 5, 10, 10));
}

TEST(NineSliceGeometry, PiecesOutsideThePictureAreNotDrawable) {
    const auto pieces = NineSlicePieces(20, 20, QRect(0, 0, 100, 40), 30, 5, 5, 5);
    EXPECT_FALSE(IsDrawablePiece(pieces[0], 20, 20)); // source 30 wide on a 20-wide picture
    EXPECT_FALSE(IsDrawablePiece(pieces[4], 20, 20)); // negative width
    EXPECT_TRUE(IsDrawablePiece(pieces[1], 20, 20));
}

TEST_F(NineSliceDrawing, CornersStayPixelIdenticalAndEdgesStretch) {
    const IGPBitmap source = Regions();
    TGPBitmap target(100, 40);
    {
        TGPGraphics graphics(target);
        TSkinHelper::StretchDrawImageInRectByMargins(graphics, source, {0, 0, 100, 40}, 5, 5, 5, 5);
    }
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(target.GetPixel(x, y), source->GetPixel(x, y));
            EXPECT_EQ(target.GetPixel(95 + x, y), source->GetPixel(15 + x, y));
            EXPECT_EQ(target.GetPixel(x, 35 + y), source->GetPixel(x, 15 + y));
            EXPECT_EQ(target.GetPixel(95 + x, 35 + y), source->GetPixel(15 + x, 15 + y));
        }
    for (int x = 5; x < 95; ++x)
        EXPECT_EQ(target.GetPixel(x, 2), 0xFF200000u) << x; // top edge over 90 pixels
    EXPECT_EQ(target.GetPixel(2, 20), 0xFF400000u);
    EXPECT_EQ(target.GetPixel(50, 20), 0xFF500000u);
    EXPECT_EQ(target.GetPixel(97, 20), 0xFF600000u);
    EXPECT_EQ(target.GetPixel(50, 37), 0xFF800000u);
}

TEST_F(NineSliceDrawing, SameSizeReproducesThePicture) {
    const IGPBitmap source = Regions();
    TGPBitmap target(20, 20);
    {
        TGPGraphics graphics(target);
        TSkinHelper::StretchDrawImageInRectByMargins(graphics, source, {0, 0, 20, 20}, 5, 5, 5, 5);
    }
    EXPECT_EQ(target.Image(), source->Image());
}

TEST_F(NineSliceDrawing, BorderVariantLeavesTheCentreEmpty) {
    const IGPBitmap source = Regions();
    TGPBitmap target(40, 40);
    {
        TGPGraphics graphics(target);
        TSkinHelper::StretchDrawImageBorderInRectByMargins(graphics, source, {0, 0, 40, 40}, 5, 5,
                                                           5, 5);
    }
    EXPECT_EQ(target.GetPixel(20, 20), 0u);
    EXPECT_EQ(target.GetPixel(20, 2), 0xFF200000u);
    EXPECT_EQ(target.GetPixel(1, 2), 0xFF00FF00u);
}

TEST_F(NineSliceDrawing, MarginsSummingToTheWidthLeaveMiddleUndrawn) {
    const IGPBitmap source = Regions();
    TGPBitmap target(10, 30);
    {
        TGPGraphics graphics(target);
        TSkinHelper::StretchDrawImageInRectByMargins(graphics, source, {0, 0, 10, 30}, 5, 5, 5, 5);
    }
    EXPECT_EQ(target.GetPixel(2, 15), 0xFF400000u);
    EXPECT_EQ(target.GetPixel(7, 15), 0xFF600000u);
    EXPECT_EQ(target.GetPixel(1, 2), 0xFF00FF00u);
    EXPECT_TRUE(Log()->Lines().isEmpty());
}

TEST_F(NineSliceDrawing, OversizedMarginsDrawNothingOutsideThePicture) {
    const IGPBitmap source = Regions();
    TGPBitmap target(50, 50);
    {
        TGPGraphics graphics(target);
        TSkinHelper::StretchDrawImageInRectByMargins(graphics, source, {0, 0, 50, 50}, 25, 25, 25,
                                                     25);
    }
    EXPECT_EQ(target.GetPixel(10, 10), 0u);
}

TEST_F(NineSliceDrawing, EmptyBitmapDrawsNothing) {
    TGPBitmap target(4, 4);
    TGPGraphics graphics(target);
    TSkinHelper::StretchDrawImageInRectByMargins(graphics, nullptr, {0, 0, 4, 4}, 1, 1, 1, 1);
    TSkinHelper::StretchDrawImageInRect(graphics, nullptr, {0, 0, 4, 4});
    EXPECT_EQ(target.GetPixel(1, 1), 0u);
}

TEST_F(NineSliceDrawing, StretchDrawFillsTheRectangle) {
    TGPBitmap target(6, 6);
    {
        TGPGraphics graphics(target);
        TSkinHelper::StretchDrawImageInRect(graphics, NewGPBitmap(1, 1), {0, 0, 6, 6});
        const IGPBitmap red = NewGPBitmap(1, 1);
        red->SetPixel(0, 0, 0xFFFF0000);
        TSkinHelper::StretchDrawImageInRect(graphics, red, {1, 1, 4, 4});
    }
    EXPECT_EQ(target.GetPixel(0, 0), 0u);
    EXPECT_EQ(target.GetPixel(1, 1), 0xFFFF0000u);
    EXPECT_EQ(target.GetPixel(4, 4), 0xFFFF0000u);
    EXPECT_EQ(target.GetPixel(5, 5), 0u);
}

TEST_F(NineSliceDrawing, DrawTextUsesTheFontColour) {
    TGPBitmap target(80, 30);
    {
        TGPGraphics graphics(target);
        TSkinHelper::DrawText(graphics, QStringLiteral("安装"),
                              {QStringLiteral("微软雅黑"), 16, 0, 0x000000FF}, 2, 2, false);
    }
    bool red = false;
    for (int y = 0; y < 30 && !red; ++y)
        for (int x = 0; x < 80 && !red; ++x)
            red = target.GetPixel(x, y) == 0xFFFF0000u;
    EXPECT_TRUE(red);
}

} // namespace
} // namespace velmora
