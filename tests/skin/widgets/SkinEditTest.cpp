#include "skin/widgets/SkinEdit.h"

#include "skin/data/SkinManage.h"
#include "tests/skin/widgets/WidgetTestSupport.h"

#include <QTest>

namespace velmora::testing {
namespace {

class SkinEditTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        Edit = std::make_unique<TSkinEdit>(Form.get());
        Edit->setGeometry(20, 50, 120, 30);
        Edit->show();
    }
    void TearDown() override {
        Edit.reset();
        WidgetTest::TearDown();
    }
    QRgb FormPixel(QPoint at) const {
        return Form->BufferBitmap().convertToFormat(QImage::Format_ARGB32).pixel(at);
    }
    std::unique_ptr<TSkinEdit> Edit;
};

// The outer ring is the form until the pointer is over the field, then the hover colour; the
// inner rings are the inside colour and twice the field's colour.
TEST_F(SkinEditTest, FrameRingsFollowTheHover) {
    const QRgb inside = QColor(78, 159, 209).rgb();
    const QRgb outer = QColor(134, 228, 255).rgb();
    const QRgb field = Edit->Color().rgb();
    for (const bool hovered : {false, true, false}) {
        if (hovered)
            SendEnter(*Edit);
        else
            SendLeave(*Edit);
        const QImage picture = Grab(*Edit);
        for (const QPoint at : {QPoint(0, 15), QPoint(60, 0), QPoint(119, 15), QPoint(60, 29)})
            EXPECT_EQ(picture.pixel(at), hovered ? outer : FormPixel(at + QPoint(20, 50)))
                << hovered << " at " << at.x() << "," << at.y();
        EXPECT_EQ(picture.pixel(1, 15), inside);
        EXPECT_EQ(picture.pixel(2, 15), field);
        EXPECT_EQ(picture.pixel(3, 15), field);
        EXPECT_EQ(picture.pixel(118, 15), inside);
    }
}

TEST_F(SkinEditTest, WithoutBorderNoFrameAndThePlainTextArea) {
    Edit->SetBorderSingle(false);
    EXPECT_EQ(Edit->textMargins(), QMargins());
    const QImage picture = Grab(*Edit);
    EXPECT_NE(picture.pixel(1, 15), QColor(78, 159, 209).rgb());
    EXPECT_EQ(picture.pixel(1, 15), Edit->Color().rgb());
}

// Transparent: the text area is the form behind the field, and only the outer ring is drawn.
TEST_F(SkinEditTest, TransparentEditShowsTheFormBehindItsText) {
    Edit->SetBkgndTransparent(true);
    const QImage picture = Grab(*Edit);
    for (const QPoint at : {QPoint(1, 15), QPoint(100, 5), QPoint(110, 24)})
        EXPECT_EQ(picture.pixel(at), FormPixel(at + QPoint(20, 50))) << at.x() << "," << at.y();
    Edit->move(30, 60);
    const QImage moved = Grab(*Edit);
    EXPECT_EQ(moved.pixel(100, 5), FormPixel(QPoint(130, 65))) << "the picture follows a move";
}

// Read-only background: typing, deleting and pasting change nothing, but the field still takes
// the focus, selects and copies; in normal mode the same keys edit.
TEST_F(SkinEditTest, BkgndReadOnlyRefusesTypingButKeepsFocusAndSelection) {
    Form->activateWindow();
    Edit->setText(QStringLiteral("路径"));
    Edit->SetBkgndReadOnly(true);
    Edit->setFocus();
    QTest::keyClicks(Edit.get(), QStringLiteral("abc"));
    QTest::keyClick(Edit.get(), Qt::Key_Backspace);
    QTest::keyClick(Edit.get(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Edit->text(), QStringLiteral("路径"));
    QTest::keyClick(Edit.get(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Edit->selectedText(), QStringLiteral("路径"));
    Edit->SetBkgndReadOnly(false);
    QTest::keyClick(Edit.get(), Qt::Key_End);
    QTest::keyClicks(Edit.get(), QStringLiteral("ab"));
    EXPECT_EQ(Edit->text(), QStringLiteral("路径ab"));
}

// A new skin gives every live field the skin font; loading makes a read-only edit button-face.
TEST_F(SkinEditTest, SkinFontReachesLiveFieldsAndReadOnlyTakesButtonFace) {
    TFrameworkFont font = SkinMng().SkinFont();
    const TFrameworkFont before = font;
    font.Size = 15;
    SkinMng().SetSkinFont(font);
    NotifySkinControlClasses();
    EXPECT_EQ(Edit->font().pointSize(), 15);
    SkinMng().SetSkinFont(before);
    Edit->setReadOnly(true);
    Edit->Loaded();
    EXPECT_EQ(Edit->Color(), Edit->palette().color(QPalette::Button));
    EXPECT_EQ(Grab(*Edit).pixel(2, 15), Edit->palette().color(QPalette::Button).rgb());
}

} // namespace
} // namespace velmora::testing
