// The measures the desktop tests read screenshots with, proven on pictures made in memory:
// a window told from its shadow, a black frame and a detached surface found, and a picture
// drawn for 2x told from a 1x picture scaled up either way.
#include "tests/desktop/ScreenPicture.h"

#include "tests/desktop/DesktopSession.h"
#include "tests/support/PictureFixtures.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace velmora::testing;
using velmora::fixtures::EnsureApplication;

namespace {

constexpr QRgb KDesktop = TDesktopSession::KDesktopColour;
const QRect KForm(200, 150, 300, 200);

QImage Desktop() {
    QImage picture(800, 600, QImage::Format_RGB32);
    picture.fill(KDesktop);
    return picture;
}

// A form like the wizard's: a teal title band over a white page with dark text and a grey
// bar, drawn over a shadow of AShadow (a black rectangle of that opacity, 7 pixels out).
QImage WithForm(qreal AShadow) {
    QImage picture = Desktop();
    QPainter painter(&picture);
    painter.setOpacity(AShadow);
    painter.fillRect(KForm.adjusted(-7, -5, 7, 9), Qt::black);
    painter.setOpacity(1);
    painter.fillRect(KForm, QColor(0xf4, 0xf7, 0xf7));
    painter.fillRect(QRect(KForm.topLeft(), QSize(KForm.width(), 28)), QColor(0x1b, 0x7a, 0x80));
    painter.fillRect(QRect(KForm.left(), KForm.bottom() - 30, KForm.width(), 31),
                     QColor(0xdd, 0xe3, 0xe6));
    painter.setPen(QColor(0x20, 0x30, 0x30));
    painter.drawText(KForm.adjusted(20, 40, -20, -40), Qt::AlignLeft,
                     QStringLiteral("Velmora 3.0"));
    return picture;
}

TEST(ScreenPictureTest, ShadowIsTheDesktopDarkenedAndNothingElse) {
    for (const double keep : {1.0, 0.8, 0.5, 0.2, 0.05, 0.0}) {
        const QRgb shade = qRgb(qRound(qRed(KDesktop) * keep), qRound(qGreen(KDesktop) * keep),
                                qRound(qBlue(KDesktop) * keep));
        EXPECT_TRUE(IsShadowOn(shade, KDesktop)) << keep;
    }
    for (const QRgb other :
         {qRgb(0xff, 0xff, 0xff), qRgb(0x1b, 0x7a, 0x80), qRgb(0xdd, 0xe3, 0xe6),
          qRgb(0x80, 0x80, 0x80), qRgb(0x40, 0x40, 0x40), qRgb(0x20, 0x30, 0x30)})
        EXPECT_FALSE(IsShadowOn(other, KDesktop)) << std::hex << other;
    EXPECT_FALSE(
        IsChanged(qRgb(qRed(KDesktop) + 3, qGreen(KDesktop) - 3, qBlue(KDesktop)), KDesktop));
    EXPECT_TRUE(IsChanged(qRgb(qRed(KDesktop) + 20, qGreen(KDesktop), qBlue(KDesktop)), KDesktop));
}

TEST(ScreenPictureTest, TheFormIsFoundInsideItsTranslucentShadowWithNoBlackFrame) {
    EnsureApplication();
    const QImage shot = WithForm(0.45);
    EXPECT_EQ(FindSurface(shot, Desktop(), KForm.size()), KForm);
    EXPECT_EQ(SurfacesIn(shot, Desktop()).size(), 1);
    EXPECT_EQ(ChangedRegion(shot, Desktop()), KForm.adjusted(-7, -5, 7, 9));
    EXPECT_EQ(ChangedOutside(shot, Desktop(), KForm.adjusted(-10, -10, 10, 10)), 0);
    EXPECT_LT(BlackFrameShare(shot, Desktop(), KForm, 5), 0.01);
}

TEST(ScreenPictureTest, ASolidShadowIsABlackFrame) {
    EnsureApplication();
    const QImage shot = WithForm(1.0);
    EXPECT_EQ(FindSurface(shot, Desktop(), KForm.size()), KForm);
    EXPECT_GT(BlackFrameShare(shot, Desktop(), KForm, 5), 0.95);
}

TEST(ScreenPictureTest, ADetachedSurfaceLiesOutsideTheFormAndItsShadow) {
    EnsureApplication();
    QImage shot = WithForm(0.45);
    QPainter(&shot).fillRect(QRect(40, 420, 300, 160), QColor(0x9a, 0x9a, 0x9a));
    const QList<QRect> surfaces = SurfacesIn(shot, Desktop());
    ASSERT_EQ(surfaces.size(), 2);
    EXPECT_EQ(surfaces[0], KForm);
    EXPECT_EQ(surfaces[1], QRect(40, 420, 300, 160));
    EXPECT_EQ(ChangedOutside(shot, Desktop(), KForm.adjusted(-10, -10, 10, 10)), 300 * 160);
    // A surface of another size is no form.
    EXPECT_FALSE(FindSurface(shot, Desktop(), QSize(320, 200)).has_value());
}

// The heading as the notice picture carries it: a mark, Chinese and Latin text on white.
QImage Heading(int AScale) {
    QImage picture(QSize(320, 90) * AScale, QImage::Format_RGB32);
    picture.fill(QColor(0xfa, 0xfc, 0xfc));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(AScale, AScale);
    painter.setBrush(QColor(0x1b, 0x7a, 0x80));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(10, 30, 22, 22));
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(18);
    painter.setFont(font);
    painter.setPen(QColor(0x1c, 0x3a, 0x3c));
    painter.drawText(QRect(44, 0, 270, 90), Qt::AlignVCenter,
                     QStringLiteral("重要须知 Velmora 3.0"));
    return picture;
}

TEST(ScreenPictureTest, OnlyAPictureDrawnForTwiceThePixelsIsAsSharpAsItsOneXDrawing) {
    EnsureApplication();
    const TEdgeSharpness one = EdgeSharpness(Heading(1));
    const TEdgeSharpness two = EdgeSharpness(Heading(2));
    const QImage oneScaled = Heading(1);
    const TEdgeSharpness smooth = EdgeSharpness(
        oneScaled.scaled(oneScaled.size() * 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    const TEdgeSharpness doubled = EdgeSharpness(
        oneScaled.scaled(oneScaled.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    ASSERT_GT(one.Edges, 200);
    // Twice the pixels, about twice the edges along rows and columns.
    EXPECT_GT(two.Edges, one.Edges * 3 / 2);
    EXPECT_GT(two.Steepness / one.Steepness, 0.9);
    EXPECT_LT(two.DoubledShare, 0.5);
    EXPECT_LT(smooth.Steepness / one.Steepness, 0.6);
    EXPECT_GT(doubled.DoubledShare, 0.95);
    EXPECT_LT(one.DoubledShare, 0.5);
}

TEST(ScreenPictureTest, DifferencesAreCountedPerChannel) {
    QImage a = Desktop();
    QImage b = Desktop();
    b.setPixel(0, 0, qRgb(0, 0, 0));
    EXPECT_DOUBLE_EQ(DifferingShare(a, b, 10), 1.0 / (800 * 600));
    EXPECT_DOUBLE_EQ(MeanDifference(a, a), 0.0);
    EXPECT_NEAR(MeanDifference(a, b),
                (qRed(KDesktop) + qGreen(KDesktop) + qBlue(KDesktop)) / 3.0 / (800 * 600), 1e-9);
    EXPECT_EQ(MeanDifference(a, a.copy(0, 0, 10, 10)), 255);
}

} // namespace
