#include "installer/wizard/frmAgreement.h"

#include "installer/wizard/LicencePicture.h"
#include "installer/wizard/LicenceScrollBox.h"
#include "tests/installer/wizard/WizardTestSupport.h"

#include <QAccessible>
#include <QLabel>
#include <QScrollBar>
#include <QTest>

using namespace velmora;
using namespace velmora::testing;

namespace {

class AgreementTest : public WizardDialogTest {};

TEST_F(AgreementTest, LicenceScrollsWithWheelAndKeys) {
    TfrmAgreement viewer;
    EXPECT_EQ(viewer.size(), QSize(562, 371));
    EXPECT_EQ(viewer.scrlbx1->geometry(), QRect(0, 371 - 339, 562, 339));
    // Made at start-up, decoded when first seen: the label has the licence's size (so the
    // scroll range is right) before its picture is decoded.
    EXPECT_FALSE(viewer.imgAgreement->PictureLoaded());
    EXPECT_TRUE(viewer.imgAgreement->pixmap().isNull());
    EXPECT_EQ(viewer.imgAgreement->size(), QSize(541, 1744));
    viewer.show();
    EXPECT_TRUE(viewer.imgAgreement->PictureLoaded());
    viewer.hide();
    const QPixmap picture = viewer.imgAgreement->pixmap();
    EXPECT_EQ(picture.size(), viewer.imgAgreement->size());
    // The picture carries text: its top rows hold dark title pixels on white.
    const QImage top = picture.toImage().copy(0, 0, 541, 60).convertToFormat(QImage::Format_RGB32);
    int dark = 0;
    for (int y = 0; y < top.height(); ++y)
        for (int x = 0; x < top.width(); ++x)
            dark += qGray(top.pixel(x, y)) < 128;
    EXPECT_GT(dark, 200);
    // Screen readers read the licence as text.
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(viewer.imgAgreement);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::Document);
    EXPECT_EQ(face->text(QAccessible::Name), u"许可协议"_qs);
    ASSERT_NE(face->textInterface(), nullptr);
    EXPECT_TRUE(face->textInterface()->text(0, -1).contains(u"最终用户许可协议"_qs));

    QScrollBar* bar = viewer.scrlbx1->verticalScrollBar();
    WhenModal(&viewer, [&] {
        EXPECT_EQ(bar->value(), 0);
        EXPECT_EQ(bar->maximum(), picture.height() - viewer.scrlbx1->viewport()->height());
        // The keys reach the licence without a click into it first.
        QWidget* focus = viewer.focusWidget();
        ASSERT_EQ(focus, viewer.scrlbx1);

        QWheelEvent down(QPointF(100, 100),
                         viewer.scrlbx1->viewport()->mapToGlobal(QPointF(100, 100)), QPoint(),
                         QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(viewer.scrlbx1->viewport(), &down);
        const int afterWheel = bar->value();
        EXPECT_GT(afterWheel, 0);
        QTest::keyClick(focus, Qt::Key_PageDown);
        EXPECT_GT(bar->value(), afterWheel);
        QTest::keyClick(focus, Qt::Key_End);
        EXPECT_EQ(bar->value(), bar->maximum());
        QTest::keyClick(focus, Qt::Key_Up);
        EXPECT_LT(bar->value(), bar->maximum());
        QTest::keyClick(focus, Qt::Key_Home);
        EXPECT_EQ(bar->value(), 0);
        // Escape closes the viewer, as the title bar's close does.
        QTest::keyClick(focus, Qt::Key_Escape);
    });
    viewer.ModalShow();
    EXPECT_FALSE(viewer.isVisible());
}

} // namespace
