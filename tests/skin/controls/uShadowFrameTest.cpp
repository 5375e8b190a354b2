#include "skin/controls/uShadowFrame.h"

#include "skin/controls/ShadowSurface.h"
#include "tests/support/FakeDesktopWindows.h"
#include "tests/support/VirtualClock.h"
#include "tests/support/WindowTestSupport.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QWindow>
#include <set>

namespace velmora::testing {
namespace {

IGPBitmap Filled(int w, int h, QRgb colour) {
    IGPBitmap bitmap = NewGPBitmap(w, h);
    bitmap->Image().fill(colour);
    return bitmap;
}

// Where the desktop composes and places windows (X11 with a compositing manager), unless a
// test says otherwise.
class ShadowFrameTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        Form = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
        Form->setGeometry(100, 100, 400, 300);
        Form->show();
        MakeShadow();
    }
    void TearDown() override {
        Shadow.reset();
        Form.reset();
        WindowTest::TearDown();
    }
    void MakeShadow() {
        Shadow = std::make_unique<TFormShadowFrame>();
        Shadow->SetShadowBitmap(Filled(40, 40, qRgba(0, 0, 0, 128)));
        Shadow->SetShadowSizeMargin(TShadowMargins{10, 10, 10, 10});
    }
    void Attach() {
        Shadow->SetParentForm(Form.get());
        Shadow->SetActive(true);
    }
    QWindow* FormWindow() const { return Form->windowHandle(); }

    std::unique_ptr<TVirtualClock> Clock = std::make_unique<TVirtualClock>();
    std::unique_ptr<TFakeDesktopWindows> Desktop =
        std::make_unique<TFakeDesktopWindows>(true, true);
    std::unique_ptr<QWidget> Form;
    std::unique_ptr<TFormShadowFrame> Shadow;
};

TEST_F(ShadowFrameTest, NineSliceShadowIs420By320TenPixelsUpAndLeft) {
    Attach();
    ASSERT_NE(Shadow->Surface(), nullptr);
    EXPECT_EQ(Shadow->Surface()->geometry(), QRect(90, 90, 420, 320));
    EXPECT_EQ(Shadow->Geometry(), QRect(90, 90, 420, 320));
    EXPECT_EQ(Shadow->BlendBitmap().size(), QSize(420, 320));
    EXPECT_TRUE(Shadow->IsShown());
    EXPECT_EQ(qAlpha(Shadow->BlendBitmap().pixel(5, 5)), 128);
}

TEST_F(ShadowFrameTest, FollowsTheFormsMovesAndSizes) {
    Attach();
    Form->move(200, 150);
    EXPECT_EQ(Shadow->Surface()->geometry(), QRect(190, 140, 420, 320));
    Form->resize(300, 200);
    EXPECT_EQ(Shadow->Surface()->geometry(), QRect(190, 140, 320, 220));
    EXPECT_EQ(Shadow->BlendBitmap().size(), QSize(320, 220));
}

TEST_F(ShadowFrameTest, FollowsTheFrameWhileAWindowManagerMovesItAndStaysBelowIt) {
    Attach();
    Desktop->ClearStackRequests();
    // The form itself hears nothing until the move ends.
    Desktop->MoveFrame(*FormWindow(), QPoint(300, 240));
    EXPECT_EQ(Form->geometry().topLeft(), QPoint(100, 100));
    EXPECT_EQ(Shadow->Surface()->geometry(), QRect(290, 230, 420, 320));
    ASSERT_EQ(Desktop->StackRequests().size(), 1u);
    EXPECT_EQ(Desktop->StackRequests()[0].Companion, Shadow->Surface());
    EXPECT_EQ(Desktop->StackRequests()[0].Below, FormWindow());
    // When it ends, the form's own position agrees.
    Form->move(300, 240);
    EXPECT_EQ(Shadow->Surface()->geometry(), QRect(290, 230, 420, 320));
}

TEST_F(ShadowFrameTest, IsStackedBelowTheFormBeforeItIsFirstShownAndAtEveryPlacement) {
    Attach();
    const auto& requests = Desktop->StackRequests();
    ASSERT_FALSE(requests.empty());
    EXPECT_FALSE(requests.front().CompanionVisible) << "never mapped above the form";
    for (const auto& request : requests) {
        EXPECT_EQ(request.Companion, Shadow->Surface());
        EXPECT_EQ(request.Below, FormWindow());
    }
    Desktop->ClearStackRequests();
    Form->move(150, 120);
    EXPECT_FALSE(requests.empty());
}

TEST_F(ShadowFrameTest, HiddenWhileTheFrameIsUnmappedAndBackWhenItIsMapped) {
    Attach();
    Desktop->MapFrame(*FormWindow(), false); // another workspace shown
    EXPECT_FALSE(Shadow->IsShown());
    Desktop->MoveFrame(*FormWindow(), QPoint(10, 10));
    EXPECT_FALSE(Shadow->IsShown()) << "a move of a hidden frame does not show it";
    Desktop->MapFrame(*FormWindow(), true);
    EXPECT_TRUE(Shadow->IsShown());
    EXPECT_EQ(Shadow->Surface()->geometry(), QRect(90, 90, 420, 320));
}

TEST_F(ShadowFrameTest, FadesIn70_140_210_255OnTimerTicks) {
    Attach();
    EXPECT_EQ(Shadow->ShowAlpha(), 0);
    std::vector<int> steps;
    std::vector<int> shown;
    for (int tick = 0; tick < 6; ++tick) {
        Clock->Advance(200);
        steps.push_back(Shadow->ShowAlpha());
        shown.push_back(Shadow->Surface()->Alpha());
    }
    EXPECT_EQ(steps, (std::vector<int>{70, 140, 210, 255, 255, 255}));
    EXPECT_EQ(shown, steps) << "the window shows each step";
}

TEST_F(ShadowFrameTest, HiddenWhileMinimisedOrMaximisedAndRebuiltOnRestore) {
    Attach();
    ASSERT_TRUE(Shadow->IsShown());
    Form->showMinimized();
    EXPECT_FALSE(Shadow->IsShown());
    Form->showNormal();
    EXPECT_TRUE(Shadow->IsShown());

    Form->showMaximized();
    EXPECT_FALSE(Shadow->IsShown());
    const int rebuilds = Shadow->RebuildCount();
    Form->resize(400, 300); // a maximised form moving or sizing never shows or rebuilds it
    EXPECT_FALSE(Shadow->IsShown());
    Form->showNormal();
    Form->setGeometry(100, 100, 380, 280);
    EXPECT_TRUE(Shadow->IsShown());
    EXPECT_GT(Shadow->RebuildCount(), rebuilds);
    EXPECT_EQ(Shadow->BlendBitmap().size(), QSize(400, 300));
    EXPECT_EQ(Shadow->Surface()->geometry(), QRect(90, 90, 400, 300));
}

TEST_F(ShadowFrameTest, HiddenWithItsFormAndGoneWhenDeactivatedOrDetached) {
    Attach();
    Form->hide();
    EXPECT_FALSE(Shadow->IsShown());
    Form->show();
    EXPECT_TRUE(Shadow->IsShown());
    Shadow->SetActive(false);
    EXPECT_EQ(Shadow->Surface(), nullptr);
    EXPECT_EQ(Desktop->WatchCount(), 0) << "the frame is no longer watched";
    Shadow->SetActive(true);
    EXPECT_TRUE(Shadow->IsShown());
    Shadow->SetParentForm(nullptr);
    EXPECT_EQ(Shadow->Surface(), nullptr);
    Form->move(10, 10);
    EXPECT_EQ(Shadow->Surface(), nullptr);
}

TEST_F(ShadowFrameTest, FourStripsAroundTheForm) {
    Shadow->SetShadowBitmap(nullptr);
    Shadow->SetShadowTopBitmap(Filled(8, 6, qRgba(0, 0, 0, 40)));
    Shadow->SetShadowLeftBitmap(Filled(5, 8, qRgba(0, 0, 0, 50)));
    Shadow->SetShadowRightBitmap(Filled(7, 8, qRgba(0, 0, 0, 60)));
    Shadow->SetShadowBottomBitmap(Filled(8, 9, qRgba(0, 0, 0, 70)));
    ASSERT_TRUE(Shadow->HasShadowPictures());
    Attach();
    EXPECT_EQ(Shadow->Surface()->geometry(), QRect(95, 94, 412, 315));
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

TEST_F(ShadowFrameTest, TheWindowTakesNoInputNoFocusAndIsNoManagedWindow) {
    Attach();
    const TShadowSurface& surface = *Shadow->Surface();
    const Qt::WindowFlags flags = surface.flags();
    EXPECT_TRUE(flags & Qt::WindowTransparentForInput);
    EXPECT_TRUE(flags & Qt::WindowDoesNotAcceptFocus);
    EXPECT_TRUE(flags & Qt::X11BypassWindowManagerHint) << "no task bar or pager entry";
    EXPECT_TRUE(flags & Qt::FramelessWindowHint);
    EXPECT_EQ(surface.requestedFormat().alphaBufferSize(), 8) << "per-pixel alpha";
    // A secondary window: closing the form still ends the program.
    EXPECT_EQ(surface.transientParent(), FormWindow());
    EXPECT_EQ(Desktop->AccompanyCount(), 1) << "introduced to its form once: no title of its own";
}

TEST_F(ShadowFrameTest, TheWindowIsNoAccessibleObject) {
    QAccessibleInterface* application = QAccessible::queryAccessibleInterface(qApp);
    ASSERT_NE(application, nullptr);
    const int before = application->childCount();
    Attach();
    ASSERT_TRUE(Shadow->IsShown());
    EXPECT_EQ(Shadow->Surface()->accessibleRoot(), nullptr);
    EXPECT_EQ(application->childCount(), before);
    for (int i = 0; i < application->childCount(); ++i) {
        QAccessibleInterface* child = application->child(i);
        ASSERT_NE(child, nullptr);
        EXPECT_NE(child->object(), static_cast<QObject*>(Shadow->Surface()));
        EXPECT_NE(child->window(), static_cast<QWindow*>(Shadow->Surface()));
    }
}

TEST_F(ShadowFrameTest, NoWindowWhereTheDesktopCannotShowOne) {
    struct TCase {
        const char* Name;
        bool Fake;
        bool CanPlace;
        bool Compositor;
    };
    for (const TCase& desktop : {TCase{"X11 without a compositing manager", true, true, false},
                                 TCase{"Wayland", true, false, true},
                                 TCase{"this offscreen platform itself", false, false, false}}) {
        Shadow.reset();
        Desktop.reset();
        if (desktop.Fake)
            Desktop = std::make_unique<TFakeDesktopWindows>(desktop.CanPlace, desktop.Compositor);
        EXPECT_FALSE(TDesktopWindows::Current().CanShowCompanionWindows()) << desktop.Name;
        const qsizetype before = QGuiApplication::topLevelWindows().size();
        MakeShadow();
        Attach();
        EXPECT_EQ(Shadow->Surface(), nullptr) << desktop.Name;
        EXPECT_FALSE(Shadow->IsShown()) << desktop.Name;
        EXPECT_EQ(QGuiApplication::topLevelWindows().size(), before) << desktop.Name;
        // The rest of the shadow goes on: the fade and the geometry it would have.
        Clock->Advance(200);
        EXPECT_EQ(Shadow->ShowAlpha(), 70) << desktop.Name;
        EXPECT_EQ(Shadow->Geometry(), QRect(90, 90, 420, 320)) << desktop.Name;
        Shadow->SetActive(false);
    }
}

TEST_F(ShadowFrameTest, TheWindowComesAndGoesAsACompositingManagerStartsAndStops) {
    Shadow.reset();
    Desktop.reset();
    Desktop = std::make_unique<TFakeDesktopWindows>(true, false);
    MakeShadow();
    Attach();
    ASSERT_EQ(Shadow->Surface(), nullptr);
    Clock->Advance(200);

    Desktop->SetCompositor(true);
    ASSERT_NE(Shadow->Surface(), nullptr);
    EXPECT_TRUE(Shadow->IsShown());
    EXPECT_EQ(Shadow->Surface()->geometry(), QRect(90, 90, 420, 320));
    EXPECT_EQ(Shadow->Surface()->Alpha(), 70) << "the fade goes on where it was";
    EXPECT_EQ(Desktop->WatchCount(), 1);

    Desktop->SetCompositor(false);
    EXPECT_EQ(Shadow->Surface(), nullptr);
    EXPECT_EQ(Desktop->WatchCount(), 0);
    Form->move(200, 200);
    EXPECT_EQ(Shadow->Surface(), nullptr);

    Desktop->SetCompositor(true);
    ASSERT_TRUE(Shadow->IsShown());
    EXPECT_EQ(Shadow->Surface()->geometry(), QRect(190, 190, 420, 320));
}

TEST_F(ShadowFrameTest, FormWithoutAWindowLeavesTheShadowHidden) {
    QWidget never(nullptr, Qt::FramelessWindowHint);
    never.resize(400, 300);
    Shadow->SetParentForm(&never);
    Shadow->SetActive(true);
    EXPECT_EQ(Shadow->Surface(), nullptr);
    EXPECT_TRUE(Shadow->BlendBitmap().isNull());
    Shadow->SetParentForm(nullptr);
}

// A picture whose alpha climbs one step a pixel from left to right.
IGPBitmap AlphaRamp(int w, int h) {
    IGPBitmap bitmap = NewGPBitmap(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bitmap->SetPixel(x, y, qRgba(0, 0, 0, x * 255 / (w - 1)));
    return bitmap;
}

TEST_F(ShadowFrameTest, PictureIsDrawnAtTheDevicePixelRatioAndSmoothThere) {
    Shadow->SetShadowBitmap(AlphaRamp(40, 40));
    Shadow->SetShadowDrawMargin(TShadowMargins{16, 16, 16, 16});
    for (qreal ratio : {1.0, 1.5, 2.0}) {
        const QImage picture = DrawShadowPicture(*Shadow, QSize(400, 300), ratio);
        EXPECT_EQ(picture.devicePixelRatio(), ratio);
        EXPECT_EQ(picture.deviceIndependentSize().toSize(), QSize(420, 320)) << ratio;
        EXPECT_EQ(picture.size(), QSize(qRound(420 * ratio), qRound(320 * ratio))) << ratio;
        // Along the left corner's ramp every device pixel has an alpha of its own: a 1x
        // picture blown up would repeat each value.
        const int row = picture.height() / 2;
        const int corner = qRound(16 * ratio);
        std::set<int> alphas;
        for (int x = 0; x < corner; ++x)
            alphas.insert(qAlpha(picture.pixel(x, row)));
        EXPECT_GE(int(alphas.size()), corner - 1) << ratio;
    }
}

} // namespace
} // namespace velmora::testing
