#include "skin/controls/uShadowFrame.h"

#include "tests/support/VirtualClock.h"
#include "tests/support/WindowTestSupport.h"

namespace velmora::testing {
namespace {

IGPBitmap Filled(int w, int h, QRgb colour) {
    IGPBitmap bitmap = NewGPBitmap(w, h);
    bitmap->Image().fill(colour);
    return bitmap;
}

class ShadowFrameTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        Form = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
        Form->setGeometry(100, 100, 400, 300);
        Form->show();
        Shadow = std::make_unique<TFormShadowFrame>();
        Shadow->SetShadowBitmap(Filled(40, 40, qRgba(0, 0, 0, 128)));
        Shadow->SetShadowSizeMargin(TShadowMargins{10, 10, 10, 10});
    }
    void TearDown() override {
        Shadow.reset();
        Form.reset();
        WindowTest::TearDown();
    }
    std::unique_ptr<TVirtualClock> Clock = std::make_unique<TVirtualClock>();
    std::unique_ptr<QWidget> Form;
    std::unique_ptr<TFormShadowFrame> Shadow;
};

TEST_F(ShadowFrameTest, NineSliceShadowIs420By320TenPixelsUpAndLeft) {
    Shadow->SetParentForm(Form.get());
    Shadow->SetActive(true);
    EXPECT_EQ(Shadow->geometry(), QRect(90, 90, 420, 320));
    EXPECT_EQ(Shadow->BlendBitmap().size(), QSize(420, 320));
    EXPECT_TRUE(Shadow->isVisible());
    EXPECT_EQ(qAlpha(Shadow->BlendBitmap().pixel(5, 5)), 128);
}

TEST_F(ShadowFrameTest, FollowsTheFormsMovesAndSizes) {
    Shadow->SetParentForm(Form.get());
    Shadow->SetActive(true);
    Form->move(200, 150);
    EXPECT_EQ(Shadow->geometry(), QRect(190, 140, 420, 320));
    Form->resize(300, 200);
    EXPECT_EQ(Shadow->geometry(), QRect(190, 140, 320, 220));
    EXPECT_EQ(Shadow->BlendBitmap().size(), QSize(320, 220));
}

TEST_F(ShadowFrameTest, FadesIn70_140_210_255OnTimerTicks) {
    Shadow->SetParentForm(Form.get());
    Shadow->SetActive(true);
    EXPECT_EQ(Shadow->ShowAlpha(), 0);
    std::vector<int> steps;
    for (int tick = 0; tick < 6; ++tick) {
        Clock->Advance(200);
        steps.push_back(Shadow->ShowAlpha());
    }
    EXPECT_EQ(steps, (std::vector<int>{70, 140, 210, 255, 255, 255}));
}

TEST_F(ShadowFrameTest, ShownPictureCarriesTheFadeAlpha) {
    Shadow->SetParentForm(Form.get());
    Shadow->SetActive(true);
    Clock->Advance(200);
    const QImage picture = Shadow->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_NEAR(qAlpha(picture.pixel(5, 5)), 128 * 70 / 255, 2);
}

TEST_F(ShadowFrameTest, HiddenWhileMinimisedOrMaximisedAndRebuiltOnRestore) {
    Shadow->SetParentForm(Form.get());
    Shadow->SetActive(true);
    ASSERT_TRUE(Shadow->isVisible());
    Form->showMinimized();
    EXPECT_FALSE(Shadow->isVisible());
    Form->showNormal();
    EXPECT_TRUE(Shadow->isVisible());

    Form->showMaximized();
    EXPECT_FALSE(Shadow->isVisible());
    const int rebuilds = Shadow->RebuildCount();
    Form->resize(400, 300); // a maximised form moving or sizing never shows or rebuilds it
    EXPECT_FALSE(Shadow->isVisible());
    Form->showNormal();
    Form->setGeometry(100, 100, 380, 280);
    EXPECT_TRUE(Shadow->isVisible());
    EXPECT_GT(Shadow->RebuildCount(), rebuilds);
    EXPECT_EQ(Shadow->BlendBitmap().size(), QSize(400, 300));
    EXPECT_EQ(Shadow->geometry(), QRect(90, 90, 400, 300));
}

TEST_F(ShadowFrameTest, HiddenWithItsFormAndWhenDeactivated) {
    Shadow->SetParentForm(Form.get());
    Shadow->SetActive(true);
    Form->hide();
    EXPECT_FALSE(Shadow->isVisible());
    Form->show();
    EXPECT_TRUE(Shadow->isVisible());
    Shadow->SetActive(false);
    EXPECT_FALSE(Shadow->isVisible());
    Shadow->SetParentForm(nullptr);
    Form->move(10, 10);
    EXPECT_FALSE(Shadow->isVisible());
}

TEST_F(ShadowFrameTest, FourStripsAroundTheForm) {
    Shadow->SetShadowBitmap(nullptr);
    Shadow->SetShadowTopBitmap(Filled(8, 6, qRgba(0, 0, 0, 40)));
    Shadow->SetShadowLeftBitmap(Filled(5, 8, qRgba(0, 0, 0, 50)));
    Shadow->SetShadowRightBitmap(Filled(7, 8, qRgba(0, 0, 0, 60)));
    Shadow->SetShadowBottomBitmap(Filled(8, 9, qRgba(0, 0, 0, 70)));
    ASSERT_TRUE(Shadow->HasShadowPictures());
    Shadow->SetParentForm(Form.get());
    Shadow->SetActive(true);
    EXPECT_EQ(Shadow->geometry(), QRect(95, 94, 412, 315));
    const QImage& picture = Shadow->BlendBitmap();
    EXPECT_EQ(qAlpha(picture.pixel(100, 2)), 40);
    EXPECT_EQ(qAlpha(picture.pixel(3, 100)), 50);
    EXPECT_EQ(qAlpha(picture.pixel(0, 100)), 0) << "the left strip starts two pixels in";
    EXPECT_EQ(qAlpha(picture.pixel(408, 100)), 60);
    EXPECT_EQ(qAlpha(picture.pixel(100, 310)), 70);
}

TEST_F(ShadowFrameTest, IncompletePicturesCannotMakeAShadow) {
    Shadow->SetShadowBitmap(nullptr);
    Shadow->SetShadowTopBitmap(Filled(8, 6, qRgba(0, 0, 0, 40)));
    EXPECT_FALSE(Shadow->HasShadowPictures());
}

TEST_F(ShadowFrameTest, ClickThroughTranslucentToolWindow) {
    EXPECT_TRUE(Shadow->isWindow());
    EXPECT_TRUE(Shadow->windowFlags() & Qt::WindowTransparentForInput);
    EXPECT_TRUE(Shadow->windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_TRUE(Shadow->testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_TRUE(Shadow->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(Shadow->windowType(), Qt::Tool);
}

TEST_F(ShadowFrameTest, FormWithoutAWindowLeavesTheShadowHidden) {
    QWidget never(nullptr, Qt::FramelessWindowHint);
    never.resize(400, 300);
    Shadow->SetParentForm(&never);
    Shadow->SetActive(true);
    EXPECT_FALSE(Shadow->isVisible());
    EXPECT_TRUE(Shadow->BlendBitmap().isNull());
    Shadow->SetParentForm(nullptr);
}

} // namespace
} // namespace velmora::testing
