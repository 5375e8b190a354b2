#include "skin/drawing/SkinIconList.h"

#include "platform/graphics/PictureDecoder.h"
#include "skin/drawing/xSkinGraphics.h"
#include "tests/support/SkinTestSupport.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>

namespace velmora {
namespace {

class SkinImageListTest : public ::testing::Test {
protected:
    void SetUp() override {
        FList.OnChange = [this](TSkinImageList* sender) {
            EXPECT_EQ(sender, &FList);
            ++FChanges;
        };
        for (int i = 0; i < 3; ++i)
            FBitmaps.push_back(NewGPBitmap(i + 1, 1));
    }
    TSkinImageList FList;
    std::vector<IGPBitmap> FBitmaps;
    int FChanges = 0;
};

TEST_F(SkinImageListTest, AddReturnsIndexesAndSharesTheBitmap) {
    EXPECT_EQ(FList.AddImage(FBitmaps[0]), 0);
    EXPECT_EQ(FList.AddImage(FBitmaps[1]), 1);
    EXPECT_EQ(FList.Count(), 2);
    EXPECT_EQ(FList.GetImage(1), FBitmaps[1]);
    EXPECT_EQ(FChanges, 2);
}

TEST_F(SkinImageListTest, InsertReplaceDeleteKeepOrder) {
    FList.AddImage(FBitmaps[0]);
    FList.AddImage(FBitmaps[2]);
    FList.InsertImage(1, FBitmaps[1]);
    EXPECT_EQ(FList.GetImage(1), FBitmaps[1]);
    EXPECT_EQ(FList.GetImage(2), FBitmaps[2]);
    FList.ReplaceImage(0, FBitmaps[2]);
    EXPECT_EQ(FList.GetImage(0), FBitmaps[2]);
    FList.Delete(0);
    EXPECT_EQ(FList.Count(), 2);
    EXPECT_EQ(FList.GetImage(0), FBitmaps[1]);
    EXPECT_EQ(FChanges, 5);
}

TEST_F(SkinImageListTest, IndexesOutsideTheListChangeNothing) {
    for (const IGPBitmap& bitmap : FBitmaps)
        FList.AddImage(bitmap);
    FChanges = 0;
    EXPECT_FALSE(FList.GetImage(5));
    EXPECT_FALSE(FList.GetImage(-1));
    FList.Delete(5);
    FList.Delete(-1);
    FList.ReplaceImage(5, FBitmaps[0]);
    FList.InsertImage(7, FBitmaps[0]);
    EXPECT_EQ(FList.Count(), 3);
    EXPECT_EQ(FChanges, 0);
    IGPBitmap out = FBitmaps[0];
    FList.GetImage(5, out);
    EXPECT_FALSE(out); // emptied first
    FList.GetImage(2, out);
    EXPECT_EQ(out, FBitmaps[2]);
}

TEST_F(SkinImageListTest, ClearRaisesOnceEvenWhenEmpty) {
    FList.Clear();
    EXPECT_EQ(FChanges, 1);
    FList.AddImage(FBitmaps[0]);
    FList.AddImage(FBitmaps[1]);
    FChanges = 0;
    FList.Clear();
    EXPECT_EQ(FChanges, 1);
    EXPECT_EQ(FList.Count(), 0);
    EXPECT_EQ(FBitmaps[0].use_count(), 1); // the list let go of its references
}

TEST(GdipBitmap, NewBitmapIsArgbOfTheSize) {
    TGdipBitmap bitmap(4, 3);
    EXPECT_EQ(bitmap.Width(), 4);
    EXPECT_EQ(bitmap.GetRect(), QRect(0, 0, 4, 3));
    EXPECT_EQ(bitmap.GetSize(), 48);
    EXPECT_EQ(bitmap.GPBitmap()->PixelFormat(), TGPPixelFormat::Format32bppARGB);
}

TEST(GdipBitmap, RecreateWithTheSameSizeKeepsPixels) {
    TGdipBitmap bitmap(2, 2);
    bitmap.GPBitmap()->SetPixel(1, 1, 0xFF112233);
    const TGPBitmap* before = bitmap.GPBitmap();
    bitmap.ReCreate(2, 2);
    EXPECT_EQ(bitmap.GPBitmap(), before);
    EXPECT_EQ(bitmap.GPBitmap()->GetPixel(1, 1), 0xFF112233u);
    bitmap.ReCreate(3, 2);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.GPBitmap()->GetPixel(1, 1), 0u);
}

TEST(GdipBitmap, LockingTwiceOrUnlockingUnlockedDoesNothing) {
    TGdipBitmap bitmap(2, 1);
    bitmap.UnLockBits();
    EXPECT_FALSE(bitmap.IsLock());
    bitmap.LockBits();
    uchar* first = bitmap.Bits();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(bitmap.BitmapData().Stride, 8);
    bitmap.LockBits(TGPPixelFormat::Format24bppRGB);
    EXPECT_EQ(bitmap.Bits(), first);
    reinterpret_cast<QRgb*>(first)[1] = 0x80FF0000;
    bitmap.UnLockBits();
    EXPECT_FALSE(bitmap.IsLock());
    EXPECT_EQ(bitmap.Bits(), nullptr);
    EXPECT_EQ(bitmap.GPBitmap()->GetPixel(1, 0), 0x80FF0000u);
}

TEST(GdipBitmap, LockInAnotherFormatWritesBackOnUnlock) {
    TGdipBitmap bitmap(1, 1);
    bitmap.LockBits(TGPPixelFormat::Format24bppRGB);
    EXPECT_EQ(bitmap.BitmapData().PixelFormat, TGPPixelFormat::Format24bppRGB);
    bitmap.Bits()[0] = 0x10; // blue, green, red in memory
    bitmap.Bits()[1] = 0x20;
    bitmap.Bits()[2] = 0x30;
    bitmap.UnLockBits();
    EXPECT_EQ(bitmap.GPBitmap()->GetPixel(0, 0), 0xFF302010u);
}

TEST(GdipBitmap, CallerPixelsCloneAndThumbnail) {
    quint32 pixels[4] = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF};
    TGdipBitmap over(2, 2, 8, TGPPixelFormat::Format32bppARGB, reinterpret_cast<uchar*>(pixels));
    EXPECT_EQ(over.GPBitmap()->GetPixel(0, 1), 0xFFFF0000u);
    TGdipBitmap clone(over);
    pixels[2] = 0;
    EXPECT_EQ(clone.GPBitmap()->GetPixel(0, 1), 0xFFFF0000u); // a copy, not a view
    TGdipBitmap thumb(1, 1);
    thumb.Assign(*clone.GPBitmap(), 4, 4);
    EXPECT_EQ(thumb.Width(), 4);
    EXPECT_EQ(thumb.GPBitmap()->GetPixel(3, 3), 0xFFFFFFFFu);
}

TEST(GdipBitmap, FromFileIconAndOwnedBitmap) {
    testing::TSkinLogCapture capture;
    QTemporaryDir folder;
    TGdipBitmap source(3, 2);
    source.GPBitmap()->SetPixel(2, 1, 0xFF445566);
    ASSERT_TRUE(source.SaveToFile(folder.filePath("b.png"), "PNG"));
    TGdipBitmap loaded(folder.filePath("b.png"));
    EXPECT_EQ(loaded.Width(), 3);
    EXPECT_EQ(loaded.GPBitmap()->GetPixel(2, 1), 0xFF445566u);
    TGdipBitmap missing(folder.filePath("none.png"));
    EXPECT_EQ(missing.Width(), 0);

    auto owned = std::make_unique<TGPBitmap>(5, 5);
    TGPBitmap* raw = owned.get();
    auto adopted = TGdipBitmap::CreateFromBitmap(std::move(owned));
    EXPECT_EQ(adopted->GPBitmap(), raw);
    EXPECT_EQ(adopted->Height(), 5);
}

class GdipBitmapIcon : public testing::SkinTest {};

TEST_F(GdipBitmapIcon, IconTakesItsLargestSize) {
    QPixmap small(16, 16);
    small.fill(Qt::red);
    QPixmap large(48, 48);
    large.fill(Qt::blue);
    QIcon icon;
    icon.addPixmap(small);
    icon.addPixmap(large);
    TGdipBitmap bitmap(icon);
    EXPECT_EQ(bitmap.Width(), 48);
    EXPECT_EQ(bitmap.GPBitmap()->GetPixel(10, 10), 0xFF0000FFu);
}

} // namespace
} // namespace velmora
