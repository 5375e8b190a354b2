// What the wizard looks like on real desktops, from the screen's pixels: the changed part of
// the desktop is the form and its shadow and nothing else (no black frame where nothing
// blends the shadow, no shadow surface placed on its own, nothing laid over the form), at 1x
// and at 2x, and at 2x the notice picture with its heading is as sharp as at 1x.
#include "tests/desktop/DesktopTestSupport.h"
#include "tests/desktop/ScreenPicture.h"
#include "tests/desktop/WizardOnDesktop.h"

#include <iostream>

using namespace velmora::testing;
using namespace velmora::testing::wizard;

namespace {

// xcompmgr -c draws a shadow of its own under every window (radius 12 at offset -15, -15):
// under a plain window it shows up to 11 pixels above and left and 20 below and right,
// whatever the program's scale. It shadows the skin's shadow window as well, so there its
// reach starts at the skin's shadow: a faint second shadow that this desktop gives every
// window with a shadow of its own, and still no black frame or detached surface.
constexpr int KCompositorShadowNear = 11;
constexpr int KCompositorShadowFar = 20;

class WizardLookTest : public ::testing::TestWithParam<TDesktopKind> {
protected:
    // The wizard at AScale, its screenshot checked; the form's picture for more.
    QImage ShowAndCheck(int AScale) {
        FSession.SetScale(AScale);
        FWizard.Start();
        const std::optional<QRect> form = FWizard.WaitForForm();
        if (!form) {
            ADD_FAILURE() << "the wizard's window did not appear at " << AScale << "x\n"
                          << Text(FSession.Logs());
            return QImage();
        }
        const QImage shot = FWizard.Shot();
        SaveShot(shot, TestName() + QStringLiteral("-%1x").arg(AScale));
        const QImage& desktop = FSession.EmptyDesktop();
        // The skin's shadow scales with the form; a compositor's own does not.
        const int margin = KShadowMargin * AScale;
        const bool ownShadows = GetParam() == TDesktopKind::OpenboxXcompmgr;
        const int near = ownShadows ? margin + KCompositorShadowNear : margin;
        const int far = ownShadows ? margin + KCompositorShadowFar : margin;
        const QRect allowed = form->adjusted(-near, -near, far, far);
        const QRect changed = ChangedRegion(shot, desktop);
        EXPECT_TRUE(allowed.contains(changed))
            << AScale << "x: the desktop changed at " << Rect(changed) << ", the form is at "
            << Rect(*form) << " with a shadow of at most " << near << " pixels above and left and "
            << far << " below and right";
        EXPECT_EQ(ChangedOutside(shot, desktop, allowed), 0)
            << AScale
            << "x: a surface apart from the form and its shadow (a detached shadow "
               "window?) changed that many pixels of the desktop";
        EXPECT_LT(BlackFrameShare(shot, desktop, *form, 5 * AScale), 0.05)
            << AScale << "x: a black frame surrounds the form";
        if (AScale == 1) {
            EXPECT_EQ(PageOf(FWizard.FormPicture(shot)), 0)
                << "the notice page does not show as drawn: something lies over the form";
        }
        return FWizard.FormPicture(shot);
    }

    static std::string Rect(const QRect& ARect) {
        return QStringLiteral("(%1, %2) %3 x %4")
            .arg(ARect.x())
            .arg(ARect.y())
            .arg(ARect.width())
            .arg(ARect.height())
            .toStdString();
    }

    TRealProcessSandbox FSandbox;
    TDesktopSession FSession{FSandbox, {GetParam(), 1, false, QSize(1280, 1024)}};
    TWizardOnDesktop FWizard{FSandbox, FSession};
};

TEST_P(WizardLookTest, TheDesktopShowsOnlyTheFormAndItsShadowAndTwiceTheScaleIsAsSharp) {
    VELMORA_REQUIRE_SESSION(FSession);
    const QImage one = ShowAndCheck(1);
    ASSERT_FALSE(one.isNull());
    FWizard.Kill();
    const QImage two = ShowAndCheck(2);
    ASSERT_FALSE(two.isNull());
    ASSERT_EQ(two.size(), one.size() * 2) << "the window is not twice as large at 2x";

    const QRect picture = KNoticePicture;
    const TEdgeSharpness sharpOne = EdgeSharpness(one.copy(picture));
    const TEdgeSharpness sharpTwo =
        EdgeSharpness(two.copy(QRect(picture.topLeft() * 2, picture.size() * 2)));
    SaveShot(two.copy(QRect(picture.topLeft() * 2, picture.size() * 2)),
             TestName() + QStringLiteral("-notice-2x"));
    ASSERT_GT(sharpOne.Edges, 1000) << "the notice picture has no text to measure";
    std::cout << "notice picture: steepness " << sharpOne.Steepness << " at 1x, "
              << sharpTwo.Steepness << " at 2x (ratio " << sharpTwo.Steepness / sharpOne.Steepness
              << "); doubled blocks " << sharpOne.DoubledShare << " at 1x, "
              << sharpTwo.DoubledShare << " at 2x\n";
    EXPECT_GE(sharpTwo.Steepness / sharpOne.Steepness, 0.8)
        << "at 2x the notice picture's edges are " << sharpTwo.Steepness / sharpOne.Steepness
        << " as steep as at 1x (" << sharpTwo.Steepness << " against " << sharpOne.Steepness
        << " grey levels per pixel): a 1x picture scaled up";
    EXPECT_LE(sharpTwo.DoubledShare, 0.6)
        << "at 2x " << sharpTwo.DoubledShare * 100
        << " % of the notice picture's edge blocks are single pixels doubled: a 1x picture "
           "scaled up (at 1x the share is "
        << sharpOne.DoubledShare * 100 << " %)";
}

INSTANTIATE_TEST_SUITE_P(Desktops, WizardLookTest,
                         ::testing::Values(TDesktopKind::OpenboxPicom,
                                           TDesktopKind::OpenboxXcompmgr, TDesktopKind::Openbox,
                                           TDesktopKind::Weston),
                         [](const auto& AInfo) { return KindName(AInfo.param).toStdString(); });

} // namespace
