// Pictures of image controls on screens of 1, 1.5 and 2 device pixels per logical pixel: a
// picture with a rendering for the screen is drawn from it, one without is enlarged smoothly,
// and the control keeps its logical geometry.
#include "skin/widgets/SkinImages.h"
#include "tests/skin/widgets/WidgetTestSupport.h"
#include "tests/support/PictureMeasures.h"
#include "tests/support/ScaledScreens.h"

#include <QTest>
#include <QtMath>

namespace velmora::testing {
namespace {

[[maybe_unused]] const bool GScaledScreens = UseScaledScreens();

// A 1x picture of single-pixel checks: any enlargement shows how it was made.
QImage Checks(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, (x + y) % 2 ? 0xFF203040 : 0xFFF0E0D0);
    return image;
}

// Its rendering for a screen of ratio: a pattern no enlargement of the checks gives.
QImage Rendering(int width, int height, qreal ratio) {
    QImage image(qCeil(width * ratio), qCeil(height * ratio), QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb((x * 5) % 256, (y * 9) % 256, (x + 2 * y) % 256));
    image.setDevicePixelRatio(ratio);
    return image;
}

class SkinImageScaleTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        Image = std::make_unique<TSkinImage>(Form.get());
        Image->setGeometry(17, 23, 40, 30);
        Image->show();
    }
    void TearDown() override {
        Image.reset();
        WidgetTest::TearDown();
    }
    TGPBitmap WithRenderings() const {
        TGPBitmap picture(Checks(40, 30));
        EXPECT_TRUE(picture.AddVariant(Rendering(40, 30, 1.5)));
        EXPECT_TRUE(picture.AddVariant(Rendering(40, 30, 2)));
        return picture;
    }
    std::unique_ptr<TSkinImage> Image;
};

TEST_F(SkinImageScaleTest, APictureIsDrawnFromItsRenderingForTheScreen) {
    Image->SetPicture(WithRenderings());
    ASSERT_TRUE(MoveToScreen(*Form, 2));
    const QImage shown = Grab(*Image);
    EXPECT_EQ(Image->geometry(), QRect(17, 23, 40, 30));
    EXPECT_EQ(Image->PictureBitmap().Variants().size(), 2u);
    EXPECT_EQ(shown.size(), QSize(80, 60));
    EXPECT_EQ(shown, Rendering(40, 30, 2).convertToFormat(QImage::Format_ARGB32))
        << "pixel for pixel the 2x rendering";
    EXPECT_EQ(Image->BufferBitmap().size(), QSize(80, 60));
    EXPECT_EQ(Image->SelfBufferGPBitmap()->Width(), 40);

    ASSERT_TRUE(MoveToScreen(*Form, 1.5));
    const QImage fractional = Grab(*Image);
    EXPECT_EQ(fractional.size(), QSize(60, 45));
    EXPECT_EQ(fractional, Rendering(40, 30, 1.5).convertToFormat(QImage::Format_ARGB32))
        << "and the 1.5x rendering at 1.5x";
}

// Ramps both ways: smooth enlarging gives every device pixel a value of its own.
QImage Ramps(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 6 % 256, y * 8 % 256, (x * y * 3) % 256));
    return image;
}

TEST_F(SkinImageScaleTest, APictureWithoutARenderingIsEnlargedSmoothly) {
    Image->SetPicture(Ramps(40, 30));
    ASSERT_TRUE(MoveToScreen(*Form, 2));
    const QImage shown = Grab(*Image);
    ASSERT_EQ(shown.size(), QSize(80, 60));
    EXPECT_LT(fixtures::UniformBlockShare(shown, shown.rect().adjusted(2, 2, -2, -2)), 0.05)
        << "no square of 2 x 2 pixels repeats one pixel";
}

TEST_F(SkinImageScaleTest, AtRatioOneThePictureItselfIsShown) {
    Image->SetPicture(WithRenderings());
    ASSERT_TRUE(MoveToScreen(*Form, 1));
    EXPECT_EQ(Grab(*Image), Checks(40, 30));
    ASSERT_TRUE(MoveToScreen(*Form, 2));
    ASSERT_TRUE(MoveToScreen(*Form, 1));
    EXPECT_EQ(Grab(*Image), Checks(40, 30)) << "and again after a visit to another screen";
}

} // namespace
} // namespace velmora::testing
