#include "skin/controls/SkinForms.h"
#include "skin/data/SkinFormStyleItem.h"
#include "skin/data/SkinManage.h"
#include "skin/data/SkinMgrCommon.h"
#include "tests/support/WindowTestSupport.h"

#include <QEnterEvent>
#include <QHBoxLayout>
#include <QTest>
#include <functional>

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
    // Released outside: no click, the form keeps its state.
    QTest::mouseRelease(min, Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_FALSE(min->MouseDown());
    EXPECT_FALSE(form.isMinimized());
    EXPECT_EQ(min->CurrentSelfBitmap(), style.SysBtnBmp(sysMin, sysHover));
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

TEST_F(SkinFormDetailsTest, StoredOnlyPropertiesChangeNothingVisible) {
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
