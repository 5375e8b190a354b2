#include "platform/graphics/GPBitmap.h"

#include "platform/graphics/GPGraphics.h"

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

// A buffer made for a window of two device pixels per logical pixel: its size and pixel
// positions stay logical, its pixels are four per logical pixel.
TEST(GPBitmap, BufferAtARatioHasLogicalSizeAndRatioSizedPixels) {
    const IGPBitmap buffer = NewGPBitmap(3, 2, 2);
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->Width(), 3);
    EXPECT_EQ(buffer->Height(), 2);
    EXPECT_EQ(buffer->Ratio(), 2);
    EXPECT_EQ(buffer->Image().size(), QSize(6, 4));
    buffer->SetPixel(1, 1, 0x80FF0000);
    EXPECT_EQ(buffer->GetPixel(1, 1), 0x80FF0000u);
    const QImage& pixels = buffer->Image();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(pixels.pixel(x, y), (x / 2 == 1 && y / 2 == 1) ? 0x80FF0000u : 0u)
                << x << "," << y;
    EXPECT_EQ(buffer->GetPixel(3, 0), 0u) << "outside";

    const IGPBitmap fractional = NewGPBitmap(3, 2, 1.5);
    EXPECT_EQ(fractional->Image().size(), QSize(5, 3));
    EXPECT_EQ(fractional->Width(), 3);
    EXPECT_EQ(fractional->Height(), 2);
}

QImage Rendering(QSize pixels, qreal ratio, QRgb colour) {
    QImage image(pixels, QImage::Format_ARGB32);
    image.fill(colour);
    image.setDevicePixelRatio(ratio);
    return image;
}

TEST(GPBitmap, VariantsMustShowThePictureAtItsLogicalSize) {
    TGPBitmap picture(4, 3);
    EXPECT_TRUE(picture.AddVariant(Rendering(QSize(8, 6), 2, 0xFF000002)));
    EXPECT_TRUE(picture.AddVariant(Rendering(QSize(6, 5), 1.5, 0xFF000015)))
        << "4.5 pixels round up to 5";
    EXPECT_FALSE(picture.AddVariant(Rendering(QSize(9, 6), 2, 0xFF000000))) << "too wide";
    EXPECT_FALSE(picture.AddVariant(Rendering(QSize(4, 3), 1, 0xFF000000))) << "no higher ratio";
    EXPECT_FALSE(picture.AddVariant(Rendering(QSize(2, 2), 0.5, 0xFF000000)));
    EXPECT_FALSE(picture.AddVariant(QImage()));
    ASSERT_EQ(picture.Variants().size(), 2u);
    EXPECT_EQ(picture.Variants()[0].devicePixelRatio(), 1.5) << "kept by ascending ratio";
    EXPECT_EQ(picture.Width(), 4);
    EXPECT_EQ(picture.Height(), 3);
    EXPECT_TRUE(picture.AddVariant(Rendering(QSize(8, 6), 2, 0xFF000022)));
    ASSERT_EQ(picture.Variants().size(), 2u) << "the same ratio again replaces";
    EXPECT_EQ(picture.Variants()[1].pixel(0, 0), 0xFF000022u);
}

// Each target ratio gets the smallest rendering that has at least its pixels, else the
// sharpest there is; a target of the picture's own ratio or less gets the picture.
TEST(GPBitmap, DrawingPicksTheRenderingThatFitsTheTarget) {
    TGPBitmap picture(4, 3);
    picture.SetPixel(0, 0, 0xFF000001);
    ASSERT_TRUE(picture.AddVariant(Rendering(QSize(6, 5), 1.5, 0xFF000015)));
    ASSERT_TRUE(picture.AddVariant(Rendering(QSize(8, 6), 2, 0xFF000002)));
    const struct {
        qreal Target;
        QRgb Expected;
    } cases[] = {{0.5, 0xFF000001},  {1, 0xFF000001}, {1.25, 0xFF000015}, {1.5, 0xFF000015},
                 {1.75, 0xFF000002}, {2, 0xFF000002}, {3, 0xFF000002}};
    for (const auto& c : cases)
        EXPECT_EQ(picture.ImageFor(c.Target).pixel(0, 0), c.Expected) << c.Target;
    TGPBitmap plain(4, 3);
    EXPECT_EQ(&plain.ImageFor(2), &plain.Image()) << "without variants the picture itself";
}

TEST(GPBitmap, ChangingThePicturesPixelsDropsItsVariants) {
    TGPBitmap picture(4, 3);
    ASSERT_TRUE(picture.AddVariant(Rendering(QSize(8, 6), 2, 0xFF000002)));
    picture.SetPixel(1, 1, 0xFFFFFFFF);
    EXPECT_TRUE(picture.Variants().empty()) << "a recoloured picture would show old pixels at 2x";

    TGPBitmap drawn(4, 3);
    ASSERT_TRUE(drawn.AddVariant(Rendering(QSize(8, 6), 2, 0xFF000002)));
    { TGPGraphics graphics(drawn); }
    EXPECT_TRUE(drawn.Variants().empty());
}

TEST(GPBitmap, ACutOutTakesTheSamePartOfEachVariant) {
    TGPBitmap picture(4, 3);
    QImage twice = Rendering(QSize(8, 6), 2, 0xFF000000);
    twice.setPixel(4, 2, 0xFFABCDEF); // logical (2, 1)
    twice.setPixel(5, 3, 0xFF123456);
    ASSERT_TRUE(picture.AddVariant(twice));
    TGPBitmap part(2, 2);
    CropVariants(picture, QRect(2, 1, 2, 2), part);
    ASSERT_EQ(part.Variants().size(), 1u);
    const QImage& cut = part.Variants()[0];
    EXPECT_EQ(cut.size(), QSize(4, 4));
    EXPECT_EQ(cut.pixel(0, 0), 0xFFABCDEFu);
    EXPECT_EQ(cut.pixel(1, 1), 0xFF123456u);
    TGPBitmap outside(2, 2);
    CropVariants(picture, QRect(10, 10, 2, 2), outside);
    EXPECT_TRUE(outside.Variants().empty());
}

} // namespace
} // namespace velmora
