#include "skin/widgets/SkinImages.h"
#include "tests/skin/widgets/WidgetTestSupport.h"
#include "tests/support/PictureFixtures.h"
#include "tests/support/VirtualClock.h"

#include <QAccessible>
#include <QBuffer>
#include <QTemporaryDir>

namespace velmora::testing {
namespace {

// Three 4 x 4 frames: red, green, blue, with the given delays in hundredths of a second.
QByteArray ThreeFrameGif(int d0, int d1, int d2) {
    std::vector<fixtures::TGifFrame> frames;
    const int delays[] = {d0, d1, d2};
    for (int i = 0; i < 3; ++i) {
        fixtures::TGifFrame frame;
        frame.Width = 4;
        frame.Height = 4;
        frame.Indices.assign(16, static_cast<unsigned char>(i + 1));
        frame.DelayCentiseconds = delays[i];
        frames.push_back(frame);
    }
    return fixtures::EncodeGif(4, 4, frames);
}

class SkinImageBoxTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        Clock = std::make_unique<TVirtualClock>();
        Box = std::make_unique<TSkinImageBox>(Form.get());
        Box->setGeometry(10, 10, 40, 40);
        Box->show();
    }
    void TearDown() override {
        Box.reset();
        Clock.reset();
        WidgetTest::TearDown();
    }
    void LoadGif(const QByteArray& gif) {
        QBuffer stream;
        stream.setData(gif);
        stream.open(QIODevice::ReadOnly);
        Box->LoadFromStream(&stream, true);
    }
    QRgb Shown() {
        Grab(*Box);
        return Box->SelfBufferGPBitmap()->GetPixel(20, 20);
    }
    std::unique_ptr<TVirtualClock> Clock;
    std::unique_ptr<TSkinImageBox> Box;
};

TEST_F(SkinImageBoxTest, GifWithDelaysTenZeroFivePlaysOnTheTenMillisecondTick) {
    LoadGif(ThreeFrameGif(10, 0, 5));
    ASSERT_TRUE(Box->Animated());
    ASSERT_TRUE(Box->TimerActive());
    EXPECT_EQ(Box->FrameCount(), 3);
    EXPECT_EQ(Box->FrameTimeArr(), (std::vector<quint32>{10, 0, 5}));
    const QRgb red = fixtures::GifPaletteColor(1);
    const QRgb green = fixtures::GifPaletteColor(2);
    const QRgb blue = fixtures::GifPaletteColor(3);
    EXPECT_EQ(Shown(), red);
    std::vector<int> frameAtTick;
    for (int tick = 1; tick <= 33; ++tick) {
        Clock->Advance(10);
        frameAtTick.push_back(Box->FrameIndex());
    }
    // Frame 0 for ten ticks, frame 1 for one, frame 2 for five, then around again.
    std::vector<int> expected;
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 9 && expected.size() < 33; ++i)
            expected.push_back(0);
        // (the first round starts at tick 0, so frame 0 has one tick less in the list)
        if (round > 0 && expected.size() < 33)
            expected.push_back(0);
        if (expected.size() < 33)
            expected.push_back(1);
        for (int i = 0; i < 5 && expected.size() < 33; ++i)
            expected.push_back(2);
    }
    expected.resize(33);
    EXPECT_EQ(frameAtTick, expected);
    // Tick 16 ends frame 2's five ticks: frame 0 again at tick 16, so the picture shows red.
    Clock->Advance(0);
    EXPECT_EQ(Box->FrameIndex(), expected.back());
    (void)green;
    (void)blue;
}

TEST_F(SkinImageBoxTest, FramesShowTheirPixels) {
    LoadGif(ThreeFrameGif(1, 1, 1));
    EXPECT_EQ(Shown(), fixtures::GifPaletteColor(1));
    Clock->Advance(10);
    EXPECT_EQ(Shown(), fixtures::GifPaletteColor(2));
    Clock->Advance(10);
    EXPECT_EQ(Shown(), fixtures::GifPaletteColor(3));
    Clock->Advance(10);
    EXPECT_EQ(Shown(), fixtures::GifPaletteColor(1));
}

TEST_F(SkinImageBoxTest, GifWithoutDelaysStepsEveryTickAndNeverLoops) {
    LoadGif(ThreeFrameGif(0, 0, 0));
    Clock->Advance(10);
    EXPECT_EQ(Box->FrameIndex(), 1);
    Clock->Advance(10);
    EXPECT_EQ(Box->FrameIndex(), 2);
}

TEST_F(SkinImageBoxTest, HiddenBoxDoesNotAdvance) {
    LoadGif(ThreeFrameGif(1, 1, 1));
    Box->hide();
    Clock->Advance(50);
    EXPECT_EQ(Box->FrameIndex(), 0);
    EXPECT_TRUE(Box->TimerActive());
}

TEST_F(SkinImageBoxTest, LoadFromFileAnimatesGifsOnly) {
    QTemporaryDir folder;
    const QString gifPath = folder.filePath("a.gif");
    const QString pngPath = folder.filePath("a.png");
    QFile gif(gifPath);
    ASSERT_TRUE(gif.open(QIODevice::WriteOnly));
    gif.write(ThreeFrameGif(3, 3, 3));
    gif.close();
    QFile png(pngPath);
    ASSERT_TRUE(png.open(QIODevice::WriteOnly));
    png.write(fixtures::EncodePng(fixtures::Solid(5, 5, 0xFF112233)));
    png.close();
    Box->LoadFromFile(gifPath);
    EXPECT_TRUE(Box->Animated());
    EXPECT_TRUE(Box->TimerActive());
    Box->LoadFromFile(pngPath);
    EXPECT_FALSE(Box->Animated());
    EXPECT_FALSE(Box->TimerActive());
    EXPECT_EQ(Shown(), 0xFF112233u);
}

TEST_F(SkinImageBoxTest, UndecodablePictureIsLoggedAndTheImageStays) {
    Box->LoadFromImage(std::make_shared<TGPBitmap>(fixtures::Solid(3, 3, 0xFF445566)), false);
    QBuffer stream;
    stream.setData(QByteArray("GIF89a this is not a picture"));
    stream.open(QIODevice::ReadOnly);
    Box->LoadFromStream(&stream, true);
    EXPECT_FALSE(Log()->Lines().isEmpty());
    EXPECT_EQ(Shown(), 0xFF445566u);
    EXPECT_FALSE(Box->TimerActive());
}

TEST_F(SkinImageBoxTest, AnimatedStillPictureHasNoDelayListAndStops) {
    // A GIF claim on a picture without frames: reading the delay list fails.
    Box->LoadFromImage(std::make_shared<TGPBitmap>(fixtures::Solid(3, 3, 0xFF445566)), true);
    EXPECT_FALSE(Box->TimerActive());
    EXPECT_EQ(Box->FrameCount(), 1) << "not a GIF: the frame count of the picture";
}

TEST_F(SkinImageBoxTest, ImageWriteIgnoresNoneAndKeepsAnimation) {
    LoadGif(ThreeFrameGif(1, 1, 1));
    const IGPBitmap gif = Box->Image();
    Box->SetImage(nullptr);
    EXPECT_EQ(Box->Image(), gif);
    Box->SetImage(std::make_shared<TGPBitmap>(fixtures::Solid(3, 3, 0xFF445566)));
    EXPECT_TRUE(Box->Animated());
    EXPECT_FALSE(Box->TimerActive()) << "a still picture has nothing to play";
    LoadGif(ThreeFrameGif(1, 1, 1));
    const IGPBitmap again = Box->Image();
    Box->SetImage(again);
    EXPECT_TRUE(Box->TimerActive());
}

TEST_F(SkinImageBoxTest, StretchedDrawingAndOnPaint) {
    Box->LoadFromImage(std::make_shared<TGPBitmap>(fixtures::Solid(2, 2, 0xFF00FF00)), false);
    int painted = 0;
    Box->OnPaint = [&](TGPGraphics& g, const TGPRect& r) {
        ++painted;
        g.FillRectangle(0xFFFF0000, QRectF(r.Width - 5, 0, 5, 5));
    };
    Box->RepaintSelfImage();
    Grab(*Box);
    EXPECT_EQ(painted, 1);
    EXPECT_EQ(Box->SelfBufferGPBitmap()->GetPixel(1, 38), 0xFF00FF00u);
    EXPECT_EQ(Box->SelfBufferGPBitmap()->GetPixel(38, 1), 0xFFFF0000u);
    Box->OnPaint = [](TGPGraphics&, const TGPRect&) { throw std::runtime_error("paint hook"); };
    Box->RepaintSelfImage();
    Grab(*Box);
    EXPECT_TRUE(LogHas(Log()->Lines(), QStringLiteral("FOnPaint")));
}

TEST_F(SkinImageBoxTest, AssignCopiesImageAndAnimation) {
    LoadGif(ThreeFrameGif(1, 1, 1));
    TSkinImageBox copy(Form.get());
    copy.Assign(*Box);
    EXPECT_EQ(copy.Image(), Box->Image());
    EXPECT_TRUE(copy.Animated());
}

TEST_F(SkinImageBoxTest, ImageAutoSizeTakesEachPicturesSize) {
    TSkinImage image(Form.get());
    EXPECT_EQ(image.size(), QSize(105, 105));
    image.SetAutoSize(true);
    image.SetPicture(fixtures::Solid(30, 20, 0xFF0000FF));
    EXPECT_EQ(image.size(), QSize(30, 20));
    image.SetPicture(fixtures::Solid(12, 44, 0xFF0000FF));
    EXPECT_EQ(image.size(), QSize(12, 44));
    image.SetAutoSize(false);
    image.SetPicture(fixtures::Solid(8, 8, 0xFF00FF00));
    EXPECT_EQ(image.size(), QSize(12, 44));
    image.show();
    Grab(image);
    EXPECT_EQ(image.SelfBufferGPBitmap()->GetPixel(11, 43), 0xFF00FF00u) << "always stretched";
}

TEST_F(SkinImageBoxTest, ImageGraphicsMakesAnImageOfTheControlsSize) {
    TSkinImage image(Form.get());
    image.resize(16, 9);
    std::unique_ptr<TGPGraphics> graphics = image.ImageGraphics();
    ASSERT_NE(graphics, nullptr);
    graphics->FillRectangle(0xFFABCDEF, QRectF(0, 0, 16, 9));
    graphics.reset();
    ASSERT_TRUE(image.Image());
    EXPECT_EQ(image.Image()->Width(), 16);
    EXPECT_EQ(image.Image()->GetPixel(3, 3), 0xFFABCDEFu);
}

TEST_F(SkinImageBoxTest, AccessibleDescriptionAndRole) {
    Box->setAccessibleDescription(QStringLiteral("Velmora 标志"));
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(Box.get());
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::Graphic);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Velmora 标志"));
    EXPECT_EQ(face->text(QAccessible::Description), QStringLiteral("Velmora 标志"));
}

} // namespace
} // namespace velmora::testing
