#include "installer/wizard/frmBaseMsgBox.h"

#include "installer/wizard/FormPicture.h"
#include "installer/wizard/frmCancelInstall.h"
#include "installer/wizard/frmCheckInstallerIsRunning.h"
#include "platform/graphics/ModalDisplay.h"
#include "skin/widgets/SkinBtns.h"
#include "skin/widgets/SkinEdits.h"
#include "skin/widgets/SkinImages.h"
#include "skin/widgets/SkinPanels.h"
#include "tests/installer/wizard/TextFit.h"
#include "tests/installer/wizard/WizardTestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <QWindow>

using namespace velmora;
using namespace velmora::testing;

namespace {

QStringList Captions(const std::vector<TSkinButton*>& buttons) {
    QStringList captions;
    for (const TSkinButton* button : buttons)
        captions << button->Caption();
    return captions;
}

QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face != nullptr ? face->text(QAccessible::Name) : QString();
}

class BaseMsgBoxTest : public WizardDialogTest {};

TEST_F(BaseMsgBoxTest, BoxTypeChoosesButtonsIconAndDefaultIndex) {
    struct TCase {
        int Type;
        QStringList Buttons;
        int Icon;
        int Default;
    };
    const TCase cases[] = {
        {0x123, {u"是"_qs, u"否"_qs, u"取消"_qs}, 3, 1},
        {0x000, {u"确定"_qs}, -1, 0},
        {0x212, {u"终止"_qs, u"重试"_qs, u"忽略"_qs}, 1, 2},
        {0x345, {u"重试"_qs, u"取消"_qs}, 2, 3},
        {0x031, {u"确定"_qs, u"取消"_qs}, 0, 0},
        // Unknown bits: a button code past 5 shows OK alone, an unknown icon none.
        {0x0F6, {u"确定"_qs}, -1, 0},
        {0x45E, {u"确定"_qs}, -1, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Type);
        TfrmBaseMsgBox box;
        WhenModal(&box, [&] { box.close(); });
        box.MessageBox(0, u"请确认"_qs, u"标题"_qs, c.Type);

        EXPECT_EQ(Captions(VisibleLeftToRight<TSkinButton>(box.pnlMain)), c.Buttons);
        EXPECT_EQ(Captions(box.UsedBtnList()), c.Buttons);
        EXPECT_EQ(box.HintIconIndex(), c.Icon);
        EXPECT_EQ(box.DefaultBtnIndex(), c.Default);
        // The icon shown is the image list's own picture, or none at all.
        const QImage shown = box.imgHint->Picture().convertToFormat(QImage::Format_ARGB32);
        if (c.Icon < 0) {
            EXPECT_TRUE(shown.isNull());
        } else {
            ASSERT_FALSE(shown.isNull());
            EXPECT_EQ(shown, box.imglstHint.GetImage(c.Icon)->Image().convertToFormat(
                                 QImage::Format_ARGB32));
            EXPECT_EQ(shown.size(), QSize(48, 48));
        }
        // Texts set before the type stay on screen; a screen reader reads text and buttons.
        EXPECT_EQ(box.windowTitle(), u"标题"_qs);
        EXPECT_EQ(AccessibleName(box.lblText), u"请确认"_qs);
        EXPECT_EQ(AccessibleName(box.UsedBtnList().front()), c.Buttons.front());
        EXPECT_TRUE(box.ContentText().isEmpty());
    }
    EXPECT_TRUE(Log()->Lines().isEmpty()) << Log()->Lines().join(u'\n').toStdString();
}

TEST_F(BaseMsgBoxTest, YesNoBoxReturnsTheClickedTagOrZeroWhenClosedByTheTitleBar) {
    struct TCase {
        const char* Name;
        std::function<void(TfrmBaseMsgBox&)> Act;
        int Result;
    };
    const TCase cases[] = {
        {"yes", [](TfrmBaseMsgBox& box) { QTest::mouseClick(box.btnYes, Qt::LeftButton); }, 6},
        {"no", [](TfrmBaseMsgBox& box) { QTest::mouseClick(box.btnNo, Qt::LeftButton); }, 7},
        {"title bar",
         [](TfrmBaseMsgBox& box) { QTest::mouseClick(box.CloseBtn(), Qt::LeftButton); }, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TfrmBaseMsgBox box;
        EXPECT_EQ(box.windowTitle(), u"Velmora3.0 安装向导"_qs);
        WhenModal(&box, [&] { c.Act(box); });
        EXPECT_EQ(box.MessageBox(0, u"继续吗?"_qs, u"提示"_qs, 4), c.Result);
        EXPECT_EQ(box.ReturnValue(), c.Result);
        EXPECT_FALSE(box.InUsed());
        EXPECT_FALSE(box.isVisible());
    }

    // The wizard's cancel dialog answers the same way from its designed buttons.
    TfrmCancelInstall cancel;
    WhenModal(&cancel, [&] {
        EXPECT_EQ(cancel.lblText->Caption(), u"您确定要退出Velmora的安装吗?"_qs);
        EXPECT_EQ(cancel.btnNo->pos(), QPoint(184, 169));
        EXPECT_EQ(cancel.btnYes->pos(), QPoint(256, 169));
        EXPECT_EQ(Captions(VisibleLeftToRight<TSkinButton>(cancel.pnlMain)),
                  QStringList({u"否"_qs, u"是"_qs}));
        QTest::mouseClick(cancel.btnYes, Qt::LeftButton);
    });
    EXPECT_EQ(cancel.ModalShow(), 6);
    EXPECT_EQ(cancel.size(), QSize(375, 232));
    EXPECT_EQ(cancel.HintIconIndex(), 2);
}

TEST_F(BaseMsgBoxTest, ButtonsAreRightAlignedWithTwentyPixelsAfterEach) {
    TfrmBaseMsgBox box;
    ASSERT_EQ(box.pnlMain->width(), 289);
    box.SetBoxType(3);
    box.ArrangeButtons();
    const auto shown = VisibleLeftToRight<TSkinButton>(box.pnlMain);
    ASSERT_EQ(shown.size(), 3u);
    const int top = box.pnlMain->height() - 21 - 15;
    EXPECT_EQ(shown[0]->geometry(), QRect(31, top, 66, 21));
    EXPECT_EQ(shown[1]->geometry(), QRect(117, top, 66, 21));
    EXPECT_EQ(shown[2]->geometry(), QRect(203, top, 66, 21));

    // A new type hides what the last one showed.
    box.SetBoxType(0);
    box.ArrangeButtons();
    EXPECT_EQ(Captions(VisibleLeftToRight<TSkinButton>(box.pnlMain)), QStringList{u"确定"_qs});
    EXPECT_EQ(box.btnOK->x(), 289 - 86);
}

TEST_F(BaseMsgBoxTest, FitToTextWidensAndHeightensForTheTextAndFixesTheSize) {
    {
        TfrmBaseMsgBox box;
        box.SetContentText(u"短文本"_qs);
        box.SetBoxType(0);
        box.PrepareBox();
        EXPECT_EQ(box.size(), QSize(300, 145)); // a short text fits the design
        EXPECT_EQ(box.minimumSize(), box.maximumSize());
    }
    {
        TfrmBaseMsgBox box;
        box.lblText->SetAutoSize(false);
        box.lblText->setGeometry(75, 20, 400, 18);
        box.SetBoxType(1);
        box.PrepareBox();
        EXPECT_EQ(box.width(), 75 + 400 + 20);
        EXPECT_EQ(box.height(), 145);
        EXPECT_EQ(box.minimumSize(), QSize(495, 145));
        EXPECT_EQ(box.maximumSize(), QSize(495, 145));
    }
    {
        // A text wrapped into many lines pushes the window down until it ends 10 pixels
        // above the button row.
        TfrmBaseMsgBox box;
        box.SetContentText(QString(u"安装程序需要更多空间。"_qs).repeated(12));
        box.SetBoxType(0);
        box.PrepareBox();
        const int textBottom = box.lblText->y() + box.lblText->height();
        const int buttonTop = box.btnOK->y();
        ASSERT_GT(textBottom, buttonTop - 10);
        EXPECT_EQ(box.height(), 145 + textBottom - buttonTop + 10);
        EXPECT_EQ(box.width(), 300);
        EXPECT_EQ(box.minimumSize(), box.maximumSize());
    }
}

TEST_F(BaseMsgBoxTest, MissingFormPictureIsLoggedAndGivesNoPicture) {
    const QString name = u"imgMissing"_qs;
    EXPECT_TRUE(LoadFormPicture(u"BaseMsgBox/Missing.png"_qs, u"TfrmTest"_qs, name).IsNull());
    const QStringList lines = Log()->Lines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains(u"ClassName:TfrmTest"_qs));
    EXPECT_TRUE(lines[0].contains(u"ObjectName:imgMissing"_qs));
    EXPECT_TRUE(lines[0].contains(u"AdditionalMsg:LoadFormPicture"_qs));
    // A picture that is there loads without another log entry; on this program's one 1x
    // screen it needs none of its 1.5x and 2x renderings (the scale tests load them).
    const TGPBitmap icon = LoadFormPicture(u"BaseMsgBox/Hint0.png"_qs, u"TfrmTest"_qs, name);
    ASSERT_FALSE(icon.IsNull());
    EXPECT_TRUE(icon.Variants().empty());
    EXPECT_EQ(QSize(icon.Width(), icon.Height()), QSize(48, 48));
    EXPECT_EQ(Log()->Lines().size(), 1);
}

// The skin font follows the desktop's title font, clamped to 9 to 12 points: every dialog's
// text must stay whole and apart at each of them.
TEST_F(BaseMsgBoxTest, DialogsHoldTheirTextAtEveryDesktopTitleFont) {
    const TFrameworkFont saved = SkinMng().SkinFont();
    for (int size = 9; size <= 12; ++size) {
        SCOPED_TRACE(size);
        TFrameworkFont font = saved;
        font.Size = size;
        SkinMng().SetSkinFont(font);
        const auto check = [](TfrmBaseMsgBox& box, const std::function<void()>& show) {
            TSkinCustomControl::AllMembersChangeSkinFile();
            QStringList problems;
            WhenModal(&box, [&] {
                problems = TextProblems(box);
                box.close();
            });
            show();
            EXPECT_EQ(problems.join(u"; "_qs).toStdString(), "") << box.objectName().toStdString();
        };
        TfrmBaseMsgBox box;
        check(box, [&] {
            box.MessageBox(
                0, u"安装程序将把文件复制到所选文件夹，已有的同名文件会被替换。是否继续？"_qs,
                u"提示"_qs, 0x123);
        });
        TfrmCancelInstall cancel;
        check(cancel, [&] { cancel.ModalShow(); });
        TfrmCheckInstallerIsRunning running;
        check(running, [&] { running.ModalShow(); });
    }
    SkinMng().SetSkinFont(saved);
    TSkinCustomControl::AllMembersChangeSkinFile();
}

// Keyboard users answer the box: it opens on its default button, Tab walks the buttons,
// Return presses the focused one and Escape takes the cancel choice.
TEST_F(BaseMsgBoxTest, TheKeyboardAnswersTheBox) {
    const struct {
        int Type;
        Qt::Key Key;
        int Result;
    } cases[] = {
        {0x123, Qt::Key_Return, mrNo},     // default index 1 of Yes, No, Cancel
        {0x123, Qt::Key_Escape, mrCancel}, // the cancel choice
        {0x004, Qt::Key_Escape, 0},        // yes or no: Escape is no answer, the box stays
        {0x000, Qt::Key_Escape, mrOk},     // a notice with one answer
        {0x014, Qt::Key_Tab, mrNo},        // Tab from Yes to No, then Return
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Type);
        TfrmBaseMsgBox box;
        bool stillOpen = false;
        WhenModal(&box, [&] {
            QApplication::setActiveWindow(&box);
            QWidget* focus = QApplication::focusWidget();
            ASSERT_NE(focus, nullptr);
            QTest::keyClick(focus, c.Key);
            if (c.Key == Qt::Key_Tab)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            stillOpen = box.isVisible();
            box.close();
        });
        const int result = box.MessageBox(0, u"继续？"_qs, u"提示"_qs, c.Type);
        EXPECT_EQ(result, c.Result);
        EXPECT_EQ(stillOpen, c.Result == 0);
    }
}

TEST_F(BaseMsgBoxTest, TheOwnerItIsGivenKeepsTheBoxAboveIt) {
    QWidget owner;
    owner.show();
    TfrmBaseMsgBox box;
    const QWindow* parent = nullptr;
    WhenModal(&box, [&] {
        parent = box.windowHandle() != nullptr ? box.windowHandle()->transientParent() : nullptr;
        box.close();
    });
    box.MessageBox(owner.winId(), u"继续？"_qs, u"提示"_qs, 0);
    EXPECT_EQ(box.FatherHWND(), owner.winId());
    EXPECT_EQ(parent, owner.windowHandle());
}

} // namespace
