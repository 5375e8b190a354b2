// The wizard worked with a real mouse on real desktops, as a user does it: the window is
// dragged by its title, the notice's button and the agreement box are pressed and held for
// 50 ms, 300 ms and 1 s, and a custom install is made with held presses on the path page's
// button, the finished page's box and the finish button. Every press must do what a click
// does and leave the window where it was, also once the pointer has moved on.
#include "installer/InstallerSettings.h"
#include "tests/desktop/DesktopTestSupport.h"
#include "tests/desktop/InstallCheck.h"
#include "tests/desktop/ScreenPicture.h"
#include "tests/desktop/WizardOnDesktop.h"

#include <sstream>

using namespace velmora;
using namespace velmora::testing;
using namespace velmora::testing::wizard;

namespace {

constexpr int KHolds[] = {50, 300, 1000};
// How long a hand holds a plain click.
constexpr int KHandClick = 120;
// The shortest of the holds, for getting on when a press failed.
constexpr int KShortPress = 50;

std::string Held(const TDesktopInput::THold& AHold) {
    std::ostringstream text;
    text << "held " << AHold.RequestedMs << " ms (released " << AHold.AtLeastMs << "-"
         << AHold.AtMostMs << " ms after the press)";
    return text.str();
}

class WizardMouseTest : public ::testing::TestWithParam<TDesktopKind> {
protected:
    void SetUp() override {
        VELMORA_REQUIRE_SESSION(FSession);
        FWizard.Start();
        ASSERT_TRUE(FWizard.WaitForForm().has_value()) << "the wizard's window did not appear\n"
                                                       << Text(FSession.Logs());
    }

    struct TPressed {
        bool Acted = false;
        bool Kept = false; // the window stayed where it was
    };

    // Presses AControl for AHoldMs (0: a quick click, the button up within a millisecond or
    // two) and waits for AExpectation to hold of the form's picture. Whatever the press did,
    // the form must be where it was before it, with the pointer gone elsewhere since; a form
    // that went elsewhere cannot be judged, and the walk cannot go on.
    TPressed PressAndExpect(QPoint AControl, int AHoldMs, const char* AWhat,
                            const std::function<bool(const QImage&)>& AExpectation) {
        // Presses further apart than a double click, which is not what is tried here.
        while (FSinceRelease.isValid() && FSinceRelease.elapsed() < 600)
            QThread::msleep(20);
        const QRect before = FWizard.Form();
        TDesktopInput::THold hold;
        if (AHoldMs > 0)
            hold = FWizard.Input().Press(FWizard.At(AControl), AHoldMs);
        else
            FWizard.Input().Click(FWizard.At(AControl));
        FSinceRelease.start();
        const std::string how = AHoldMs > 0 ? Held(hold) : std::string("clicked");
        QImage shot;
        TPressed result;
        result.Acted = WaitUntil(
            [&] {
                const bool found = FWizard.Locate(&shot).has_value();
                result.Kept = found && FWizard.Form() == before;
                return result.Kept && AExpectation(FWizard.FormPicture(shot));
            },
            2500);
        SaveShot(shot, TestName() + QStringLiteral("-%1-%2ms").arg(++FShots).arg(AHoldMs));
        if (!result.Kept) {
            if (FWizard.FindForm(shot))
                ADD_FAILURE() << AWhat << " " << how << " moved the window from (" << before.x()
                              << ", " << before.y() << ") to (" << FWizard.Form().x() << ", "
                              << FWizard.Form().y() << ")";
            else
                ADD_FAILURE() << AWhat << " " << how << ": the window is no longer on the screen";
            return result;
        }
        EXPECT_TRUE(result.Acted) << AWhat << " " << how << " did not act like a click";
        return result;
    }

    bool OnPage(int APage) { return FWizard.WaitForPage(APage, 0) == APage; }

    // A fresh wizard on its notice page, when a press left the window elsewhere or on the
    // wrong page: the rest of the walk is still tried.
    void Restart() {
        FWizard.Kill();
        FWizard.Start();
        ASSERT_TRUE(FWizard.WaitForForm().has_value()) << "the wizard did not start again";
        ASSERT_EQ(FWizard.WaitForPage(0), 0);
    }

    // On to APage (0 notice, 1 options, 2 path) by short presses, the kind of click that works best
    // on every desktop, from a fresh wizard if need be.
    void ToPage(int APage) {
        if (OnPage(APage))
            return;
        if (APage == 0 && OnPage(1)) {
            FWizard.Input().Press(FWizard.At(KPriorLink), KShortPress);
            if (FWizard.WaitForPage(0) == 0)
                return;
        }
        if (!OnPage(0) && !(APage == 2 && OnPage(1))) {
            ASSERT_NO_FATAL_FAILURE(Restart());
        }
        if (OnPage(0))
            FWizard.Input().Press(FWizard.At(KNoticeNext), KShortPress);
        ASSERT_EQ(FWizard.WaitForPage(1), 1) << "a short press on 确定 did not reach the options";
        if (APage == 2) {
            FWizard.Input().Press(FWizard.At(KOperatorLink), KShortPress);
            ASSERT_EQ(FWizard.WaitForPage(2), 2)
                << "a short press on 自定义安装>> did not reach the path page";
        }
    }

    TRealProcessSandbox FSandbox;
    TDesktopSession FSession{FSandbox, {GetParam()}};
    TInstallCheck FInstall{FSandbox};
    TWizardOnDesktop FWizard{FSandbox, FSession};
    int FShots = 0;
    QElapsedTimer FSinceRelease;
};

TEST_P(WizardMouseTest, HeldClicksActAndATitleDragMovesTheWindowThenACustomInstallCompletes) {
    const auto onPage = [](int APage) {
        return [APage](const QImage& AForm) { return PageOf(AForm) == APage; };
    };
    const auto agreement = [](bool AChecked) {
        return [AChecked](const QImage& AForm) {
            return PageOf(AForm) == 1 && ShowsCheckMark(AForm, KAgreementBox) == AChecked;
        };
    };

    // The title moves the window, by as much as the pointer moved, and nothing follows the
    // pointer once the button is up.
    const QRect start = FWizard.Form();
    FWizard.Input().Drag(FWizard.At(KTitleGrip), FWizard.At(KTitleGrip) + QPoint(60, 40));
    ASSERT_TRUE(FWizard.Locate().has_value()) << "the window is gone after a drag";
    EXPECT_EQ(FWizard.Form().topLeft(), start.topLeft() + QPoint(60, 40))
        << "a title drag of (60, 40) moved the window from (" << start.x() << ", " << start.y()
        << ") to (" << FWizard.Form().x() << ", " << FWizard.Form().y() << ")";

    // The notice's button and the agreement box at every hold: the box toggles off and on,
    // and the link leads back for the next round (pressed like a hand clicks, for 120 ms).
    for (const int hold : KHolds) {
        ASSERT_NO_FATAL_FAILURE(ToPage(0));
        if (!PressAndExpect(KNoticeNext, hold, "确定 on the notice page", onPage(1)).Kept) {
            ASSERT_NO_FATAL_FAILURE(Restart());
        }
        ASSERT_NO_FATAL_FAILURE(ToPage(1));
        // Each press must turn the box over from what it shows.
        bool kept = true;
        for (const char* what : {"the agreement box", "the agreement box, again"}) {
            const bool checked = ShowsCheckMark(FWizard.FormPicture(FWizard.Shot()), KAgreementBox);
            kept = kept && PressAndExpect(KAgreementBox, hold, what, agreement(!checked)).Kept;
        }
        if (!kept) {
            ASSERT_NO_FATAL_FAILURE(Restart());
            continue;
        }
        if (!PressAndExpect(KPriorLink, KHandClick, "返回上一步", onPage(0)).Kept) {
            ASSERT_NO_FATAL_FAILURE(Restart());
        }
    }
    // The agreement is given for the install, however the presses went.
    ASSERT_NO_FATAL_FAILURE(ToPage(1));
    if (!ShowsCheckMark(FWizard.FormPicture(FWizard.Shot()), KAgreementBox))
        FWizard.Input().Press(FWizard.At(KAgreementBox), KShortPress);

    // A custom install into a typed path.
    if (!PressAndExpect(KOperatorLink, KHandClick, "自定义安装>>", onPage(2)).Kept) {
        ASSERT_NO_FATAL_FAILURE(Restart());
    }
    ASSERT_NO_FATAL_FAILURE(ToPage(2));
    FWizard.Input().Click(FWizard.At(KPathField));
    FWizard.Input().Keys({QStringLiteral("ctrl+a")});
    FWizard.Input().Type(FInstall.InstallTo());
    const auto finished = [&](const QImage& AForm) {
        return PageOf(AForm) == 4 && !FInstall.Record().isEmpty();
    };
    const TPressed install = PressAndExpect(KInstallButton, 300, "确定 on the path page", finished);
    ASSERT_TRUE(install.Kept);
    if (!install.Acted)
        FWizard.Input().Press(FWizard.At(KInstallButton), KShortPress);
    ASSERT_TRUE(WaitUntil([&] { return !FInstall.Record().isEmpty(); }, 60000))
        << "no install record; the install log says: " << Text(FInstall.InstallLogs());
    ASSERT_EQ(FWizard.WaitForPage(4, 30000), 4) << "the finished page did not follow the install";
    FInstall.ExpectInstalled();

    // "Run now" off, so that only the web address is opened; the web box off and on again
    // with quick clicks, after which nothing may follow the pointer; then finish.
    ASSERT_TRUE(PressAndExpect(KRunNowBox, 50, "立即运行", [](const QImage& AForm) {
                    return PageOf(AForm) == 4 && !ShowsCheckMark(AForm, KRunNowBox);
                }).Kept);
    for (int round = 0; round < 2; ++round) {
        const bool checked = ShowsCheckMark(FWizard.FormPicture(FWizard.Shot()), KWebBox);
        ASSERT_TRUE(PressAndExpect(KWebBox, 0, "访问Velmo网站", [checked](const QImage& AForm) {
                        return PageOf(AForm) == 4 && ShowsCheckMark(AForm, KWebBox) != checked;
                    }).Kept);
    }
    const TDesktopInput::THold hold = FWizard.Input().Press(FWizard.At(KFinishButton), 1000);
    EXPECT_TRUE(FWizard.Process().waitForFinished(30000))
        << "完成 " << Held(hold) << " did not end the wizard";
    EXPECT_EQ(FWizard.Process().exitCode(), 0);
    EXPECT_EQ(Text(FInstall.Opened().trimmed()), Text(InstallerSettings().WebAddress))
        << "the finish page did not open the web address";
}

INSTANTIATE_TEST_SUITE_P(Desktops, WizardMouseTest,
                         ::testing::Values(TDesktopKind::OpenboxPicom, TDesktopKind::Openbox,
                                           TDesktopKind::Weston),
                         [](const auto& AInfo) { return KindName(AInfo.param).toStdString(); });

} // namespace
