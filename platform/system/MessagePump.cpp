#include "platform/system/MessagePump.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>

namespace velmora {

void PumpMessages(int n) {
    if (n < 0 || QCoreApplication::instance() == nullptr)
        return;
    QAbstractEventDispatcher* dispatcher = QThread::currentThread()->eventDispatcher();
    if (dispatcher == nullptr)
        return;
    // A pass that found nothing to deliver ends the pumping: the passes after it would only
    // ask the system again and again whether something came, a thousand times between two
    // install steps (50 ms of an upgrade here), while what each pass delivers may post more.
    for (int pass = 0; pass <= n; ++pass)
        if (!dispatcher->processEvents(QEventLoop::AllEvents))
            return;
}

} // namespace velmora
