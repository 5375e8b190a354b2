#include "skin/drawing/GdiSkinHelper.h"

#include "platform/graphics/PictureDecoder.h"
#include "tests/support/PictureFixtures.h"
#include "tests/support/SkinTestSupport.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

namespace velmora {
namespace {

using namespace fixtures;

class BitmapFactory : public testing::SkinTest {
protected:
    static QBuffer* Stream(QByteArray& bytes) {
        auto* buffer = new QBuffer(&bytes);
        buffer->open(QIODevice::ReadOnly);
        return buffer;
    }
    QString WriteFile(const QString& name, const QByteArray& bytes) {
        const QString path = FFolder.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }
    QTemporaryDir FFolder;
};

TEST_F(BitmapFactory, OnePixelPngStreamKeepsThePixelInArgb) {
    QImage source(1, 1, QImage::Format_ARGB32);
    source.setPixel(0, 0, qRgba(10, 200, 30, 77));
    QByteArray bytes = EncodePng(source);
    std::unique_ptr<QBuffer> stream(Stream(bytes));
    stream->seek(bytes.size()); // the factory rewinds
    const IGPBitmap bitmap = TSkinHelper::CreateBitmap(stream.get());
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->Width(), 1);
    EXPECT_EQ(bitmap->PixelFormat(), TGPPixelFormat::Format32bppARGB);
    EXPECT_EQ(bitmap->GetPixel(0, 0), qRgba(10, 200, 30, 77));
    EXPECT_TRUE(Log()->Lines().isEmpty());
}

TEST_F(BitmapFactory, EmptyOrAbsentStreamGivesNothingAndNoLog) {
    QByteArray empty;
    std::unique_ptr<QBuffer> stream(Stream(empty));
    EXPECT_FALSE(TSkinHelper::CreateBitmap(stream.get()));
    EXPECT_FALSE(TSkinHelper::CreateBitmap(static_cast<QIODevice*>(nullptr)));
    EXPECT_FALSE(TSkinHelper::CreateBitmapBySize(stream.get(), 3, 3));
    EXPECT_FALSE(TSkinHelper::CreateOriginalBitmap(stream.get()));
    EXPECT_TRUE(Log()->Lines().isEmpty());
}

TEST_F(BitmapFactory, CorruptStreamRaisesFromTheCentralDecoder) {
    QByteArray bytes("\x89PNG\r\n\x1a\nbroken", 14);
    std::unique_ptr<QBuffer> stream(Stream(bytes));
    EXPECT_THROW(TSkinHelper::CreateBitmap(stream.get()), EPictureDecodeError);
}

TEST_F(BitmapFactory, BySizeStretchesTheWholePicture) {
    QImage source = Solid(10, 10, 0xFF0000FF);
    QByteArray bytes = EncodePng(source);
    std::unique_ptr<QBuffer> stream(Stream(bytes));
    const IGPBitmap bitmap = TSkinHelper::CreateBitmapBySize(stream.get(), 30, 20);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->Width(), 30);
    EXPECT_EQ(bitmap->Height(), 20);
    EXPECT_EQ(bitmap->GetPixel(29, 19), 0xFF0000FFu);
    EXPECT_EQ(bitmap->GetPixel(15, 10), 0xFF0000FFu);
}

TEST_F(BitmapFactory, CorruptStreamBySizeLogsOnceAndGivesNothing) {
    QByteArray bytes("\xFF\xD8\xFFgarbage-after-a-jpeg-signature", 33);
    std::unique_ptr<QBuffer> stream(Stream(bytes));
    EXPECT_FALSE(TSkinHelper::CreateBitmapBySize(stream.get(), 30, 20));
    const QStringList lines = Log()->Lines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith("AdditionalMsg:CreateBitmapThrough Stream"))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains("ClassName:TSkinHelper      ExceptionName:EPictureDecodeError"));
}

TEST_F(BitmapFactory, AbsurdTargetSizeIsALoggedFailure) {
    QByteArray bytes = EncodePng(Solid(2, 2, 0xFF0000FF));
    std::unique_ptr<QBuffer> stream(Stream(bytes));
    EXPECT_FALSE(TSkinHelper::CreateBitmapBySize(stream.get(), 200000, 200000));
    EXPECT_FALSE(TSkinHelper::CreateBitmapBySize(stream.get(), 0, 20));
    const QStringList lines = Log()->Lines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith("AdditionalMsg:CreateBitmapThrough Stream"));
}

TEST_F(BitmapFactory, MissingFileIsNotAnError) {
    EXPECT_FALSE(TSkinHelper::CreateBitmap(FFolder.filePath("absent.png")));
    EXPECT_FALSE(TSkinHelper::CreateBitmapBySize(FFolder.filePath("absent.png"), 4, 4));
    EXPECT_FALSE(TSkinHelper::CreateOriginalBitmap(FFolder.filePath("absent.png")));
    EXPECT_TRUE(Log()->Lines().isEmpty());
}

TEST_F(BitmapFactory, CorruptFileLogsWithTheFileTag) {
    const QString path = WriteFile("bad.png", QByteArray("GIF89a\x01\x00", 8));
    EXPECT_FALSE(TSkinHelper::CreateBitmap(path));
    EXPECT_FALSE(TSkinHelper::CreateOriginalBitmap(path));
    const QStringList lines = Log()->Lines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith("AdditionalMsg:CreateBitmapThrough FileName"));
    EXPECT_TRUE(lines[1].endsWith("AdditionalMsg:CreateOriginalBitmap"));
}

TEST_F(BitmapFactory, FileBySizeDecodesAndScales) {
    const QString path = WriteFile("ok.png", EncodePng(Solid(2, 2, 0xFF00FF00)));
    const IGPBitmap bitmap = TSkinHelper::CreateBitmapBySize(path, 5, 7);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->Height(), 7);
    EXPECT_EQ(bitmap->GetPixel(4, 6), 0xFF00FF00u);
}

TEST_F(BitmapFactory, ResourcesDecodeAndMissingOnesRaise) {
    const IGPBitmap bitmap = TSkinHelper::CreateBitmap("quad2x2.png", "PNG");
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->GetPixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(bitmap->GetPixel(1, 0), 0xFF00FF00u);
    EXPECT_EQ(bitmap->GetPixel(0, 1), 0xFF0000FFu);
    EXPECT_EQ(bitmap->GetPixel(1, 1), qRgba(255, 255, 255, 128));
    EXPECT_TRUE(TSkinHelper::CreateOriginalBitmap("quad2x2.png", "PNG"));
    EXPECT_THROW(TSkinHelper::CreateBitmap("nothere.png", "PNG"), ESkinResourceNotFound);
    EXPECT_THROW(TSkinHelper::CreateOriginalBitmap("nothere.png", "PNG"), ESkinResourceNotFound);
}

TEST_F(BitmapFactory, InMemoryPictureRoundTrips) {
    QImage graphic = Solid(3, 1, 0xFF112233);
    graphic.setPixel(2, 0, 0x80445566);
    const IGPBitmap bitmap = TSkinHelper::CreateBitmap(graphic);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->GetPixel(0, 0), 0xFF112233u);
    EXPECT_EQ(bitmap->GetPixel(2, 0), 0x80445566u);
    EXPECT_FALSE(TSkinHelper::CreateBitmap(QImage()));
    EXPECT_FALSE(TSkinHelper::CreateOriginalBitmap(QImage()));
}

// An in-memory picture's bitmap is drawn from its pixels without a PNG in between; for every
// kind of picture it must still be exactly the bitmap the PNG of that picture gives.
TEST_F(BitmapFactory, InMemoryPictureIsTheBitmapOfItsPng) {
    QImage gradient(37, 11, QImage::Format_ARGB32);
    for (int y = 0; y < gradient.height(); ++y)
        for (int x = 0; x < gradient.width(); ++x)
            gradient.setPixel(x, y, qRgba(x * 7, y * 23, (x * y) % 256, (x * 13 + y * 29) % 256));
    gradient.setDevicePixelRatio(2);
    const QImage::Format formats[] = {
        QImage::Format_ARGB32,     QImage::Format_ARGB32_Premultiplied,
        QImage::Format_RGB32,      QImage::Format_Indexed8,
        QImage::Format_Grayscale8, QImage::Format_RGB888,
        QImage::Format_RGB16,      QImage::Format_ARGB4444_Premultiplied,
        QImage::Format_RGBA8888,   QImage::Format_RGBX8888,
        QImage::Format_Alpha8,     QImage::Format_RGBA64,
        QImage::Format_Mono,       QImage::Format_A2RGB30_Premultiplied};
    for (const QImage::Format format : formats) {
        SCOPED_TRACE(static_cast<int>(format));
        const QImage picture = gradient.convertToFormat(format);
        QByteArray png;
        QBuffer out(&png);
        out.open(QIODevice::WriteOnly);
        ASSERT_TRUE(picture.save(&out, "PNG"));
        std::unique_ptr<QBuffer> in(Stream(png));
        const IGPBitmap expected = TSkinHelper::CreateBitmap(in.get());
        const IGPBitmap bitmap = TSkinHelper::CreateBitmap(picture);
        ASSERT_TRUE(expected && bitmap);
        EXPECT_EQ(bitmap->Image().format(), expected->Image().format());
        EXPECT_EQ(bitmap->Image().devicePixelRatio(), expected->Image().devicePixelRatio());
        EXPECT_TRUE(bitmap->Image() == expected->Image());
    }
}

TEST_F(BitmapFactory, OriginalBitmapKeepsDecodedFrame) {
    QByteArray bytes = EncodeGif(2, 1, {TGifFrame{0, 0, 2, 1, {1, 3}}});
    std::unique_ptr<QBuffer> stream(Stream(bytes));
    const IGPBitmap bitmap = TSkinHelper::CreateOriginalBitmap(stream.get());
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->GetPixel(1, 0), GifPaletteColor(3));
}

// An animation keeps every frame and its delay (in hundredths of a second, one timer tick
// each) through the decoder; selecting a frame shows it.
TEST_F(BitmapFactory, OriginalBitmapKeepsEveryFrameAndDelay) {
    QByteArray bytes = EncodeGif(1, 1,
                                 {TGifFrame{0, 0, 1, 1, {1}, 10}, TGifFrame{0, 0, 1, 1, {2}, 0},
                                  TGifFrame{0, 0, 1, 1, {3}, 5}});
    std::unique_ptr<QBuffer> stream(Stream(bytes));
    const IGPBitmap bitmap = TSkinHelper::CreateOriginalBitmap(stream.get());
    ASSERT_TRUE(bitmap);
    EXPECT_TRUE(bitmap->IsGif());
    ASSERT_EQ(bitmap->FrameCount(), 3);
    EXPECT_EQ(bitmap->FrameDelays(), (std::vector<quint32>{10, 0, 5}));
    for (int frame = 0; frame < 3; ++frame) {
        bitmap->SelectActiveFrame(frame);
        EXPECT_EQ(bitmap->GetPixel(0, 0), GifPaletteColor(frame + 1)) << frame;
    }
}

} // namespace
} // namespace velmora
