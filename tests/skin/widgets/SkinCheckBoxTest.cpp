#include "skin/widgets/SkinEdits.h"
#include "tests/skin/widgets/WidgetTestSupport.h"

#include <QAccessible>
#include <QApplication>

namespace velmora::testing {
namespace {

class TCountedBox : public TSkinCheckBox {
public:
    using TSkinCheckBox::TSkinCheckBox;
    int Paints = 0;

protected:
    void CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) override {
        ++Paints;
        TSkinCheckBox::CustomPaint(Graphics, ADrawRect);
    }
};

class SkinCheckBoxTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        Box = std::make_unique<TSkinCheckBox>(Form.get());
        Box->setGeometry(20, 30, 137, 17);
        Box->SetColor(QColor(0xFF, 0xFF, 0xFF));
        Box->SetCaption(QStringLiteral("立即运行"));
        Box->show();
    }
    void TearDown() override {
        Box.reset();
        WidgetTest::TearDown();
    }
    // The box's own drawing (without the form behind it), freshly painted.
    QImage Self() {
        Grab(*Box);
        return Box->SelfBufferGPBitmap()->Image().convertToFormat(QImage::Format_ARGB32);
    }
    static bool Between(QRgb c, QRgb a, QRgb b) {
        auto in = [](int v, int x, int y) {
            return v >= std::min(x, y) - 1 && v <= std::max(x, y) + 1;
        };
        return qAlpha(c) == 255 && in(qRed(c), qRed(a), qRed(b)) &&
               in(qGreen(c), qGreen(a), qGreen(b)) && in(qBlue(c), qBlue(a), qBlue(b));
    }
    // Columns where the mark colour appears inside the square.
    static std::pair<int, int> MarkColumns(const QImage& image, QRgb colour) {
        int first = 1000, last = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < 16; ++x)
                if (image.pixel(x, y) == colour) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
        return {first, last};
    }
    std::unique_ptr<TSkinCheckBox> Box;
};

TEST_F(SkinCheckBoxTest, ConstructionValues) {
    TSkinCheckBox fresh;
    EXPECT_EQ(fresh.size(), QSize(100, 15));
    EXPECT_EQ(fresh.Caption(), QStringLiteral("TSkinCheckBox"));
    EXPECT_EQ(fresh.State(), cbUnchecked);
    EXPECT_FALSE(fresh.Checked());
    EXPECT_EQ(fresh.SquareWidth(), 15);
    // A Tab stop for keyboard users; a click never takes the focus.
    EXPECT_EQ(fresh.focusPolicy(), Qt::TabFocus);
}

TEST_F(SkinCheckBoxTest, UncheckedPaintsGradientAndWindowColouredInsideWithoutOutline) {
    const QImage self = Self();
    // Square rows: (17 - 15) / 2 = 1, so R1 is y 2..15 and the inside y 3..14.
    EXPECT_EQ(qAlpha(self.pixel(0, 8)), 0) << "no outline without the mouse";
    for (int x : {1, 14}) {
        EXPECT_TRUE(Between(self.pixel(x, 8), TSkinCheckBox::NormalInsideFrameTopColor,
                            TSkinCheckBox::NormalInsideFrameBottomColor))
            << "gradient at x " << x;
    }
    EXPECT_EQ(qAlpha(self.pixel(15, 8)), 0) << "the gradient ends at x 14";
    for (int x = 2; x <= 13; ++x)
        EXPECT_EQ(self.pixel(x, 8), 0xFFFFFFFFu) << "inside at x " << x;
    EXPECT_EQ(self.pixel(2, 3), 0xFFFFFFFFu);
    EXPECT_EQ(self.pixel(13, 14), 0xFFFFFFFFu);
    EXPECT_TRUE(Between(self.pixel(8, 2), TSkinCheckBox::NormalInsideFrameTopColor,
                        TSkinCheckBox::NormalInsideFrameBottomColor));
    // The normal gradient starts one pixel above R1: its first row is already past the top colour.
    EXPECT_NE(self.pixel(8, 2), TSkinCheckBox::NormalInsideFrameTopColor);
    EXPECT_EQ(MarkColumns(self, TSkinCheckBox::CheckedMarkColor).second, -1);
}

TEST_F(SkinCheckBoxTest, HoverDrawsOutlineAndHoverGradient) {
    SendEnter(*Box);
    ASSERT_TRUE(Box->MouseInControl());
    const QImage self = Self();
    EXPECT_EQ(self.pixel(0, 8), TSkinCheckBox::HoverOuterFrameColor);
    EXPECT_EQ(self.pixel(5, 1), TSkinCheckBox::HoverOuterFrameColor);
    // The platform's integer outline of (0, 1, 15, 15) has its far lines on x 15 and y 16.
    EXPECT_EQ(self.pixel(15, 8), TSkinCheckBox::HoverOuterFrameColor);
    EXPECT_TRUE(Between(self.pixel(1, 8), TSkinCheckBox::HoverInsideFrameTopColor,
                        TSkinCheckBox::HoverInsideFrameBottomColor));
    EXPECT_TRUE(Between(self.pixel(14, 8), TSkinCheckBox::HoverInsideFrameTopColor,
                        TSkinCheckBox::HoverInsideFrameBottomColor));
    EXPECT_EQ(self.pixel(7, 8), 0xFFFFFFFFu);
    SendLeave(*Box);
    EXPECT_EQ(qAlpha(Self().pixel(0, 8)), 0);
}

TEST_F(SkinCheckBoxTest, CheckedMarkIsGreenBetweenColumnsFourAndTwelve) {
    Box->SetChecked(true);
    const QImage self = Self();
    EXPECT_EQ(Box->CircleCenterColor(), TSkinCheckBox::CheckedMarkColor);
    const auto [first, last] = MarkColumns(self, TSkinCheckBox::CheckedMarkColor);
    EXPECT_GE(first, 3);
    EXPECT_LE(first, 4);
    EXPECT_GE(last, 12);
    EXPECT_LE(last, 13);
    // The mark's corner, the end of the first line, at (R3.X + 5, R3.Y + 9) = (7, 12).
    EXPECT_EQ(self.pixel(7, 12), TSkinCheckBox::CheckedMarkColor);
}

TEST_F(SkinCheckBoxTest, GrayedAndDisabledMarksAreGrey) {
    Box->SetState(cbGrayed);
    QImage self = Self();
    EXPECT_EQ(self.pixel(7, 12), TSkinCheckBox::GrayMarkColor);
    EXPECT_FALSE(Box->Checked());
    Box->SetState(cbChecked);
    Box->setEnabled(false);
    self = Self();
    EXPECT_EQ(self.pixel(7, 12), TSkinCheckBox::GrayMarkColor);
}

TEST_F(SkinCheckBoxTest, DisabledWhileHoveredKeepsHoverGradientButNoOutline) {
    SendEnter(*Box);
    Box->setEnabled(false);
    const QImage self = Self();
    EXPECT_EQ(qAlpha(self.pixel(0, 8)), 0);
    EXPECT_TRUE(Between(self.pixel(1, 8), TSkinCheckBox::HoverInsideFrameTopColor,
                        TSkinCheckBox::HoverInsideFrameBottomColor));
}

TEST_F(SkinCheckBoxTest, SquareOnlyBoxClipsItsCaption) {
    Box->resize(17, 17);
    Box->SetCaption(QString());
    const QImage empty = Grab(*Box);
    Box->SetCaption(QStringLiteral("TSkinCheckBox"));
    EXPECT_EQ(Grab(*Box), empty) << "the caption starts at x 18, beyond the box";
}

TEST_F(SkinCheckBoxTest, CaptionIsDrawnBesideTheSquare) {
    Box->SetCaption(QString());
    const QImage empty = Grab(*Box);
    Box->SetCaption(QStringLiteral("立即运行"));
    const QImage with = Grab(*Box);
    int firstChanged = 1000;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x)
            if (with.pixel(x, y) != empty.pixel(x, y))
                firstChanged = std::min(firstChanged, x);
    EXPECT_GE(firstChanged, 18);
    EXPECT_LT(firstChanged, 40);
}

TEST_F(SkinCheckBoxTest, ClickTogglesGrayedBecomesChecked) {
    int clicks = 0;
    int changes = 0;
    Box->OnClick = [&] { ++clicks; };
    Box->OnChanged = [&](TSkinCheckBox*) { ++changes; };
    Box->SetState(cbGrayed);
    SendClick(*Box);
    EXPECT_EQ(Box->State(), cbChecked);
    SendClick(*Box);
    EXPECT_EQ(Box->State(), cbUnchecked);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(changes, 2);
}

TEST_F(SkinCheckBoxTest, DisabledBoxNeitherTogglesNorFiresOnClick) {
    int clicks = 0;
    Box->OnClick = [&] { ++clicks; };
    Box->setEnabled(false);
    SendClick(*Box);
    Box->Click();
    EXPECT_EQ(Box->State(), cbUnchecked);
    EXPECT_EQ(clicks, 0);
}

TEST_F(SkinCheckBoxTest, ReleaseOutsideDoesNotClick) {
    SendMouse(*Box, QEvent::MouseButtonPress);
    SendMouse(*Box, QEvent::MouseButtonRelease, QPoint(300, 3));
    EXPECT_EQ(Box->State(), cbUnchecked);
}

TEST_F(SkinCheckBoxTest, SpaceTogglesOnReleaseAndReturnIsLeftToTheWindow) {
    int clicks = 0;
    Box->OnClick = [&] { ++clicks; };
    QApplication::setActiveWindow(Form.get());
    Box->setFocus();
    if (!Box->hasFocus())
        GTEST_SKIP() << "the platform gave no focus";
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QCoreApplication::sendEvent(Box.get(), &space);
    EXPECT_EQ(Box->State(), cbUnchecked); // pressed, not yet toggled
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QCoreApplication::sendEvent(Box.get(), &repeat);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QCoreApplication::sendEvent(Box.get(), &release);
    EXPECT_EQ(Box->State(), cbChecked);
    EXPECT_EQ(clicks, 1);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(Box.get(), &enter);
    EXPECT_FALSE(enter.isAccepted()); // travels on to the window's default button
    EXPECT_EQ(Box->State(), cbChecked);
}

// Qt delivers a double click as press, release, press, double click, release.
TEST_F(SkinCheckBoxTest, ADoubleClickTogglesOnce) {
    int doubles = 0;
    Box->OnDblClick = [&] { ++doubles; };
    SendMouse(*Box, QEvent::MouseButtonPress);
    SendMouse(*Box, QEvent::MouseButtonRelease);
    SendMouse(*Box, QEvent::MouseButtonPress);
    SendMouse(*Box, QEvent::MouseButtonDblClick);
    SendMouse(*Box, QEvent::MouseButtonRelease);
    EXPECT_EQ(Box->State(), cbChecked);
    EXPECT_EQ(doubles, 1);
}

TEST_F(SkinCheckBoxTest, SettingCheckedToItsValueDoesNotRepaint) {
    TCountedBox box(Form.get());
    box.setGeometry(20, 60, 137, 17);
    box.show();
    Grab(box);
    const int paints = box.Paints;
    box.SetChecked(false);
    Grab(box);
    EXPECT_EQ(box.Paints, paints);
    box.SetChecked(true);
    Grab(box);
    EXPECT_EQ(box.Paints, paints + 1);
    box.SetSquareWidth(13); // stored only
    Grab(box);
    EXPECT_EQ(box.Paints, paints + 1);
}

TEST_F(SkinCheckBoxTest, AccessibleNameRoleAndCheckedState) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(Box.get());
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::CheckBox);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("立即运行"));
    EXPECT_TRUE(face->state().checkable);
    EXPECT_FALSE(face->state().checked);
    Box->SetChecked(true);
    EXPECT_TRUE(face->state().checked);
    Box->SetState(cbGrayed);
    EXPECT_FALSE(face->state().checked);
    EXPECT_TRUE(face->state().checkStateMixed);
    // Screen readers toggle it exactly as a click does.
    QAccessibleActionInterface* actions = face->actionInterface();
    ASSERT_NE(actions, nullptr);
    EXPECT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    actions->doAction(QAccessibleActionInterface::toggleAction());
    QCoreApplication::processEvents(); // acted on once the reader's call has returned
    EXPECT_EQ(Box->State(), cbChecked);
    EXPECT_TRUE(face->state().focusable);
}

} // namespace
} // namespace velmora::testing
