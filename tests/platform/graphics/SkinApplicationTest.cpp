#include "platform/graphics/SkinApplication.h"

#include "platform/graphics/ModalDisplay.h"
#include "platform/system/Errors.h"
#include "platform/system/MessagePump.h"

#include <QDir>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <stdexcept>

namespace velmora::testing {
namespace {

class TThrowingObject : public QObject {
protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User)
            throw EVelmoraError(QStringLiteral("kaputt"));
        if (event->type() == QEvent::User + 1)
            throw std::runtime_error("std failure");
        return QObject::event(event);
    }
};

// The application object of the whole run is the program's own, created before any test.
class TApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("XDG_CACHE_HOME", QDir::tempPath().toUtf8() + "/velmora-application-tests-cache");
        qputenv("XDG_RUNTIME_DIR",
                QDir::tempPath().toUtf8() + "/velmora-application-tests-runtime");
        static int argc = 1;
        static char name[] = "application-tests";
        static char* argv[] = {name, nullptr};
        new TSkinApplication(argc, argv); // lives for the whole test run
    }
};
[[maybe_unused]] ::testing::Environment* const GEnvironment =
    ::testing::AddGlobalTestEnvironment(new TApplicationEnvironment);

class SkinApplicationTest : public ::testing::Test {
protected:
    void TearDown() override { TSkinApplication::SetOnException({}); }
};

TEST_F(SkinApplicationTest, ApplicationIsTheProgramsOwn) {
    EXPECT_NE(dynamic_cast<TSkinApplication*>(qApp), nullptr);
}

TEST_F(SkinApplicationTest, EscapingErrorsReachTheHookAndTheLoopGoesOn) {
    QStringList messages;
    TSkinApplication::SetOnException([&](const QString& message) { messages << message; });
    TThrowingObject object;
    QEvent first(QEvent::User);
    QCoreApplication::sendEvent(&object, &first);
    QEvent second(QEvent::Type(QEvent::User + 1));
    QCoreApplication::sendEvent(&object, &second);
    EXPECT_EQ(messages, (QStringList{QStringLiteral("kaputt"), QStringLiteral("std failure")}));
}

TEST_F(SkinApplicationTest, PumpMessagesDeliversWhatIsPendingOnTheRealLoop) {
    int delivered = 0;
    QTimer::singleShot(0, qApp, [&] { ++delivered; });
    QWidget window;
    window.resize(50, 50);
    window.show();
    window.update();
    PumpMessages(0);
    EXPECT_EQ(delivered, 1);
    PumpMessages(-1);
    EXPECT_EQ(delivered, 1);
}

TEST_F(SkinApplicationTest, ModalDisplayReturnsTheResultGiven) {
    QWidget dialog;
    QTimer::singleShot(0, &dialog, [&] {
        EXPECT_TRUE(IsShownModal(&dialog));
        EXPECT_TRUE(dialog.isModal());
        SetModalResult(&dialog, mrYes);
    });
    EXPECT_EQ(ShowModal(&dialog), mrYes);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.isModal());
    EXPECT_FALSE(IsShownModal(&dialog));
}

TEST_F(SkinApplicationTest, ClosingWithoutAResultIsCancel) {
    QWidget dialog;
    QTimer::singleShot(0, &dialog, [&] { dialog.close(); });
    EXPECT_EQ(ShowModal(&dialog), mrCancel);
}

TEST_F(SkinApplicationTest, DestroyedWhileShownIsCancel) {
    auto* dialog = new QWidget;
    QTimer::singleShot(0, dialog, [dialog] { delete dialog; });
    EXPECT_EQ(ShowModal(dialog), mrCancel);
}

} // namespace
} // namespace velmora::testing
