#include "installer/wizard/frmCheckInstanceIsRunning.h"

#include "installer/SingleInstance.h"
#include "installer/wizard/WizardImageButton.h"
#include "skin/widgets/SkinBtns.h"
#include "skin/widgets/SkinImages.h"
#include "tests/installer/wizard/RealProcessSupport.h"
#include "tests/installer/wizard/WizardTestSupport.h"

#include <QEnterEvent>
#include <QTest>

using namespace velmora;
using namespace velmora::testing;

namespace {

class ProductRunningTest : public WizardDialogTest {
protected:
    // The demo product itself, running from a temporary folder under its shipped name.
    void StartProduct() {
        FSandbox.Start(
            FProduct,
            FSandbox.Install(QStringLiteral(CORVEX_PROGRAM), QStringLiteral("Corvex.exe")),
            QStringLiteral("offscreen"));
        ASSERT_TRUE(WaitUntil([] { return CheckInstanceIsRunning(u"Corvex.exe"_qs); }));
    }
    void TearDown() override {
        Stop(FProduct);
        WizardDialogTest::TearDown();
    }

    TRealProcessSandbox FSandbox;
    QProcess FProduct;
};

TEST_F(ProductRunningTest, RetryStaysOpenWhileTheProductRunsAndClosesWithFourAfterIt) {
    StartProduct();
    TfrmCheckInstanceIsRunning dialog;
    WhenModal(&dialog, [&] {
        EXPECT_EQ(dialog.size(), QSize(506, 296));
        EXPECT_EQ(dialog.imgUnStall->geometry(), QRect(95, 205, 104, 37));
        EXPECT_EQ(dialog.imgCancel->geometry(), QRect(299, 206, 104, 37));
        EXPECT_EQ(dialog.imgMessage->Picture().size(), QSize(441, 187));
        EXPECT_FALSE(dialog.imgHint->isVisible());
        // Hover, leave and press show the button's three pictures.
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(dialog.imgUnStall, &enter);
        EXPECT_EQ(dialog.imgUnStall->Picture(), dialog.imgUnStallHov->Picture());
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(dialog.imgUnStall, &leave);
        EXPECT_EQ(dialog.imgUnStall->Picture(), dialog.imgUnStallNor->Picture());
        EXPECT_NE(dialog.imgUnStallNor->Picture(), dialog.imgUnStallHov->Picture());

        QTest::mousePress(dialog.imgUnStall, Qt::LeftButton);
        EXPECT_EQ(dialog.imgUnStall->Picture(), dialog.imgUnStallDown->Picture());
        // Released over it, it is hovered again: a button that stayed pressed would look stuck.
        QTest::mouseRelease(dialog.imgUnStall, Qt::LeftButton);
        EXPECT_EQ(dialog.imgUnStall->Picture(), dialog.imgUnStallHov->Picture());
        EXPECT_TRUE(dialog.isVisible()) << "retry closed the dialog while the product runs";
        EXPECT_TRUE(dialog.InUsed());
        // The shared button handler follows the same rule.
        dialog.btnPressClick(dialog.BtnRetry);
        EXPECT_TRUE(dialog.isVisible());

        Stop(FProduct);
        ASSERT_TRUE(WaitUntil([] { return !CheckInstanceIsRunning(u"Corvex.exe"_qs); }));
        QTest::mouseClick(dialog.imgUnStall, Qt::LeftButton);
    });
    EXPECT_EQ(dialog.ModalShow(), 4);
    EXPECT_FALSE(dialog.InUsed());
    EXPECT_TRUE(dialog.windowTitle().isEmpty());
    EXPECT_TRUE(Log()->Lines().isEmpty()) << Log()->Lines().join(u'\n').toStdString();
}

TEST_F(ProductRunningTest, CancelClosesWithTwoWhileTheProductRuns) {
    StartProduct();
    TfrmCheckInstanceIsRunning dialog;
    WhenModal(&dialog, [&] { QTest::mouseClick(dialog.imgCancel, Qt::LeftButton); });
    EXPECT_EQ(dialog.ModalShow(), 2);
    EXPECT_TRUE(CheckInstanceIsRunning(u"Corvex.exe"_qs));
}

} // namespace
