#include "platform/graphics/GPBitmap.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(GPBitmap, NewBitmapIsTransparentStraightArgb) {
    const IGPBitmap bitmap = NewGPBitmap(3, 2);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->Width(), 3);
    EXPECT_EQ(bitmap->Height(), 2);
    EXPECT_EQ(bitmap->PixelFormat(), TGPPixelFormat::Format32bppARGB);
    EXPECT_EQ(bitmap->GetPixel(2, 1), 0u);
    EXPECT_EQ(bitmap->Image().dotsPerMeterX(), qRound(96 / 0.0254));
}

TEST(GPBitmap, ZeroSizeGivesNoBitmap) {
    EXPECT_FALSE(NewGPBitmap(0, 5));
    EXPECT_FALSE(NewGPBitmap(5, -1));
}

TEST(GPBitmap, AbsurdSizesGiveNoBitmapInsteadOfAnAllocation) {
    EXPECT_FALSE(NewGPBitmap(100000, 10));
    EXPECT_FALSE(NewGPBitmap(30000, 30000)); // 3.6 GB of pixels
    EXPECT_TRUE(TGPBitmap(40000, 1).IsNull());
    EXPECT_TRUE(NewGPBitmap(32767, 1));
}

TEST(GPBitmap, PixelsRoundTripExactlyIncludingPartialAlpha) {
    const IGPBitmap bitmap = NewGPBitmap(2, 2);
    bitmap->SetPixel(1, 1, 0x40FF8001);
    EXPECT_EQ(bitmap->GetPixel(1, 1), 0x40FF8001u);
    bitmap->SetPixel(5, 5, 0xFFFFFFFF); // outside: ignored
    EXPECT_EQ(bitmap->GetPixel(5, 5), 0u);
}

TEST(GPBitmap, PremultipliedStorageReadsBackStraight) {
    QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    image.setPixel(0, 0, qRgba(100, 50, 0, 128)); // premultiplied storage
    TGPBitmap bitmap(image);
    EXPECT_EQ(bitmap.PixelFormat(), TGPPixelFormat::Format32bppPARGB);
    const QRgb straight = bitmap.GetPixel(0, 0);
    EXPECT_EQ(qAlpha(straight), 128);
    EXPECT_NEAR(qRed(straight), 199, 1);
}

TEST(GPBitmap, SharedHoldersSeeOneBitmap) {
    IGPBitmap first = NewGPBitmap(1, 1);
    IGPBitmap second = first;
    second->SetPixel(0, 0, 0xFF010203);
    EXPECT_EQ(first->GetPixel(0, 0), 0xFF010203u);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first.use_count(), 2);
}

TEST(GPBitmap, PixelFormatNumbersMapToQtFormats) {
    EXPECT_EQ(ToQImageFormat(TGPPixelFormat::Format32bppARGB), QImage::Format_ARGB32);
    EXPECT_EQ(ToQImageFormat(TGPPixelFormat::Format24bppRGB), QImage::Format_BGR888);
    EXPECT_EQ(static_cast<quint32>(TGPPixelFormat::Format32bppARGB), 0x26200Au);
}

} // namespace
} // namespace velmora
