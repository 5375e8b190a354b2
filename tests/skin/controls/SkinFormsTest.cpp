#include "skin/controls/SkinForms.h"

#include "skin/controls/ShadowSurface.h"
#include "skin/data/SkinFormStyleItem.h"
#include "skin/data/SkinManage.h"
#include "skin/data/SkinMgrCommon.h"
#include "skin/drawing/GDIBIGIMGPro.h"
#include "tests/support/FakeDesktopWindows.h"
#include "tests/support/VirtualClock.h"
#include "tests/support/WindowTestSupport.h"

#include <QApplication>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QTest>
#include <functional>

namespace velmora::testing {
namespace {

// A form that records the platform's move and resize requests and counts its redraws.
class TRecordingForm : public TDefaultSkinForm {
public:
    int Moves = 0;
    Qt::Edges LastResize;
    int StyleLoads = 0;
    int FrameDraws = 0;

protected:
    void StartSystemMove(const QPoint&) override { ++Moves; }
    void StartSystemResize(Qt::Edges edges) override { LastResize = edges; }
    void LoadFormStyle() override {
        ++StyleLoads;
        TDefaultSkinForm::LoadFormStyle();
    }
    void DrawFormFrame(TGPGraphics& Graphics) override {
        ++FrameDraws;
        TDefaultSkinForm::DrawFormFrame(Graphics);
    }
};

TEST(SkinFormHitTestTable, SizeableFormCornersEdgesAndClient) {
    EXPECT_EQ(SkinFormHitTest(3, 100, 400, 300, bsSizeable), HTLEFT);
    EXPECT_EQ(SkinFormHitTest(6, 6, 400, 300, bsSizeable), HTTOPLEFT);
    EXPECT_EQ(SkinFormHitTest(6, 100, 400, 300, bsSizeable), HTCLIENT);
    EXPECT_EQ(SkinFormHitTest(396, 4, 400, 300, bsSizeable), HTTOPRIGHT);
    EXPECT_EQ(SkinFormHitTest(2, 295, 400, 300, bsSizeable), HTBOTTOMLEFT);
    EXPECT_EQ(SkinFormHitTest(399, 299, 400, 300, bsSizeable), HTBOTTOMRIGHT);
    EXPECT_EQ(SkinFormHitTest(200, 4, 400, 300, bsSizeable), HTTOP);
    EXPECT_EQ(SkinFormHitTest(200, 5, 400, 300, bsSizeable), HTCLIENT);
    EXPECT_EQ(SkinFormHitTest(396, 150, 400, 300, bsSizeable), HTRIGHT);
    EXPECT_EQ(SkinFormHitTest(200, 296, 400, 300, bsSizeable), HTBOTTOM);
    EXPECT_EQ(SkinFormHitTest(200, 150, 400, 300, bsSizeToolWin), HTCLIENT);
    EXPECT_EQ(SkinFormHitTest(1, 1, 400, 300, bsSizeToolWin), HTTOPLEFT);
}

TEST(SkinFormHitTestTable, FormsThatCannotResizeAreClientEverywhere) {
    for (TFormBorderStyle style : {bsSingle, bsDialog, bsToolWindow, bsNone})
        for (QPoint p : {QPoint(0, 0), QPoint(3, 100), QPoint(399, 299), QPoint(200, 2)})
            EXPECT_EQ(SkinFormHitTest(p.x(), p.y(), 400, 300, style), HTCLIENT)
                << int(style) << " " << p.x() << "," << p.y();
}

TEST(SkinFormHitTestTable, CodesMapToEdgesAndCursors) {
    EXPECT_EQ(EdgesOfHitTest(HTTOPLEFT), Qt::TopEdge | Qt::LeftEdge);
    EXPECT_EQ(EdgesOfHitTest(HTBOTTOM), Qt::Edges(Qt::BottomEdge));
    EXPECT_EQ(EdgesOfHitTest(HTCLIENT), Qt::Edges());
    EXPECT_EQ(CursorOfHitTest(HTLEFT), Qt::SizeHorCursor);
    EXPECT_EQ(CursorOfHitTest(HTTOPRIGHT), Qt::SizeBDiagCursor);
    EXPECT_EQ(CursorOfHitTest(HTCLIENT), Qt::ArrowCursor);
}

TEST(RoundRectRegionTest, CornersAreCutAndTheRestIsKept) {
    const QRegion region = RoundRectRegion(400, 300, 6);
    for (QPoint outside : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(399, 0), QPoint(0, 299),
                           QPoint(399, 299)})
        EXPECT_FALSE(region.contains(outside)) << outside.x() << "," << outside.y();
    for (QPoint inside : {QPoint(3, 0), QPoint(0, 3), QPoint(200, 0), QPoint(399, 150),
                          QPoint(2, 2), QPoint(396, 299)})
        EXPECT_TRUE(region.contains(inside)) << inside.x() << "," << inside.y();
    EXPECT_EQ(region.boundingRect(), QRect(0, 0, 400, 300));
}

class SkinFormTest : public WindowTest {};

// A press, a move far enough to be a drag, and the release.
void Drag(QWidget* AWidget, QPoint AFrom, QPoint ATo = QPoint(-1, -1)) {
    if (ATo == QPoint(-1, -1))
        ATo = AFrom + QPoint(20, 0);
    QTest::mousePress(AWidget, Qt::LeftButton, {}, AFrom);
    QTest::mouseMove(AWidget, ATo);
    QTest::mouseRelease(AWidget, Qt::LeftButton, {}, ATo);
}

TEST_F(SkinFormTest, PressingNearTheEdgeResizesAndElsewhereMoves) {
    TRecordingForm form;
    form.resize(400, 300);
    form.show();
    QTest::mousePress(&form, Qt::LeftButton, {}, QPoint(3, 100));
    QTest::mouseRelease(&form, Qt::LeftButton, {}, QPoint(3, 100));
    EXPECT_EQ(form.LastResize, Qt::Edges(Qt::LeftEdge));
    EXPECT_EQ(form.Moves, 0);
    Drag(&form, QPoint(200, 200));
    EXPECT_EQ(form.Moves, 1);
    EXPECT_EQ(form.HitTestAt(QPoint(6, 6)), HTTOPLEFT);
}

TEST_F(SkinFormTest, SingleBorderFormDragsFromAnywhere) {
    TRecordingForm form;
    form.SetBorderStyle(bsSingle);
    form.resize(400, 300);
    form.show();
    for (QPoint p : {QPoint(2, 2), QPoint(3, 100), QPoint(200, 200)}) {
        EXPECT_EQ(form.HitTestAt(p), HTCLIENT);
        Drag(&form, p);
    }
    EXPECT_EQ(form.Moves, 3);
    EXPECT_EQ(form.LastResize, Qt::Edges());
}

TEST_F(SkinFormTest, WithoutFullMoveOnlyTheTitleDrags) {
    TRecordingForm form;
    form.SetFullMove(false);
    form.resize(400, 300);
    form.show();
    Drag(&form, QPoint(200, 200));
    EXPECT_EQ(form.Moves, 0);
    Drag(&form, QPoint(40, 12));
    EXPECT_EQ(form.Moves, 1);
}

// A window manager that answers a move request late would otherwise start a move after a quick
// click is over, and the window would follow the pointer with no button held.
TEST_F(SkinFormTest, AMoveStartsOnlyOnceThePressedPointerTravels) {
    TRecordingForm form;
    form.resize(400, 300);
    form.show();
    QTest::mousePress(&form, Qt::LeftButton, {}, QPoint(200, 200));
    QTest::mouseMove(&form, QPoint(201, 200));
    QTest::mouseRelease(&form, Qt::LeftButton, {}, QPoint(201, 200));
    EXPECT_EQ(form.Moves, 0);
    QTest::mousePress(&form, Qt::LeftButton, {}, QPoint(200, 200));
    QTest::mouseMove(&form, QPoint(200, 200 + QApplication::startDragDistance()));
    EXPECT_EQ(form.Moves, 1);
    QTest::mouseMove(&form, QPoint(260, 260)); // one move per press
    QTest::mouseRelease(&form, Qt::LeftButton, {}, QPoint(260, 260));
    EXPECT_EQ(form.Moves, 1);
}

// Presses on controls are the controls', whether they take them (skinned controls) or leave
// them to their parents (a progress bar): neither moves nor maximises the window.
TEST_F(SkinFormTest, PressesOnChildrenNeverMoveOrMaximiseTheForm) {
    TRecordingForm form;
    form.resize(400, 300);
    TSkinCustomControl control(&form);
    control.setGeometry(100, 100, 80, 40);
    QProgressBar bar(&form);
    bar.setGeometry(100, 200, 120, 14);
    form.show();
    for (QWidget* child : {static_cast<QWidget*>(&control), static_cast<QWidget*>(&bar)}) {
        Drag(child, QPoint(5, 5), QPoint(60, 30));
        QTest::mouseDClick(child, Qt::LeftButton, {}, QPoint(5, 5));
    }
    EXPECT_EQ(form.Moves, 0);
    EXPECT_FALSE(form.isMaximized());
}

TEST_F(SkinFormTest, DoubleClickTogglesMaximisedOnlyWithTheIconAndFullMove) {
    TRecordingForm form;
    form.resize(400, 300);
    form.show();
    QTest::mouseDClick(&form, Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_TRUE(form.isMaximized());
    QTest::mouseDClick(&form, Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_FALSE(form.isMaximized());

    form.SetBorderIcons(biSystemMenu | biMinimize);
    QTest::mouseDClick(&form, Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_FALSE(form.isMaximized());
    form.SetBorderIcons(biSystemMenu | biMinimize | biMaximize);
    form.SetFullMove(false);
    QTest::mouseDClick(&form, Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_FALSE(form.isMaximized());
}

TEST_F(SkinFormTest, MaximiseButtonTogglesAndShowsTheRestorePictures) {
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.show();
    TSysMaxBtn* max = form.MaxBtn();
    const TSkinFormStyleItem* style = form.FormStyleItem();
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(max->CurrentNormalBitmap(), style->SysBtnBmp(sysMax, sysNormal));
    QTest::mouseClick(max, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(form.isMaximized());
    EXPECT_TRUE(max->Clicked());
    EXPECT_EQ(max->CurrentNormalBitmap(), style->SysBtnBmp(sysRestore, sysNormal));
    // The form's picture carries the restore picture at the button's new place.
    Grab(form);
    EXPECT_EQ(max->x(), form.width() - style->MaxBtnRight());
    QTest::mouseClick(max, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(form.isMaximized());
    EXPECT_FALSE(max->Clicked());
    EXPECT_EQ(max->CurrentNormalBitmap(), style->SysBtnBmp(sysMax, sysNormal));
}

TEST_F(SkinFormTest, RestorePicturesFollowTheStateHoweverItChanged) {
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.show();
    form.showMaximized();
    EXPECT_TRUE(form.MaxBtn()->Clicked());
    form.showNormal();
    EXPECT_FALSE(form.MaxBtn()->Clicked());
}

TEST_F(SkinFormTest, ButtonLayoutWithAndWithoutTheMaximiseIcon) {
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.show();
    const TSkinFormStyleItem& style = *form.FormStyleItem();
    EXPECT_EQ(form.CloseBtn()->pos(), QPoint(400 - style.CloseBtnRight(), style.CloseBtnTop()));
    EXPECT_EQ(form.MaxBtn()->pos(), QPoint(400 - style.MaxBtnRight(), style.MaxBtnTop()));
    EXPECT_EQ(form.MinBtn()->pos(), QPoint(400 - style.MinBtnRight(), style.MinBtnTop()));
    EXPECT_EQ(form.MinBtn()->size(), QSize(style.SysBtnBmp(sysMin, sysNormal)->Width(),
                                           style.SysBtnBmp(sysMin, sysNormal)->Height()));
    form.SetBorderIcons(biSystemMenu | biMinimize);
    EXPECT_TRUE(form.MaxBtn()->isHidden());
    EXPECT_EQ(form.MinBtn()->pos(), QPoint(400 - style.MaxBtnRight(), style.MinBtnTop()));
    form.resize(500, 300);
    EXPECT_EQ(form.MinBtn()->pos(), QPoint(500 - style.MaxBtnRight(), style.MinBtnTop()));
    form.SetBorderStyle(bsNone);
    EXPECT_TRUE(form.MinBtn()->isHidden());
    EXPECT_TRUE(form.CloseBtn()->isHidden());
}

TEST_F(SkinFormTest, MinimiseAndCloseButtonsActOnTheForm) {
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.show();
    QTest::mouseClick(form.MinBtn(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(form.isMinimized());
    form.showNormal();
    QTest::mouseClick(form.CloseBtn(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(form.isVisible());
}

TEST_F(SkinFormTest, FadeInIsTransparentThenOpaqueAfter200MsAndTheShadowFollowsOnlyThen) {
    TVirtualClock clock;
    TFakeDesktopWindows desktop(true, true);
    TDefaultSkinForm form;
    form.SetNotDelayShow(false);
    form.resize(400, 300);
    form.show();
    EXPECT_EQ(form.windowOpacity(), 0.0);
    EXPECT_TRUE(form.EnabledShadow());
    EXPECT_FALSE(form.ShadowFrame()->Active());
    clock.Advance(199);
    EXPECT_EQ(form.windowOpacity(), 0.0);
    EXPECT_FALSE(form.ShadowFrame()->Active());
    clock.Advance(1);
    EXPECT_EQ(form.windowOpacity(), 1.0);
    EXPECT_TRUE(form.ShadowFrame()->Active());
    EXPECT_EQ(form.ShadowFrame()->ParentForm(), &form);
    EXPECT_TRUE(form.ShadowFrame()->IsShown());
}

TEST_F(SkinFormTest, WithoutDelayTheShadowAttachesAtOnce) {
    TFakeDesktopWindows desktop(true, true);
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.move(100, 100);
    form.show();
    EXPECT_EQ(form.windowOpacity(), 1.0);
    EXPECT_TRUE(form.ShadowFrame()->Active());
    ASSERT_TRUE(form.ShadowFrame()->IsShown());
    EXPECT_EQ(form.ShadowFrame()->Surface()->geometry(), QRect(90, 90, 420, 320));
    // Stacked directly below the form's own window.
    ASSERT_FALSE(desktop.StackRequests().empty());
    EXPECT_EQ(desktop.StackRequests().back().Below, form.windowHandle());
}

TEST_F(SkinFormTest, WithoutACompositingManagerTheFormHasNoSecondWindow) {
    TFakeDesktopWindows desktop(true, false);
    TDefaultSkinForm form;
    const qsizetype before = QGuiApplication::topLevelWindows().size();
    form.resize(400, 300);
    form.show();
    EXPECT_TRUE(form.ShadowFrame()->Active());
    EXPECT_EQ(form.ShadowFrame()->Surface(), nullptr);
    EXPECT_EQ(QGuiApplication::topLevelWindows().size(), before + 1) << "the form's own only";
    // The form's picture is the form alone: nothing dark is drawn around or into it.
    EXPECT_EQ(form.geometry().size(), QSize(400, 300));
    desktop.SetCompositor(true);
    EXPECT_TRUE(form.ShadowFrame()->IsShown());
    EXPECT_EQ(QGuiApplication::topLevelWindows().size(), before + 2);
}

TEST_F(SkinFormTest, ClosingDetachesTheShadowAndShowingAgainBringsItBack) {
    TFakeDesktopWindows desktop(true, true);
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.show();
    ASSERT_TRUE(form.ShadowFrame()->Active());
    form.close();
    EXPECT_FALSE(form.ShadowFrame()->Active());
    EXPECT_EQ(form.ShadowFrame()->ParentForm(), nullptr);
    EXPECT_FALSE(form.ShadowFrame()->IsShown());
    form.show();
    EXPECT_TRUE(form.ShadowFrame()->Active());
    EXPECT_TRUE(form.ShadowFrame()->IsShown());
}

TEST_F(SkinFormTest, StyleWithoutShadowPicturesLeavesTheShadowInactive) {
    Skin().Load(TTestSkin::Document(StripedPicture(), false));
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.show();
    EXPECT_TRUE(form.EnabledShadow());
    EXPECT_FALSE(form.ShadowFrame()->Active());
}

TEST_F(SkinFormTest, SkinFileMessageReloadsTheStyleAndRedrawsOnce) {
    TRecordingForm form;
    form.resize(400, 300);
    form.show();
    Grab(form);
    const IGPBitmap old = form.CloseBtn()->NormalBitmapNormal();
    form.StyleLoads = 0;
    form.FrameDraws = 0;
    Skin().Load(TTestSkin::Document());
    EXPECT_EQ(form.StyleLoads, 1);
    EXPECT_EQ(form.FrameDraws, 1);
    EXPECT_NE(form.CloseBtn()->NormalBitmapNormal(), old);
    EXPECT_EQ(form.CloseBtn()->NormalBitmapNormal(),
              form.FormStyleItem()->SysBtnBmp(sysClose, sysNormal));
    Grab(form);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.FrameDraws, 1) << "painting afterwards only copies the buffer";
}

TEST_F(SkinFormTest, HiddenFormReloadsTheStyleWithoutDrawing) {
    TRecordingForm form;
    form.resize(400, 300);
    form.show();
    form.hide();
    form.FrameDraws = 0;
    form.StyleLoads = 0;
    Skin().Load(TTestSkin::Document());
    EXPECT_EQ(form.StyleLoads, 1);
    EXPECT_EQ(form.FrameDraws, 0);
}

TEST_F(SkinFormTest, ListensWhileItsWindowExists) {
    const int before = SkinMng().ListenerCount();
    auto form = std::make_unique<TDefaultSkinForm>();
    EXPECT_EQ(SkinMng().ListenerCount(), before);
    form->show();
    ASSERT_EQ(SkinMng().ListenerCount(), before + 1);
    EXPECT_EQ(SkinMng().Listener(before).Identity, form.get());
    form.reset();
    EXPECT_EQ(SkinMng().ListenerCount(), before);
}

// Each of the three background messages brings a new item: the form shows its texture and
// takes its mean colour, and its controls hear of the very item.
TEST_F(SkinFormTest, BackgroundMessagesRepaintTheFormWithTheNewItem) {
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.show();
    struct TItemProbe : TProbeControl {
        using TProbeControl::TProbeControl;
        TBaseSkinItem* Heard = nullptr;
        void ChangeSkinBackGroundItem(TBaseSkinItem* AItem) override { Heard = AItem; }
    } probe(&form);
    const QRgb colours[] = {qRgb(12, 34, 56), qRgb(200, 10, 90), qRgb(5, 250, 5)};
    const std::function<void(TBaseSkinItem*)> announce[] = {
        [](TBaseSkinItem* item) { SkinMng().ChangeSkinBackGroundColor(item); },
        [](TBaseSkinItem* item) { SkinMng().ChangeSkinBackGroundFile(item); },
        [](TBaseSkinItem* item) { SkinMng().ChangeSkinBackGroundCustomColor(item); },
    };
    for (int i = 0; i < 3; ++i) {
        QImage plain(40, 40, QImage::Format_ARGB32);
        plain.fill(colours[i]);
        TBaseSkinItem* item = Skin().ShowBackGround(plain);
        announce[i](item);
        const QImage screen = Grab(form);
        EXPECT_EQ(screen.pixel(20, 100), colours[i]) << i;
        EXPECT_EQ(screen.pixel(200, 200), colours[i]) << "the mean colour beyond the texture";
        EXPECT_EQ(form.palette().color(QPalette::Window), QColor(colours[i])) << i;
        EXPECT_EQ(probe.Heard, item) << i;
    }
}

// The skin item's texture element drawn alone at the form's size.
QImage TextureAlone(TBaseSkinForm& form) {
    QImage image(form.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    TGDIBIGIMGPro* texture = form.TextureGdiImage();
    if (texture != nullptr) {
        TGPGraphics graphics(image);
        texture->SetBounds(0, 0, form.width(), form.height());
        texture->Draw(graphics, 0, 0);
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The style's own background picture lies over the skin item's texture: where it is opaque it
// hides the texture, where it is clear the texture shows, and another texture changes only
// the clear part.
TEST_F(SkinFormTest, StyleBackGroundIsDrawnOverTheTexture) {
    TSkinDocBuilder skin = TTestSkin::Document();
    QImage overlay(20, 20, QImage::Format_ARGB32);
    overlay.fill(Qt::transparent);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            overlay.setPixel(x, y, qRgb(0, 160, 0));
    skin.Image("SkinForm\\SufferBackGroundConfigs\\Default\\Image", overlay);
    skin.String("SkinForm\\SufferBackGroundConfigs\\Default\\Margin", "0,10,0,0");
    skin.Bool("SkinForm\\SufferBackGroundConfigs\\Default\\Stretch", true);
    Skin().Load(skin);
    TDefaultSkinForm form;
    form.resize(200, 150);
    form.show();
    ASSERT_NE(form.SufferBackGroundItem(), nullptr);
    QImage screen = Grab(form);
    for (const QPoint at : {QPoint(60, 4), QPoint(2, 8)})
        EXPECT_EQ(screen.pixel(at), qRgb(0, 160, 0)) << at.x() << "," << at.y();
    // Below the band the texture shows exactly as the skin item's element draws it alone.
    const QPoint clear[] = {QPoint(150, 40), QPoint(7, 120), QPoint(60, 70)};
    QImage alone = TextureAlone(form);
    for (const QPoint at : clear)
        EXPECT_EQ(screen.pixel(at), alone.pixel(at)) << at.x() << "," << at.y();
    const QImage before = screen;
    Skin().ShowBackGround(StripedPicture().mirrored(true, false));
    screen = Grab(form);
    alone = TextureAlone(form);
    EXPECT_EQ(screen.pixel(60, 4), qRgb(0, 160, 0));
    for (const QPoint at : clear) {
        EXPECT_EQ(screen.pixel(at), alone.pixel(at)) << at.x() << "," << at.y();
        EXPECT_NE(screen.pixel(at), before.pixel(at)) << at.x() << "," << at.y();
    }
}

// Clearing a list destroys the item a form shows without a message: the form must neither
// read it nor hand it to its controls; it falls back to its colour.
TEST_F(SkinFormTest, DestroyedBackGroundItemLeavesNothingDangling) {
    TDefaultSkinForm form;
    form.resize(200, 150);
    form.show();
    TBaseSkinItem* item = Skin().ShowBackGround(StripedPicture().mirrored(true, false));
    ASSERT_EQ(form.BackGroundItem(), item);
    Skin().Forget(item);
    EXPECT_EQ(form.BackGroundItem(), nullptr);
    EXPECT_EQ(form.TextureGdiImage(), nullptr);
    form.resize(220, 160);
    const QImage screen = Grab(form);
    EXPECT_EQ(QColor(screen.pixel(100, 100)), form.palette().color(QPalette::Window));
}

TEST_F(SkinFormTest, RoundedMaskWhileNormalAndNoneWhileMaximised) {
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.show();
    EXPECT_FALSE(form.mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(form.mask().contains(QPoint(200, 0)));
    form.showMaximized();
    EXPECT_TRUE(form.mask().isEmpty());
    form.showNormal();
    EXPECT_FALSE(form.mask().contains(QPoint(0, 0)));
    form.SetIsRoundRectWindow(false);
    EXPECT_TRUE(form.mask().isEmpty());
}

TEST_F(SkinFormTest, ClientLayoutRectangleLeavesTitleAndBorders) {
    TDefaultSkinForm form;
    form.resize(400, 300);
    EXPECT_EQ(form.ClientLayoutRect(), (TRect{3, 28, 397, 297}));
    EXPECT_EQ(form.contentsRect(), QRect(3, 28, 394, 269));
    form.SetBorderStyle(bsNone);
    EXPECT_EQ(form.ClientLayoutRect(), (TRect{0, 0, 400, 300}));
}

TEST_F(SkinFormTest, CaptionIsDrawnInTheTitleArea) {
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.SetCaptionColor(0xFF00FF00);
    form.show();
    const QImage without = Grab(form);
    form.setWindowTitle(QStringLiteral("标题 Title"));
    const QImage with = Grab(form);
    int changedInTitle = 0;
    int changedElsewhere = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x)
            if (without.pixel(x, y) != with.pixel(x, y))
                ++(y < 28 ? changedInTitle : changedElsewhere);
    EXPECT_GT(changedInTitle, 20);
    EXPECT_EQ(changedElsewhere, 0);
}

// The caption starts at the style's caption offset and wears the form's font: its colour and
// its style bits, which change when the font does.
TEST_F(SkinFormTest, CaptionWearsTheFormsFontAtTheStylesOffset) {
    TSkinDocBuilder skin = TTestSkin::Document(StripedPicture(600, 400));
    skin.Int("SkinForm\\AppCaption\\X", 40);
    skin.Int("SkinForm\\AppCaption\\Y", 6);
    Skin().Load(skin);
    TDefaultSkinForm form;
    form.resize(400, 300);
    QPalette palette = form.palette();
    palette.setColor(QPalette::WindowText, QColor(0xFF, 0x00, 0xFF));
    form.setPalette(palette);
    form.setWindowTitle(QStringLiteral("标题 Title"));
    form.show();
    EXPECT_EQ(form.CaptionText()->FontColor(), 0xFFFF00FFu);
    const QImage screen = Grab(form);
    int left = screen.width(), top = screen.height();
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 200; ++x)
            if (screen.pixel(x, y) == 0xFFFF00FFu) {
                left = std::min(left, x);
                top = std::min(top, y);
            }
    EXPECT_GE(left, 40);
    EXPECT_LE(left, 44);
    EXPECT_GE(top, 3 + 6);
    EXPECT_LE(top, 3 + 6 + 6);
    QFont bold = form.font();
    bold.setBold(false);
    bold.setItalic(true);
    form.setFont(bold);
    EXPECT_EQ(form.CaptionText()->FontStyle() & (FontStyleBold | FontStyleItalic), FontStyleItalic);
}

TEST_F(SkinFormTest, FormListHoldsTheLiveForms) {
    const size_t before = TBaseSkinForm::FormList().size();
    {
        TDefaultSkinForm form;
        EXPECT_EQ(TBaseSkinForm::FormList().size(), before + 1);
    }
    EXPECT_EQ(TBaseSkinForm::FormList().size(), before);
}

} // namespace
} // namespace velmora::testing

namespace velmora::testing {
namespace {

class SkinFormDetailsTest : public WindowTest {};

TEST_F(SkinFormDetailsTest, PressedSystemButtonShowsItsDownPictureUntilReleased) {
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.show();
    TSysMinBtn* min = form.MinBtn();
    const TSkinFormStyleItem& style = *form.FormStyleItem();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(min, &enter);
    EXPECT_EQ(min->CurrentSelfBitmap(), style.SysBtnBmp(sysMin, sysHover));
    QTest::mousePress(min, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(min->MouseDown());
    EXPECT_EQ(min->CurrentSelfBitmap(), style.SysBtnBmp(sysMin, sysDown));
    // Dragged off: the normal picture until the pointer comes back (Qt sends no leave while
    // the button is held).
    QTest::mouseMove(min, QPoint(200, 200));
    EXPECT_FALSE(min->MouseDown());
    EXPECT_FALSE(min->SelfPaint());
    QTest::mouseMove(min, QPoint(5, 5));
    EXPECT_EQ(min->CurrentSelfBitmap(), style.SysBtnBmp(sysMin, sysDown));
    // Released outside: no click, the form keeps its state, nothing looks hovered.
    QTest::mouseRelease(min, Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_FALSE(min->MouseDown());
    EXPECT_FALSE(form.isMinimized());
    EXPECT_EQ(min->CurrentSelfBitmap(), style.SysBtnBmp(sysMin, sysNormal));
}

// A press whose release can no longer arrive (the button hidden, disabled or the window
// losing the mouse) is forgotten: no down picture left behind, no click later.
TEST_F(SkinFormDetailsTest, PressIsForgottenWhenTheButtonCannotBeReleased) {
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.show();
    TSysMinBtn* min = form.MinBtn();
    const TSkinFormStyleItem& style = *form.FormStyleItem();
    const std::function<void()> interruptions[] = {
        [&] { min->hide(); },
        [&] { min->setEnabled(false); },
        [&] {
            QEvent ungrab(QEvent::UngrabMouse);
            QCoreApplication::sendEvent(min, &ungrab);
        },
        [&] {
            QEvent deactivate(QEvent::WindowDeactivate);
            QCoreApplication::sendEvent(min, &deactivate);
        },
    };
    for (const auto& interrupt : interruptions) {
        min->show();
        min->setEnabled(true);
        QTest::mousePress(min, Qt::LeftButton, {}, QPoint(5, 5));
        ASSERT_TRUE(min->MouseDown());
        interrupt();
        EXPECT_FALSE(min->MouseDown());
        min->show();
        min->setEnabled(true);
        QTest::mouseRelease(min, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_FALSE(form.isMinimized());
        EXPECT_NE(min->CurrentSelfBitmap(), style.SysBtnBmp(sysMin, sysDown));
    }
}

// The title band is geometry, known before anything is painted.
TEST_F(SkinFormDetailsTest, TitleRectIsValidBeforeTheFirstPaint) {
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.SetTitleHeight(31);
    const TRect title = form.TitleRect();
    EXPECT_EQ(title.Left, 0);
    EXPECT_EQ(title.Top, 3);
    EXPECT_EQ(title.Right, 400);
    EXPECT_EQ(title.Bottom, 31);
    form.resize(250, 300);
    EXPECT_EQ(form.TitleRect().Right, 250);
}

TEST_F(SkinFormDetailsTest, ClickRaisesTheButtonsEventAfterItsAction) {
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.show();
    bool maximisedWhenTold = false;
    form.MaxBtn()->OnClick = [&] { maximisedWhenTold = form.isMaximized(); };
    QTest::mouseClick(form.MaxBtn(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(maximisedWhenTold);
}

TEST_F(SkinFormDetailsTest, CaptionCanBeSwitchedOff) {
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.setWindowTitle(QStringLiteral("标题 Title"));
    form.SetCaptionColor(0xFF00FF00);
    form.show();
    const QImage with = Grab(form);
    form.SetIsDrawCaption(false);
    const QImage without = Grab(form);
    const QImage background = form.BackGroundBufferImage()->convertToFormat(QImage::Format_ARGB32);
    int differentFromBackground = 0;
    for (int y = 3; y < 28; ++y)
        for (int x = 0; x < 200; ++x) {
            EXPECT_EQ(without.pixel(x, y), background.pixel(x, y)) << x << "," << y;
            if (with.pixel(x, y) != background.pixel(x, y))
                ++differentFromBackground;
            if (HasFailure())
                return;
        }
    EXPECT_GT(differentFromBackground, 20);
}

TEST_F(SkinFormDetailsTest, ResizingRedrawsTheBufferAtTheNewSizeAndMovesTheButtons) {
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.show();
    form.resize(500, 350);
    EXPECT_EQ(form.BufferBitmap().size(), QSize(500, 350));
    EXPECT_EQ(form.CloseBtn()->x(), 500 - form.FormStyleItem()->CloseBtnRight());
    EXPECT_FALSE(form.mask().contains(QPoint(499, 0)));
    EXPECT_TRUE(form.mask().contains(QPoint(450, 0)));
}

TEST_F(SkinFormDetailsTest, SuppressedAlignmentLeavesChildrenWhereTheyAre) {
    TDefaultSkinForm form;
    auto* layout = new QHBoxLayout(&form);
    auto* child = new TProbeControl;
    layout->addWidget(child);
    form.resize(400, 300);
    form.show();
    const QRect before = child->geometry();
    EXPECT_EQ(before.top(), form.contentsRect().top() + layout->contentsMargins().top());
    form.SetReSizeNotAlignControls(true);
    form.resize(500, 350);
    QCoreApplication::processEvents();
    EXPECT_EQ(child->geometry(), before);
    form.SetReSizeNotAlignControls(false);
    QCoreApplication::processEvents();
    EXPECT_GT(child->width(), before.width());
}

TEST_F(SkinFormDetailsTest, ShowInTaskBarFalseMakesAToolWindowAndKeepsItShown) {
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.show();
    form.SetShowInTaskBar(false);
    EXPECT_EQ(form.windowType(), Qt::Tool);
    EXPECT_TRUE(form.isVisible());
    form.SetShowInTaskBar(true);
    EXPECT_EQ(form.windowType(), Qt::Window);
}

// The transparent title changes what controls under it do (see the label's test), never
// the form's own picture.
TEST_F(SkinFormDetailsTest, ATransparentTitleLeavesTheFormsOwnPictureAlone) {
    TDefaultSkinForm form;
    form.resize(400, 300);
    form.show();
    const QImage before = Grab(form);
    form.SetTransparentTitleTop(12);
    form.SetIsEnabledTransparentTitle(true);
    EXPECT_EQ(form.TransparentTitleTop(), 12);
    EXPECT_TRUE(form.IsEnabledTransparentTitle());
    EXPECT_FALSE(form.MinButtonToClose());
    EXPECT_EQ(Grab(form), before);
}

TEST_F(SkinFormDetailsTest, ControlsHearOfANewStyleBeforeTheWindows) {
    TDefaultSkinForm form;
    form.show();
    TProbeControl control(&form);
    std::vector<QString> order;
    struct TListener : QWidget {
        std::vector<QString>* Order;
        bool event(QEvent* event) override {
            if (event->type() == SkinFileChangedEvent)
                Order->push_back(QStringLiteral("window"));
            return QWidget::event(event);
        }
    } listener;
    listener.Order = &order;
    SkinMng().RegisterSkinListener(&listener, KSkinMsgChangeSkinFile, 0, 0, 0);
    struct TCounting : TProbeControl {
        using TProbeControl::TProbeControl;
        std::vector<QString>* Order = nullptr;
        void ChangeSkinFile() override { Order->push_back(QStringLiteral("control")); }
    } counting(&form);
    counting.Order = &order;
    Skin().Load(TTestSkin::Document());
    SkinMng().UnRegisterSkinListener(&listener);
    EXPECT_EQ(order, (std::vector<QString>{QStringLiteral("control"), QStringLiteral("window")}));
}

} // namespace
} // namespace velmora::testing

namespace velmora::testing {
namespace {

TEST_F(SkinFormDetailsTest, FormWithoutAWindowCatchesUpWithSkinChangesWhenShown) {
    TDefaultSkinForm form;
    form.resize(400, 300);
    const IGPBitmap before = form.CloseBtn()->NormalBitmapNormal();
    Skin().Load(TTestSkin::Document());
    TBaseSkinItem* later = Skin().ShowBackGround(StripedPicture().mirrored(true, false));
    EXPECT_EQ(form.CloseBtn()->NormalBitmapNormal(), before) << "no window, no message";
    form.show();
    EXPECT_EQ(form.FormStyleItem(), Skin().FormStyle());
    EXPECT_EQ(form.CloseBtn()->NormalBitmapNormal(),
              Skin().FormStyle()->SysBtnBmp(sysClose, sysNormal));
    // The item in use is the skin's; a background shown to windows only is not taken over.
    EXPECT_EQ(form.BackGroundItem(), Skin().UserItem());
    EXPECT_NE(form.BackGroundItem(), later);
    EXPECT_TRUE(form.ShadowFrame()->Active());
}

} // namespace
} // namespace velmora::testing
