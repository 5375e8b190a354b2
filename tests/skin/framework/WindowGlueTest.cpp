#include "platform/Errors.h"
#include "platform/MessagePump.h"
#include "platform/ModalDisplay.h"
#include "platform/SkinApplication.h"
#include "tests/skin/framework/WindowTestSupport.h"

#include <QTimer>
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

class WindowGlueTest : public WindowTest {
protected:
    void TearDown() override {
        TSkinApplication::SetOnException({});
        WindowTest::TearDown();
    }
};

TEST_F(WindowGlueTest, ApplicationIsTheProgramsOwn) {
    EXPECT_NE(dynamic_cast<TSkinApplication*>(qApp), nullptr);
}

TEST_F(WindowGlueTest, EscapingErrorsReachTheHookAndTheLoopGoesOn) {
    QStringList messages;
    TSkinApplication::SetOnException([&](const QString& message) { messages << message; });
    TThrowingObject object;
    QEvent first(QEvent::User);
    QCoreApplication::sendEvent(&object, &first);
    QEvent second(QEvent::Type(QEvent::User + 1));
    QCoreApplication::sendEvent(&object, &second);
    EXPECT_EQ(messages, (QStringList{QStringLiteral("kaputt"), QStringLiteral("std failure")}));
}

TEST_F(WindowGlueTest, PumpMessagesDeliversWhatIsPendingOnTheRealLoop) {
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

TEST_F(WindowGlueTest, ModalDisplayReturnsTheResultGiven) {
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

TEST_F(WindowGlueTest, ClosingWithoutAResultIsCancel) {
    QWidget dialog;
    QTimer::singleShot(0, &dialog, [&] { dialog.close(); });
    EXPECT_EQ(ShowModal(&dialog), mrCancel);
}

TEST_F(WindowGlueTest, DestroyedWhileShownIsCancel) {
    auto* dialog = new QWidget;
    QTimer::singleShot(0, dialog, [dialog] { delete dialog; });
    EXPECT_EQ(ShowModal(dialog), mrCancel);
}

} // namespace
} // namespace velmora::testing
