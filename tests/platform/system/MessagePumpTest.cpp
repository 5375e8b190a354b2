#include "platform/system/MessagePump.h"

#include "tests/support/TestSupport.h"

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

} // namespace
