#include "platform/graphics/PictureDecoder.h"

#include "tests/support/PictureFixtures.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace velmora {
namespace {

using namespace fixtures;

TEST(PictureDecoderPng, OnePixelKeepsItsStraightValue) {
    QImage source(1, 1, QImage::Format_ARGB32);
    source.setPixel(0, 0, qRgba(200, 100, 50, 128));
    const TDecodedPicture picture = DecodePicture(EncodePng(source));
    ASSERT_TRUE(picture.Ok()) << picture.Error.toStdString();
    EXPECT_EQ(picture.Format, "PNG");
    EXPECT_EQ(picture.Width, 1);
    EXPECT_EQ(picture.Height, 1);
    ASSERT_EQ(picture.FrameCount(), 1);
    EXPECT_EQ(picture.Frames[0].format(), QImage::Format_ARGB32);
    EXPECT_EQ(picture.Frames[0].pixel(0, 0), qRgba(200, 100, 50, 128));
    EXPECT_EQ(picture.DelaysMs, std::vector<int>{0});
}

TEST(PictureDecoderPng, TruncatedStreamIsAnError) {
    QImage source = Solid(16, 16, 0xFF336699);
    source.setPixel(3, 3, 0xFF000000);
    const QByteArray png = EncodePng(source);
    const TDecodedPicture picture = DecodePicture(png.left(png.size() - 20));
    EXPECT_FALSE(picture.Ok());
    EXPECT_TRUE(picture.Error.startsWith("PNG:")) << picture.Error.toStdString();
    EXPECT_TRUE(picture.Frames.empty());
}

TEST(PictureDecoderPng, HugeDimensionsAreRefusedBeforeDecoding) {
    const TDecodedPicture picture = DecodePicture(PngWithHeader(100000, 100000));
    EXPECT_FALSE(picture.Ok());
    EXPECT_FALSE(picture.Error.isEmpty());
}

TEST(PictureDecoderPng, SizeWithinDimensionLimitsButOverMemoryLimitIsRefused) {
    TDecodeLimits limits;
    limits.MaxBytes = 1000;
    const TDecodedPicture picture = DecodePicture(EncodePng(Solid(20, 20, 0xFF000000)), limits);
    EXPECT_FALSE(picture.Ok());
    EXPECT_TRUE(picture.Error.contains("limit")) << picture.Error.toStdString();
}

TEST(PictureDecoderPng, HeightZeroIsAnError) {
    const TDecodedPicture picture = DecodePicture(PngWithHeader(4, 0));
    EXPECT_FALSE(picture.Ok());
}

TEST(PictureDecoderJpeg, DecodesOpaqueColour) {
    const TDecodedPicture picture = DecodePicture(EncodeJpeg(Solid(8, 8, 0xFFFF0000)));
    ASSERT_TRUE(picture.Ok()) << picture.Error.toStdString();
    EXPECT_EQ(picture.Format, "JPEG");
    EXPECT_EQ(picture.Width, 8);
    const QRgb pixel = picture.Frames[0].pixel(4, 4);
    EXPECT_EQ(qAlpha(pixel), 255);
    EXPECT_GT(qRed(pixel), 240);
    EXPECT_LT(qGreen(pixel), 16);
}

TEST(PictureDecoderJpeg, TruncatedStreamWarningIsAnError) {
    QImage source(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            source.setPixel(x, y, qRgb(x * 4, y * 4, (x ^ y) * 4));
    const QByteArray jpeg = EncodeJpeg(source);
    const TDecodedPicture picture = DecodePicture(jpeg.left(jpeg.size() / 2));
    EXPECT_FALSE(picture.Ok());
    EXPECT_TRUE(picture.Error.startsWith("JPEG:")) << picture.Error.toStdString();
}

TEST(PictureDecoderJpeg, HugeAndZeroSizesAreRefused) {
    const QByteArray jpeg = EncodeJpeg(Solid(8, 8, 0xFF00FF00));
    EXPECT_FALSE(DecodePicture(JpegWithSize(jpeg, 60000, 60000)).Ok());
    EXPECT_FALSE(DecodePicture(JpegWithSize(jpeg, 8, 0)).Ok());
}

TEST(PictureDecoderGif, AllFramesComposeOntoTheScreenWithDelays) {
    TGifFrame first{0, 0, 2, 2, {1, 1, 1, 1}, 10, -1, 1};
    TGifFrame second{1, 0, 1, 2, {2, 0}, 25, 0, 1}; // index 0 is transparent here
    const TDecodedPicture picture = DecodePicture(EncodeGif(2, 2, {first, second}));
    ASSERT_TRUE(picture.Ok()) << picture.Error.toStdString();
    EXPECT_EQ(picture.Format, "GIF");
    ASSERT_EQ(picture.FrameCount(), 2);
    EXPECT_EQ(picture.DelaysMs, (std::vector<int>{100, 250}));
    EXPECT_EQ(picture.Frames[0].pixel(1, 0), GifPaletteColor(1));
    EXPECT_EQ(picture.Frames[1].pixel(0, 0), GifPaletteColor(1)); // kept from frame 1
    EXPECT_EQ(picture.Frames[1].pixel(1, 0), GifPaletteColor(2));
    EXPECT_EQ(picture.Frames[1].pixel(1, 1), GifPaletteColor(1)); // transparent: kept
}

TEST(PictureDecoderGif, DisposalToBackgroundClearsTheFrameArea) {
    TGifFrame first{0, 0, 2, 1, {3, 3}, 0, -1, 2};
    TGifFrame second{0, 0, 1, 1, {1}, 0, -1, 0};
    const TDecodedPicture picture = DecodePicture(EncodeGif(2, 1, {first, second}));
    ASSERT_TRUE(picture.Ok()) << picture.Error.toStdString();
    EXPECT_EQ(picture.Frames[1].pixel(0, 0), GifPaletteColor(1));
    EXPECT_EQ(qAlpha(picture.Frames[1].pixel(1, 0)), 0);
}

TEST(PictureDecoderGif, InterlacedRowsLandInPlace) {
    TGifFrame frame{0, 0, 1, 10, {0, 1, 2, 3, 0, 1, 2, 3, 0, 1}};
    frame.Interlace = true;
    const TDecodedPicture picture = DecodePicture(EncodeGif(1, 10, {frame}));
    ASSERT_TRUE(picture.Ok()) << picture.Error.toStdString();
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(picture.Frames[0].pixel(0, y), GifPaletteColor(frame.Indices[y])) << y;
}

TEST(PictureDecoderGif, FrameOutsideTheScreenIsAnError) {
    TGifFrame frame{3, 3, 2, 2, {1, 1, 1, 1}};
    const TDecodedPicture picture = DecodePicture(EncodeGif(4, 4, {frame}));
    EXPECT_FALSE(picture.Ok());
    EXPECT_TRUE(picture.Error.contains("outside")) << picture.Error.toStdString();
}

TEST(PictureDecoderGif, TruncatedAndZeroHeightAreErrors) {
    TGifFrame frame{0, 0, 8, 8, std::vector<unsigned char>(64, 2)};
    const QByteArray gif = EncodeGif(8, 8, {frame});
    EXPECT_FALSE(DecodePicture(gif.left(gif.size() - 12)).Ok());
    EXPECT_FALSE(DecodePicture(EncodeGif(8, 0, {})).Ok());
}

TEST(PictureDecoderGif, FrameCountLimitApplies) {
    TGifFrame frame{0, 0, 1, 1, {1}};
    TDecodeLimits limits;
    limits.MaxFrames = 2;
    EXPECT_FALSE(DecodePicture(EncodeGif(1, 1, {frame, frame, frame}), limits).Ok());
    EXPECT_TRUE(DecodePicture(EncodeGif(1, 1, {frame, frame}), limits).Ok());
}

TEST(PictureDecoderOther, BmpDecodes) {
    QImage source = Solid(3, 2, 0xFF0000FF);
    source.setPixel(2, 1, qRgb(10, 20, 30));
    const TDecodedPicture picture =
        DecodePicture(EncodeBmp(source.convertToFormat(QImage::Format_RGB32)));
    ASSERT_TRUE(picture.Ok()) << picture.Error.toStdString();
    EXPECT_EQ(picture.Format, "BMP");
    EXPECT_EQ(picture.Frames[0].pixel(2, 1), qRgb(10, 20, 30));
}

TEST(PictureDecoderOther, EmptyAndUnknownDataAreErrors) {
    EXPECT_EQ(DecodePicture(QByteArray()).Error, "picture data is empty");
    const TDecodedPicture unknown = DecodePicture(QByteArray("hello, not a picture"));
    EXPECT_EQ(unknown.Error, "unrecognised picture format");
    EXPECT_TRUE(unknown.Format.isEmpty());
}

} // namespace
} // namespace velmora

namespace velmora {
namespace {

// Every saved fuzz input is a regression case: the "valid" ones decode, the rest are
// refused with an error.
TEST(PictureDecoderCorpus, RegressionInputsKeepTheirOutcome) {
    const QDir folder(QStringLiteral(VELMORA_PICTURE_CORPUS));
    const QFileInfoList files = folder.entryInfoList(QDir::Files);
    ASSERT_GE(files.size(), 12);
    for (const QFileInfo& info : files) {
        QFile file(info.filePath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const TDecodedPicture picture = DecodePicture(file.readAll());
        EXPECT_EQ(picture.Ok(), info.fileName().startsWith("valid"))
            << info.fileName().toStdString() << ": " << picture.Error.toStdString();
    }
}

} // namespace
} // namespace velmora
