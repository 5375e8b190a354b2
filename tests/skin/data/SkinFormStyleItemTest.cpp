// The form's composed background: the texture underneath, the skin's overlay on top.
#include "skin/data/SkinFormStyleItem.h"
#include "tests/support/SkinTestSupport.h"

namespace velmora {
namespace {

IGPBitmap SolidBitmap(int AWidth, int AHeight, QRgb AColor) {
    IGPBitmap bitmap = NewGPBitmap(AWidth, AHeight);
    bitmap->Image().fill(AColor);
    return bitmap;
}

class SufferBackGroundTest : public testing::SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        // Tiled, so that the solid pictures cover any size.
        FTexture.SetStrecthMode(smTileBoth);
        FTexture.SetImage(SolidBitmap(16, 16, 0xFF2040C0));
        FOtherTexture.SetImage(SolidBitmap(16, 16, 0xFF00FF00));
    }
    TGDIBIGIMGPro FTexture;
    TGDIBIGIMGPro FOtherTexture;
    TSufferBackGroundItem FItem;
};

TEST_F(SufferBackGroundTest, NothingIsBuiltWithoutATexture) {
    EXPECT_TRUE(FItem.RebuildBackgroundImage());
    FItem.BuildBackgroundImage(100, 50);
    EXPECT_FALSE(FItem.BackgroundBitmap());
    EXPECT_TRUE(FItem.RebuildBackgroundImage());
    EXPECT_EQ(FItem.BackgroundGdiImage()->StrecthMode(), smAvgColor);
    EXPECT_EQ(FItem.BackgroundGdiImage()->BuildBufferImageStyle(), bbisBitmap);
}

TEST_F(SufferBackGroundTest, ANonStretchedBackgroundIsBuiltOnceAtScreenSize) {
    FItem.SetTextureGdiImage(&FTexture);
    FItem.BuildBackgroundImage(100, 50);
    const IGPBitmap first = FItem.BackgroundBitmap();
    ASSERT_TRUE(first);
    EXPECT_EQ(QSize(first->Width(), first->Height()), SkinScreenSize());
    EXPECT_EQ(first->GetPixel(3, 3), 0xFF2040C0u); // no overlay picture: the texture shows
    EXPECT_FALSE(FItem.RebuildBackgroundImage());
    EXPECT_EQ(FItem.BackgroundGdiImage()->Image(), first);
    EXPECT_FALSE(FTexture.Builded()); // its buffer is released after composing
    FItem.BuildBackgroundImage(300, 200);
    EXPECT_EQ(FItem.BackgroundBitmap(), first);
}

TEST_F(SufferBackGroundTest, ANewTextureOrUnBuildMakesTheNextBuildCompose) {
    FItem.SetTextureGdiImage(&FTexture);
    FItem.BuildBackgroundImage(100, 50);
    const IGPBitmap first = FItem.BackgroundBitmap();
    FItem.SetTextureGdiImage(&FTexture);
    EXPECT_FALSE(FItem.RebuildBackgroundImage()); // the same element changes nothing
    FItem.SetTextureGdiImage(&FOtherTexture);
    EXPECT_TRUE(FItem.RebuildBackgroundImage());
    FItem.BuildBackgroundImage(100, 50);
    ASSERT_TRUE(FItem.BackgroundBitmap());
    EXPECT_NE(FItem.BackgroundBitmap(), first);
    EXPECT_EQ(FItem.BackgroundBitmap()->GetPixel(0, 0), 0xFF00FF00u);
    FItem.UnBuildBackgroundImage();
    EXPECT_FALSE(FItem.BackgroundBitmap());
    EXPECT_FALSE(FItem.BackgroundGdiImage()->Image());
    EXPECT_TRUE(FItem.RebuildBackgroundImage());
    FItem.BuildBackgroundImage(100, 50);
    EXPECT_TRUE(FItem.BackgroundBitmap());
}

TEST_F(SufferBackGroundTest, AStretchedBackgroundIsRebuiltAtTheWindowSizeEveryTime) {
    FItem.SetTextureGdiImage(&FTexture);
    FItem.SetStretch(true);
    FItem.BuildBackgroundImage(120, 80);
    const IGPBitmap first = FItem.BackgroundBitmap();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Width(), 120);
    EXPECT_EQ(first->Height(), 80);
    EXPECT_EQ(first->GetPixel(119, 79), 0xFF2040C0u);
    FItem.BuildBackgroundImage(60, 40);
    ASSERT_TRUE(FItem.BackgroundBitmap());
    EXPECT_NE(FItem.BackgroundBitmap(), first);
    EXPECT_EQ(FItem.BackgroundBitmap()->Width(), 60);
}

TEST_F(SufferBackGroundTest, TheOverlayIsDrawnOverTheTextureWithItsMargins) {
    FItem.SetTextureGdiImage(&FTexture);
    FItem.SetStretch(true);
    FItem.SetImage(SolidBitmap(10, 10, 0xFFFF0000));
    FItem.SetMargin(TMargin{2, 3, 4, 5});
    FItem.SetStretchMode(smTileBoth);
    EXPECT_EQ(FItem.SufferTextureGdiImage()->LeftMargin(), 3);
    FItem.BuildBackgroundImage(40, 30);
    ASSERT_TRUE(FItem.BackgroundBitmap());
    EXPECT_EQ(FItem.BackgroundBitmap()->GetPixel(20, 15), 0xFFFF0000u);
    EXPECT_EQ(FItem.BackgroundGdiImage()->LeftMargin(), 3);
    EXPECT_EQ(FItem.BackgroundGdiImage()->BottomMargin(), 5);
    EXPECT_FALSE(FItem.SufferTextureGdiImage()->Builded());
}

TEST_F(SufferBackGroundTest, AnImpossibleSizeIsLoggedAndLeavesNoPicture) {
    FItem.SetTextureGdiImage(&FTexture);
    FItem.SetStretch(true);
    FItem.BuildBackgroundImage(0, 10);
    EXPECT_FALSE(FItem.BackgroundBitmap());
    const QStringList lines = Log()->Lines();
    ASSERT_FALSE(lines.isEmpty());
    for (const QString& line : lines)
        EXPECT_TRUE(line.contains("AdditionalMsg:BuildBackgroundImage"));
}

} // namespace
} // namespace velmora
