// Each kind of desktop session starts, shows the real wizard and is pictured: the harness
// itself works before any test of the wizard's behaviour relies on it.
#include "tests/desktop/AccessibilityClient.h"
#include "tests/desktop/DesktopTestSupport.h"
#include "tests/desktop/ScreenPicture.h"
#include "tests/desktop/WizardOnDesktop.h"

using namespace velmora::testing;

namespace {

class DesktopSmokeTest : public ::testing::TestWithParam<TDesktopKind> {};

TEST_P(DesktopSmokeTest, TheWizardStartsOnTheDesktopAndIsPictured) {
    TRealProcessSandbox sandbox;
    TDesktopSession session(sandbox, {GetParam()});
    VELMORA_REQUIRE_SESSION(session);
    SaveShot(session.EmptyDesktop(), TestName() + QStringLiteral("-empty"));
    // The empty desktop is the test's colour all over.
    EXPECT_EQ(ChangedRegion(session.EmptyDesktop(), session.EmptyDesktop()), QRect());
    EXPECT_EQ(session.EmptyDesktop().pixel(10, 10), TDesktopSession::KDesktopColour);

    TWizardOnDesktop wizard(sandbox, session);
    wizard.Start();
    const std::optional<QRect> form = wizard.WaitForForm();
    ASSERT_TRUE(form.has_value()) << "the wizard's window did not appear\n" << Text(session.Logs());
    const QImage shot = wizard.Shot();
    SaveShot(shot, TestName());
    EXPECT_TRUE(QRect(QPoint(), session.Options().Screen).contains(*form)) << "form off screen";
    // What the form looks like is for the tests of the wizard; here it is on the screen.
    EXPECT_TRUE(ChangedRegion(shot, session.EmptyDesktop()).contains(*form));
    EXPECT_GT(DifferingShare(wizard.FormPicture(shot), session.EmptyDesktop().copy(*form), 6), 0.9);
}

INSTANTIATE_TEST_SUITE_P(Desktops, DesktopSmokeTest,
                         ::testing::Values(TDesktopKind::OpenboxPicom,
                                           TDesktopKind::OpenboxXcompmgr, TDesktopKind::Openbox,
                                           TDesktopKind::Weston),
                         [](const auto& AInfo) { return KindName(AInfo.param).toStdString(); });

// The session bus with the accessibility bus, and the screen-reader client on it: the
// wizard's application and its window are in the desktop's accessibility tree.
TEST(DesktopAccessibilitySmokeTest, TheScreenReaderClientFindsTheWizard) {
    TRealProcessSandbox sandbox;
    TDesktopSession session(sandbox, {TDesktopKind::Openbox, 1, true});
    VELMORA_REQUIRE_SESSION(session);
    TAccessibilityClient reader(sandbox, session);
    if (!reader.Unavailable().isEmpty())
        GTEST_SKIP() << Text(reader.Unavailable());
    ASSERT_EQ(reader.Failure(), QString()) << Text(session.Logs());

    TWizardOnDesktop wizard(sandbox, session);
    wizard.Start();
    ASSERT_TRUE(wizard.WaitForForm().has_value()) << Text(session.Logs());
    SaveShot(wizard.Shot(), TestName());
    const QJsonObject app = reader.Attach(wizard.Process());
    ASSERT_TRUE(app.value(QStringLiteral("ok")).toBool())
        << Text(app.value(QStringLiteral("error")).toString()) << "\n"
        << Text(reader.Log());
    EXPECT_GE(app.value(QStringLiteral("toplevels")).toInt(), 1);
    const QJsonArray objects = reader.Tree();
    EXPECT_FALSE(objects.isEmpty()) << "nothing of the wizard is showing to the screen reader";
}

} // namespace
