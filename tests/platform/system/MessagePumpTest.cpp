#include "platform/system/MessagePump.h"

#include "tests/support/TestSupport.h"

#include <QAbstractEventDispatcher>
#include <QEvent>
#include <QObject>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

// Each delivered event posts the next one. Events posted while the queue is being sent
// wait for the following pass, so the count is the number of passes.
class TChain : public QObject {
public:
    int Delivered = 0;
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        ++Delivered;
        QCoreApplication::postEvent(this, new QEvent(QEvent::User));
        return true;
    }
};

TEST(MessagePumpTest, ProcessesNPlusOnePassesAndNothingForNegative) {
    test::App();
    for (const int n : {-1, 0, 1, 5}) {
        TChain chain;
        QCoreApplication::postEvent(&chain, new QEvent(QEvent::User));
        PumpMessages(n);
        EXPECT_EQ(chain.Delivered, std::max(n + 1, 0)) << "n = " << n;
        QCoreApplication::removePostedEvents(&chain);
    }
}

// A chain of three: the fourth pass finds nothing and the pumping ends there, not after a
// thousand more passes that would each ask the system for messages once more.
TEST(MessagePumpTest, APassThatFindsNothingEndsThePumping) {
    test::App();
    struct TShortChain : TChain {
        bool event(QEvent* e) override {
            const bool handled = TChain::event(e);
            if (Delivered == 3)
                QCoreApplication::removePostedEvents(this);
            return handled;
        }
    } chain;
    int passes = 0;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    const QMetaObject::Connection counting =
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [&] { ++passes; });
    QCoreApplication::postEvent(&chain, new QEvent(QEvent::User));
    PumpMessages(1000);
    QObject::disconnect(counting);
    EXPECT_EQ(chain.Delivered, 3);
    EXPECT_GE(passes, 1);
    EXPECT_LE(passes, 8);
}

} // namespace
