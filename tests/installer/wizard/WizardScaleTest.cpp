// The wizard on screens of 1, 1.5 and 2 device pixels per logical pixel: its pictures come
// from the renderings for the screen, so the heading is as sharp at 2x as at 1x, the licence
// is the same layout with more pixels, and nothing is enlarged by repeating pixels.
#include "installer/wizard/FormPicture.h"
#include "installer/wizard/LicencePicture.h"
#include "installer/wizard/frmAgreement.h"
#include "skin/widgets/SkinImage.h"
#include "tests/installer/wizard/InstallerMainFixture.h"
#include "tests/support/PictureMeasures.h"
#include "tests/support/ScaledScreens.h"

#include <QLabel>
#include <QTest>

using namespace velmora;
using namespace velmora::testing;
using namespace velmora::fixtures;

namespace {

[[maybe_unused]] const bool GScaledScreens = UseScaledScreens();

class WizardScaleTest : public InstallerMainTest {
protected:
    // The window's pixels at the ratio of the screen it is on, and where a child lies in them.
    QImage Shown() { return Window().grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QRect PixelsOf(const char* name, qreal ratio) {
        QWidget* child = Child<QWidget>(name);
        const QRect logical(child->mapTo(&Window(), QPoint(0, 0)), child->size());
        return QRect((logical.topLeft() * ratio), (logical.size() * ratio));
    }
};

// The measure the end-to-end tests take on real desktops: the heading picture's edges at 2x
// (and 1.5x) are as steep as at 1x, where an enlarged 1x picture would lose most of it.
TEST_F(WizardScaleTest, TheNoticeHeadingIsAsSharpAtEveryScale) {
    ASSERT_NE(ScreenOfRatio(2), nullptr) << "the scaled screens are not in use";
    Window();
    ASSERT_TRUE(MoveToScreen(Window(), 1));
    const QRect onceArea = PixelsOf("imgAnnounce", 1);
    const QImage once = Shown().copy(onceArea);
    const double onceSteepness = EdgeSteepness(once, once.rect());
    ASSERT_GT(onceSteepness, 20) << "the heading has edges to measure";

    for (const qreal ratio : {2.0, 1.5}) {
        ASSERT_TRUE(MoveToScreen(Window(), ratio)) << ratio;
        const QImage shown = Shown();
        EXPECT_EQ(shown.size(), QSize(562, 371) * ratio);
        EXPECT_EQ(Window().size(), QSize(562, 371));
        const QImage heading = shown.copy(PixelsOf("imgAnnounce", ratio));
        const double steepness = EdgeSteepness(heading, heading.rect());
        // The same 1x picture enlarged smoothly, for the difference the renderings make.
        const QImage enlarged =
            once.scaled(heading.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double enlargedSteepness = EdgeSteepness(enlarged, enlarged.rect());
        const double blocks = UniformBlockShare(heading, heading.rect());
        std::printf("heading at %.1fx: edge steepness %.1f (1x %.1f, 1x enlarged %.1f), "
                    "uniform 2 x 2 squares %.3f\n",
                    ratio, steepness, onceSteepness, enlargedSteepness, blocks);
        EXPECT_GT(steepness, 0.85 * onceSteepness) << ratio;
        EXPECT_GT(steepness, 1.15 * enlargedSteepness) << ratio;
        if (ratio == 2) {
            EXPECT_LT(blocks, 0.5) << "not 2 x 2 blocks of repeated pixels";
        }
    }
}

// On a 2x screen the pictures are the 2x renderings pixel for pixel: the notice heading, and
// the licence, which keeps its logical size and line breaks.
TEST_F(WizardScaleTest, PicturesAreTheRenderingsForTheScreen) {
    ASSERT_TRUE(MoveToScreen(Window(), 2));
    auto* heading = Child<TSkinImage>("imgAnnounce");
    const QImage shown = heading->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const TGPBitmap picture = heading->PictureBitmap();
    ASSERT_EQ(picture.Variants().size(), 2u);
    const QImage twice = picture.ImageFor(2);
    ASSERT_EQ(twice.size(), shown.size());
    // The picture is drawn over the page; where it is opaque the screen shows it exactly.
    int opaque = 0;
    int equal = 0;
    for (int y = 0; y < twice.height(); ++y)
        for (int x = 0; x < twice.width(); ++x)
            if (qAlpha(twice.pixel(x, y)) == 255) {
                ++opaque;
                equal += shown.pixel(x, y) == twice.pixel(x, y);
            }
    ASSERT_GT(opaque, 1000);
    EXPECT_EQ(equal, opaque);

    TfrmAgreement viewer;
    viewer.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
    ASSERT_TRUE(MoveToScreen(viewer, 2));
    QLabel* licence = viewer.imgAgreement;
    EXPECT_EQ(licence->width(), 541);
    EXPECT_EQ(licence->pixmap().width(), 541) << "the plain picture stays the label's";
    const QImage top =
        licence->grab(QRect(0, 0, 541, 200)).toImage().convertToFormat(QImage::Format_RGB32);
    const TGPBitmap pictures =
        LoadFormPicture(QStringLiteral("Agreement/Licence.png"), QStringLiteral("T"), QString());
    ASSERT_EQ(pictures.Variants().size(), 2u);
    EXPECT_EQ(pictures.Height(), licence->height());
    const QImage expected =
        pictures.ImageFor(2).copy(0, 0, 1082, 400).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(top, expected);
}

} // namespace
