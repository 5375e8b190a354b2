#include "skin/data/SkinMng.h"
#include "skin/widgets/SkinBtns.h"
#include "tests/skin/widgets/WidgetTestSupport.h"
#include "tests/support/SkinDocBuilder.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>

namespace velmora::testing {
namespace {

constexpr QRgb KNormal = 0xFF204080;
constexpr QRgb KHover = 0x80FF0000; // half transparent, so what lies below shows
constexpr QRgb KDown = 0xFF00A000;
constexpr QRgb KDisabled = 0xFF808080;
constexpr QRgb KFocused = 0xFF0000FF;

TSkinDocBuilder ButtonSkin(QRgb normal = KNormal) {
    TSkinDocBuilder skin;
    skin.String("SkinInfo\\SkinName", "Buttons");
    skin.Png("ControlStyle\\Button\\0\\Normal.png", 8, 8, normal);
    skin.Png("ControlStyle\\Button\\0\\Hover.png", 8, 8, KHover);
    skin.Png("ControlStyle\\Button\\0\\Down.png", 8, 8, KDown);
    skin.Png("ControlStyle\\Button\\0\\Disabled.png", 8, 8, KDisabled);
    skin.Png("ControlStyle\\Button\\0\\Focused.png", 8, 8, KFocused);
    return skin;
}

class TCountedButton : public TSkinButton {
public:
    using TSkinButton::TSkinButton;
    int Paints = 0;
    bool ForceFocused = false;

protected:
    bool IsFocused() const override { return ForceFocused || TSkinButton::IsFocused(); }
    void CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) override {
        ++Paints;
        TSkinButton::CustomPaint(Graphics, ADrawRect);
    }
};

class SkinButtonTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        ASSERT_TRUE(SkinMng().ChangeSkinFile(ButtonSkin().SaveTo(Folder, "buttons.btd"), true));
        Button = std::make_unique<TCountedButton>(Form.get());
        Button->setGeometry(40, 50, 90, 30);
        Button->SetButtonStyle(QStringLiteral("0"));
        Button->show();
    }
    void TearDown() override {
        Button.reset();
        WidgetTest::TearDown();
    }
    QRgb Centre() {
        Grab(*Button);
        return Button->SelfBufferGPBitmap()->GetPixel(45, 15);
    }
    static bool Near(QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) <= 2 && std::abs(qGreen(a) - qGreen(b)) <= 2 &&
               std::abs(qBlue(a) - qBlue(b)) <= 2 && std::abs(qAlpha(a) - qAlpha(b)) <= 2;
    }
    QTemporaryDir Folder;
    std::unique_ptr<TCountedButton> Button;
};

TEST_F(SkinButtonTest, TakesTheStylesBitmapsAndItsPrebuiltElements) {
    const TSkinButtonStyleItem* item = SkinMng().SkinButtonStyles().GetItem(QStringLiteral("0"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(Button->ButtonStyleItem(), item);
    EXPECT_EQ(Button->NormalBitmap(), item->NormalBitmap());
    EXPECT_EQ(Button->FocusedBitmap(), item->FocusedBitmap());
    EXPECT_EQ(Button->GetNormalBitmapElement(), item->NormalBitmapElement());
    EXPECT_EQ(Button->GetHoverBitmapElement(), item->HoverBitmapElement());
    // An image of the button's own gets the button's own element.
    Button->SetHoverBitmap(NewGPBitmap(6, 6));
    EXPECT_NE(Button->GetHoverBitmapElement(), item->HoverBitmapElement());
    EXPECT_NE(Button->GetHoverBitmapElement(), nullptr);
}

TEST_F(SkinButtonTest, NormalHoverDownImages) {
    EXPECT_EQ(Centre(), KNormal);
    SendEnter(*Button);
    const QRgb hovered = Centre();
    EXPECT_TRUE(Near(hovered, 0xFF902040)) << std::hex << hovered; // hover over normal
    SendMouse(*Button, QEvent::MouseButtonPress);
    EXPECT_TRUE(Button->MouseDown());
    EXPECT_EQ(Centre(), KDown);
    SendLeave(*Button);
    EXPECT_FALSE(Button->MouseDown()) << "leaving ends the pressed look";
    EXPECT_EQ(Centre(), KNormal);
}

TEST_F(SkinButtonTest, HidingForgetsPressAndHover) {
    int clicks = 0;
    Button->OnClick = [&] { ++clicks; };
    SendEnter(*Button);
    SendMouse(*Button, QEvent::MouseButtonPress);
    Button->hide();
    EXPECT_FALSE(Button->MouseDown());
    EXPECT_FALSE(Button->MouseInControl());
    Button->show();
    SendMouse(*Button, QEvent::MouseButtonRelease);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(Centre(), KNormal);
}

TEST_F(SkinButtonTest, FocusedAwayFromTheMouseShowsOnlyTheFocusedImage) {
    Button->ForceFocused = true;
    Button->RepaintSelfImage();
    EXPECT_EQ(Centre(), KFocused);
    SendEnter(*Button);
    EXPECT_TRUE(Near(Centre(), 0xFF800080)) << std::hex << Centre(); // hover over focused
}

TEST_F(SkinButtonTest, RealFocusShowsTheFocusedImage) {
    QApplication::setActiveWindow(Form.get());
    Button->setFocus();
    if (!Button->hasFocus())
        GTEST_SKIP() << "the platform gave no focus";
    EXPECT_EQ(Centre(), KFocused);
}

TEST_F(SkinButtonTest, DisabledShowsDisabledImageUnlessTransprent) {
    Button->setEnabled(false);
    EXPECT_EQ(Centre(), KDisabled);
    Button->SetTransprent(true);
    EXPECT_EQ(qAlpha(Centre()), 0) << "a disabled Transprent button shows no image";
}

TEST_F(SkinButtonTest, TransprentShowsOnlyTheHoverImageUnderTheMouse) {
    Button->SetTransprent(true);
    EXPECT_EQ(qAlpha(Centre()), 0);
    SendEnter(*Button);
    EXPECT_TRUE(Near(Centre(), KHover));
}

TEST_F(SkinButtonTest, CaptionRectIsCentredAndTwoPixelsLower) {
    Button->SetCaption(QStringLiteral("确定"));
    Button->SetIsDrawIconCaption(true);
    Grab(*Button);
    TMeasureSurface surface;
    const int w = Button->CaptionText()->GetFontWidth(surface.Graphics(), QStringLiteral("确定"));
    const int h = Button->CaptionText()->GetFontHeight(surface.Graphics());
    const TGPRect r = Button->CaptionRect();
    EXPECT_EQ(r.X, (90 - w) / 2);
    EXPECT_EQ(r.Y, (30 - h) / 2 + 2);
    EXPECT_EQ(r.Width, w + 10);
    EXPECT_EQ(r.Height, h);
}

TEST_F(SkinButtonTest, CaptionDrawnOnlyWithIsDrawIconCaption) {
    Button->SetCaption(QStringLiteral("确定"));
    const QImage without = Grab(*Button);
    Button->SetIsDrawIconCaption(true);
    EXPECT_NE(Grab(*Button), without);
}

TEST_F(SkinButtonTest, ClickOnReleaseOverTheButton) {
    int clicks = 0;
    Button->OnClick = [&] { ++clicks; };
    SendClick(*Button);
    EXPECT_EQ(clicks, 1);
    SendMouse(*Button, QEvent::MouseButtonPress);
    SendMouse(*Button, QEvent::MouseButtonRelease, QPoint(200, 3));
    EXPECT_EQ(clicks, 1);
}

// Qt sends no leave while the button is held: the pointer's moves tell where it is.
TEST_F(SkinButtonTest, APressDraggedOffLooksNormalUntilThePointerComesBack) {
    int clicks = 0;
    Button->OnClick = [&] { ++clicks; };
    SendEnter(*Button);
    SendMouse(*Button, QEvent::MouseButtonPress);
    EXPECT_EQ(Centre(), KDown);
    SendMouse(*Button, QEvent::MouseMove, QPoint(200, 3));
    EXPECT_FALSE(Button->MouseDown());
    EXPECT_EQ(Centre(), KNormal);
    SendMouse(*Button, QEvent::MouseMove, QPoint(4, 4));
    EXPECT_EQ(Centre(), KDown);
    SendMouse(*Button, QEvent::MouseButtonRelease);
    EXPECT_EQ(clicks, 1);
}

TEST_F(SkinButtonTest, ADoubleClickFiresOnceAndSpaceClicksOnRelease) {
    int clicks = 0;
    Button->OnClick = [&] { ++clicks; };
    for (QEvent::Type type :
         {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress,
          QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
        SendMouse(*Button, type);
    EXPECT_EQ(clicks, 1);
    QApplication::setActiveWindow(Form.get());
    Button->setFocus();
    if (!Button->hasFocus())
        GTEST_SKIP() << "the platform gave no focus";
    QTest::keyPress(Button.get(), Qt::Key_Space);
    EXPECT_EQ(Centre(), KDown);
    EXPECT_EQ(clicks, 1);
    QTest::keyRelease(Button.get(), Qt::Key_Space);
    EXPECT_EQ(clicks, 2);
}

TEST_F(SkinButtonTest, EnterClicksAFocusedEnabledButtonOnce) {
    int clicks = 0;
    Button->OnClick = [&] { ++clicks; };
    QApplication::setActiveWindow(Form.get());
    Button->setFocus();
    if (!Button->hasFocus())
        GTEST_SKIP() << "the platform gave no focus";
    QTest::keyClick(Button.get(), Qt::Key_Return);
    EXPECT_EQ(clicks, 1);
    Button->setEnabled(false);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(Button.get(), &press);
    EXPECT_EQ(clicks, 1);
}

TEST_F(SkinButtonTest, EnterWithoutFocusDoesNothing) {
    int clicks = 0;
    Button->OnClick = [&] { ++clicks; };
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(Button.get(), &press);
    EXPECT_EQ(clicks, 0);
}

TEST_F(SkinButtonTest, AcceleratorClicksOnlyAfterAlt) {
    int clicks = 0;
    Button->OnClick = [&] { ++clicks; };
    Button->SetCaption(QStringLiteral("&OK"));
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_O, Qt::NoModifier, QStringLiteral("o"));
    QCoreApplication::sendEvent(Button.get(), &letter);
    EXPECT_EQ(clicks, 0) << "the letter alone is no accelerator";
    QKeyEvent alt(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    QCoreApplication::sendEvent(Button.get(), &alt);
    EXPECT_TRUE(Button->AltKey());
    QKeyEvent again(QEvent::KeyPress, Qt::Key_O, Qt::NoModifier, QStringLiteral("o"));
    QCoreApplication::sendEvent(Button.get(), &again);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(Button->AltKey());
    QKeyEvent other(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QCoreApplication::sendEvent(Button.get(), &alt);
    QCoreApplication::sendEvent(Button.get(), &other);
    EXPECT_EQ(clicks, 1) << "another letter is not the accelerator";
}

TEST_F(SkinButtonTest, AltLetterShortcutClicksThroughQtsMnemonic) {
    int clicks = 0;
    Button->OnClick = [&] { ++clicks; };
    Button->SetCaption(QStringLiteral("&Next"));
    Form->activateWindow();
    QApplication::setActiveWindow(Form.get());
    if (QApplication::activeWindow() != Form.get())
        GTEST_SKIP() << "the platform activated no window";
    QTest::keyClick(Form.get(), Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
    QTest::keyClick(Form.get(), Qt::Key_N, Qt::NoModifier);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Button->AccessibleText(), QStringLiteral("Next"));
}

TEST_F(SkinButtonTest, MissingStyleIsLoggedAndTheButtonDrawsOnlyItsCaption) {
    TSkinButton lone(Form.get());
    lone.setGeometry(10, 200, 80, 30);
    lone.SetButtonStyle(QStringLiteral("no such style"));
    EXPECT_TRUE(LogHas(Log()->Lines(), QStringLiteral("SetButtonStyleItem")));
    EXPECT_EQ(lone.ButtonStyleItem(), nullptr);
    EXPECT_FALSE(lone.NormalBitmap());
    lone.show();
    Grab(lone);
    EXPECT_EQ(lone.SelfBufferGPBitmap()->GetPixel(40, 15), 0u);
}

TEST_F(SkinButtonTest, EmptyBitmapIsLoggedAndNothingIsDrawn) {
    Button->SetNormalBitmap(std::make_shared<TGPBitmap>(QImage()));
    EXPECT_EQ(qAlpha(Centre()), 0);
    EXPECT_TRUE(LogHas(Log()->Lines(), QStringLiteral("GetNormalBitmapElement")));
}

TEST_F(SkinButtonTest, SkinChangeReachesLiveButtons) {
    EXPECT_EQ(Centre(), KNormal);
    const int paints = Button->Paints;
    ASSERT_TRUE(SkinMng().ChangeSkinFile(ButtonSkin(0xFF00C0C0).SaveTo(Folder, "teal.btd"), true));
    EXPECT_EQ(Button->ButtonStyleItem(), SkinMng().SkinButtonStyles().GetItem(QStringLiteral("0")));
    EXPECT_EQ(Centre(), 0xFF00C0C0u);
    EXPECT_GT(Button->Paints, paints);
}

TEST_F(SkinButtonTest, AccessibleNameAndRole) {
    Button->SetCaption(QStringLiteral("取消(&C)"));
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(Button.get());
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::Button);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("取消(C)"));
    Button->setAccessibleName(QStringLiteral("Cancel"));
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Cancel"));
}

} // namespace
} // namespace velmora::testing
