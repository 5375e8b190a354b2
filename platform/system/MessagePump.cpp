#include "platform/system/MessagePump.h"

#include <QCoreApplication>

namespace velmora {

void PumpMessages(int n) {
    if (n < 0 || QCoreApplication::instance() == nullptr)
        return;
    for (int pass = 0; pass <= n; ++pass)
        QCoreApplication::processEvents();
}

} // namespace velmora
