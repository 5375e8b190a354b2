// The start-up order of real VelmoraSetup processes on a virtual X display, driven by the
// mouse like a user would: the product test gates the wizard, and a second installer shows
// its dialog, then the product dialog, and ends without a wizard window.
#include "tests/installer/wizard/RealProcessSupport.h"

#include <QPoint>
#include <QSize>
#include <optional>

using namespace velmora::testing;

namespace {

// The wizard's window by its caption and size; the installer-running dialog by its caption
// (it fits its height to the text); the product dialog, which has no caption, by its size.
// The wizard window has no caption of its own (the window system shows the program's name);
// the licence viewer of the same size is only created at start-up, never shown.
// The installer dialog's OK sits at the bottom of its panel, which follows the dialog's bottom
// edge when the dialog grows to fit its text: its centre is 31 pixels above that edge.
const int KInstallerOKX = 5 + 226 + 33;
const int KInstallerOKAboveBottom = 122 - (28 + 53 + 10);
const TWindowMatch KMainWindow = [](const QString&, QSize size) { return size == QSize(562, 371); };
const TWindowMatch KInstallerDialog = [](const QString& title, QSize size) {
    return title == u"安装检测"_qs && size.width() == 320;
};
const TWindowMatch KProductDialog = [](const QString&, QSize size) {
    return size == QSize(506, 296);
};

class SetupStartUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(FDisplay.Name().isEmpty()) << "no virtual display could be started";
        FSetup =
            FSandbox.Install(QStringLiteral(VELMORA_SETUP_PROGRAM), QStringLiteral("VelmoraSetup"));
        FCorvex = FSandbox.Install(QStringLiteral(CORVEX_PROGRAM), QStringLiteral("Corvex.exe"));
    }
    void TearDown() override {
        for (QProcess* process : {&FSecond, &FFirst, &FProduct})
            Stop(*process);
    }

    QString WaitForWindow(const QProcess& AProcess, const TWindowMatch& AMatch) const {
        return FDesktop.WaitForWindow(AProcess, AMatch);
    }
    std::optional<QString> FindWindow(const QProcess& AProcess, const TWindowMatch& AMatch) const {
        return FDesktop.FindWindow(AProcess, AMatch);
    }
    bool EverShowed(const QProcess& AProcess, const TWindowMatch& AMatch) const {
        return FDesktop.EverShowed(AProcess, AMatch);
    }
    void Click(const QString& AWindow, QPoint AAt) const { FDesktop.Click(AWindow, AAt); }
    // Clicks the OK button of AProcess's installer dialog AWindow, wherever its height put it.
    void ClickInstallerOK(const QProcess& AProcess, const QString& AWindow) const {
        for (const TDesktopDriver::TWindow& window : FDesktop.Windows(AProcess))
            if (window.Id == AWindow)
                Click(AWindow,
                      QPoint(KInstallerOKX, window.Size.height() - KInstallerOKAboveBottom));
    }

    void StartSetup(QProcess& AProcess) {
        FSandbox.Start(AProcess, FSetup, QStringLiteral("xcb"), FDisplay.Name());
    }

    TVirtualDisplay FDisplay;
    TDesktopDriver FDesktop{FDisplay};
    TRealProcessSandbox FSandbox;
    QString FSetup;
    QString FCorvex;
    QProcess FProduct;
    QProcess FFirst;
    QProcess FSecond;
};

// Centres of the controls the user clicks, in window coordinates.
const QPoint KRetry(95 + 52, 205 + 18);
const QPoint KProductCancel(299 + 52, 206 + 18);

TEST_F(SetupStartUpTest, ProductTestGatesTheWizardAndASecondInstallerStopsAfterItsDialogs) {
    // The product runs: the first installer asks, and retry does nothing until it ended.
    FSandbox.Start(FProduct, FCorvex, QStringLiteral("offscreen"));
    StartSetup(FFirst);
    const QString productDialog = WaitForWindow(FFirst, KProductDialog);
    Click(productDialog, KRetry);
    QThread::msleep(700);
    EXPECT_TRUE(FindWindow(FFirst, KProductDialog).has_value());
    EXPECT_FALSE(EverShowed(FFirst, KMainWindow));
    Stop(FProduct);
    Click(productDialog, KRetry);
    WaitForWindow(FFirst, KMainWindow);
    EXPECT_TRUE(WaitUntil([&] { return !FindWindow(FFirst, KProductDialog); }));

    // A second installer while the first runs, and the product again: the installer dialog,
    // then the product dialog (the first stop does not skip it), then the end.
    FSandbox.Start(FProduct, FCorvex, QStringLiteral("offscreen"));
    StartSetup(FSecond);
    const QString installerDialog = WaitForWindow(FSecond, KInstallerDialog);
    ClickInstallerOK(FSecond, installerDialog);
    const QString secondProductDialog = WaitForWindow(FSecond, KProductDialog);
    Click(secondProductDialog, KProductCancel);
    ASSERT_TRUE(FSecond.waitForFinished(30000));
    EXPECT_EQ(FSecond.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(FSecond.exitCode(), 0);
    EXPECT_FALSE(EverShowed(FSecond, KMainWindow));

    // Without the product, a second installer shows its dialog and ends at once after it.
    Stop(FProduct);
    StartSetup(FSecond);
    ClickInstallerOK(FSecond, WaitForWindow(FSecond, KInstallerDialog));
    ASSERT_TRUE(FSecond.waitForFinished(30000));
    EXPECT_EQ(FSecond.exitCode(), 0);
    EXPECT_FALSE(EverShowed(FSecond, KMainWindow));
    EXPECT_FALSE(EverShowed(FSecond, KProductDialog));

    // The first installer still runs its wizard.
    EXPECT_EQ(FFirst.state(), QProcess::Running);
    EXPECT_TRUE(FindWindow(FFirst, KMainWindow).has_value());
}

} // namespace
