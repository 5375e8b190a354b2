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

TEST(GPBitmap, StillBitmapHasOneFrameNoRawFormatAndNoDelayList) {
    const IGPBitmap bitmap = NewGPBitmap(2, 2);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->FrameCount(), 1);
    EXPECT_TRUE(bitmap->RawFormat().isEmpty());
    EXPECT_FALSE(bitmap->IsGif());
    EXPECT_NO_THROW(bitmap->SelectActiveFrame(0));
    EXPECT_THROW(bitmap->SelectActiveFrame(1), EGPBitmapError);
    EXPECT_THROW(bitmap->FrameDelays(), EGPBitmapError);
}

TEST(GPBitmap, FramesAreSelectedAndCarryTheirDelays) {
    auto frames = std::make_shared<TGPFrameSet>();
    frames->RawFormat = QStringLiteral("GIF");
    for (QRgb colour : {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu}) {
        QImage frame(2, 2, QImage::Format_ARGB32);
        frame.fill(colour);
        frames->Frames.push_back(frame);
    }
    frames->Delays = {10, 0, 5};
    frames->HasDelays = true;
    auto bitmap = std::make_shared<TGPBitmap>(frames->Frames.front());
    bitmap->SetFrames(frames);
    EXPECT_TRUE(bitmap->IsGif());
    EXPECT_EQ(bitmap->FrameCount(), 3);
    EXPECT_EQ(bitmap->FrameDelays(), (std::vector<quint32>{10, 0, 5}));
    EXPECT_EQ(bitmap->GetPixel(1, 1), 0xFFFF0000u);
    bitmap->SelectActiveFrame(2);
    EXPECT_EQ(bitmap->ActiveFrame(), 2);
    EXPECT_EQ(bitmap->GetPixel(1, 1), 0xFF0000FFu);
    EXPECT_THROW(bitmap->SelectActiveFrame(3), EGPBitmapError);
    EXPECT_EQ(bitmap->GetPixel(1, 1), 0xFF0000FFu) << "a failed selection keeps the frame";
    bitmap->SelectActiveFrame(0);
    EXPECT_EQ(bitmap->GetPixel(0, 0), 0xFFFF0000u);
}

} // namespace
} // namespace velmora
