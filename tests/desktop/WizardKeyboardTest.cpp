// A complete custom install with nothing but the keyboard, as someone who cannot use a mouse
// makes it: Return takes each page's default button, Tab moves the focus, Space toggles the
// check boxes, the path is typed. Where the focus is, is read from the screen: the form with
// its window active against the same page with the window inactive, where no focus is drawn,
// so every step's screenshot shows the focus indication the user follows.
#include "installer/InstallerSettings.h"
#include "tests/desktop/DesktopTestSupport.h"
#include "tests/desktop/InstallCheck.h"
#include "tests/desktop/ScreenPicture.h"
#include "tests/desktop/WizardOnDesktop.h"

using namespace velmora;
using namespace velmora::testing;
using namespace velmora::testing::wizard;

namespace {

struct TControl {
    const char* Name;
    QRect Bounds; // window coordinates at 1x
};

// The controls of each page that may take the focus, below the title bar.
const QList<TControl> KNoticeControls = {{"确定", QRect(221, 282, 120, 36)}};
const QList<TControl> KOptionControls = {
    {"快速安装", QRect(197, 254, 168, 44)},     {"the agreement box", QRect(19, 342, 17, 17)},
    {"我已阅读并同意", QRect(41, 342, 96, 16)}, {"许可协议", QRect(137, 342, 60, 16)},
    {"返回上一步", QRect(371, 342, 75, 16)},    {"自定义安装>>", QRect(458, 342, 85, 16)}};
const QList<TControl> KPathControls = {{"the path field", QRect(55, 185, 362, 22)},
                                       {"浏览…", QRect(435, 180, 84, 32)},
                                       {"确定", QRect(221, 254, 120, 36)},
                                       {"返回上一步>>", QRect(458, 342, 85, 16)}};
const QList<TControl> KFinishedControls = {{"立即运行", QRect(47, 242, 200, 20)},
                                           {"访问Velmo网站", QRect(47, 270, 200, 20)},
                                           {"完成", QRect(399, 258, 120, 36)}};

class WizardKeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        VELMORA_REQUIRE_SESSION(FSession);
        FWizard.Start();
        ASSERT_TRUE(FWizard.WaitForForm().has_value()) << "the wizard's window did not appear\n"
                                                       << Text(FSession.Logs());
        for (const TWizardOnDesktop::TWindow& window : FWizard.Windows())
            if (window.Geometry == FWizard.Form())
                FWindow = window.Id;
    }

    // The page as it looks with the window inactive, which draws no focus.
    void TakeUnfocused() {
        FSession.X().TakeFocus();
        QThread::msleep(300);
        FUnfocused = FWizard.FormPicture(FWizard.Shot());
        RunXdotool(FSession.Display(), {QStringLiteral("windowactivate"), QStringLiteral("--sync"),
                                        QString::number(FWindow)});
    }

    // The control of AControls the focus is drawn on, or "" when none shows it: where the
    // active form differs most from the inactive one, in either of two shots half a blink
    // of a text caret apart.
    QString Focused(const QList<TControl>& AControls) {
        QList<QImage> forms{FWizard.FormPicture(FWizard.Shot())};
        QThread::msleep(500);
        forms << FWizard.FormPicture(FWizard.Shot());
        SaveShot(forms.front(), TestName() + QStringLiteral("-%1").arg(++FShots));
        QString best;
        double most = 0;
        for (const TControl& control : AControls) {
            const QRect around = control.Bounds.adjusted(-4, -4, 4, 4);
            for (const QImage& form : forms) {
                const double pixels =
                    DifferingShare(form.copy(around), FUnfocused.copy(around), 24) *
                    around.width() * around.height();
                if (pixels >= 8 && pixels > most) {
                    most = pixels;
                    best = QString::fromUtf8(control.Name);
                }
            }
        }
        return best;
    }

    // Tab until AName shows the focus, at most once round the page.
    bool TabTo(const QList<TControl>& AControls, const char* AName) {
        const QString wanted = QString::fromUtf8(AName);
        for (int tab = 0; tab <= AControls.size() + 3; ++tab) {
            if (Focused(AControls) == wanted)
                return true;
            Key(QStringLiteral("Tab"));
        }
        ADD_FAILURE() << "Tab never brought the focus to " << AName << " (the last shot is "
                      << Text(TestName()) << "-" << FShots << ")";
        return false;
    }

    void Key(const QString& AKey) { FWizard.Input().Keys({AKey}); }

    TRealProcessSandbox FSandbox;
    TDesktopSession FSession{FSandbox, {TDesktopKind::OpenboxPicom}};
    TInstallCheck FInstall{FSandbox};
    TWizardOnDesktop FWizard{FSandbox, FSession};
    quint32 FWindow = 0;
    QImage FUnfocused;
    int FShots = 0;
};

TEST_F(WizardKeyboardTest, ACustomInstallWithTheKeyboardAloneShowingWhereTheFocusIs) {
    ASSERT_NE(FWindow, 0U);
    // Each page puts the focus on its default button, which Return takes. As on the desktops,
    // the focus is drawn from the first key a user navigates with: Tab there and back.
    TakeUnfocused();
    Key(QStringLiteral("Tab"));
    Key(QStringLiteral("shift+Tab"));
    EXPECT_EQ(Text(Focused(KNoticeControls)), "确定") << "the notice page shows no focus on 确定";
    Key(QStringLiteral("Return"));
    ASSERT_EQ(FWizard.WaitForPage(1), 1) << "Return on the notice page did not lead on";

    TakeUnfocused();
    EXPECT_EQ(Text(Focused(KOptionControls)), "快速安装");
    ASSERT_TRUE(TabTo(KOptionControls, "the agreement box"));
    for (const bool checked : {false, true}) {
        Key(QStringLiteral("space"));
        EXPECT_TRUE(WaitUntil(
            [&] {
                return ShowsCheckMark(FWizard.FormPicture(FWizard.Shot()), KAgreementBox) ==
                       checked;
            },
            5000))
            << "Space did not " << (checked ? "check" : "uncheck") << " the agreement box";
    }
    ASSERT_TRUE(TabTo(KOptionControls, "自定义安装>>"));
    Key(QStringLiteral("Return"));
    ASSERT_EQ(FWizard.WaitForPage(2), 2) << "Return on 自定义安装>> did not lead to the path page";

    TakeUnfocused();
    EXPECT_EQ(Text(Focused(KPathControls)), "确定");
    ASSERT_TRUE(TabTo(KPathControls, "the path field"));
    Key(QStringLiteral("ctrl+a"));
    FWizard.Input().Type(FInstall.InstallTo());
    // Return in the field takes the page's default button: the install.
    Key(QStringLiteral("Return"));
    ASSERT_TRUE(WaitUntil([&] { return !FInstall.Record().isEmpty(); }, 60000))
        << "Return in the path field did not install; the install log says: "
        << Text(FInstall.InstallLogs());
    ASSERT_EQ(FWizard.WaitForPage(4, 30000), 4);
    FInstall.ExpectInstalled();

    TakeUnfocused();
    EXPECT_EQ(Text(Focused(KFinishedControls)), "完成");
    ASSERT_TRUE(TabTo(KFinishedControls, "立即运行"));
    Key(QStringLiteral("space"));
    EXPECT_TRUE(WaitUntil(
        [&] { return !ShowsCheckMark(FWizard.FormPicture(FWizard.Shot()), KRunNowBox); }, 5000))
        << "Space did not uncheck 立即运行";
    ASSERT_TRUE(TabTo(KFinishedControls, "完成"));
    Key(QStringLiteral("Return"));
    EXPECT_TRUE(FWizard.Process().waitForFinished(30000))
        << "Return on 完成 did not end the wizard";
    EXPECT_EQ(FWizard.Process().exitCode(), 0);
    EXPECT_EQ(Text(FInstall.Opened().trimmed()), Text(InstallerSettings().WebAddress));
}

} // namespace
