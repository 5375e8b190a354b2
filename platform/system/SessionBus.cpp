#include "platform/system/SessionBus.h"

#include <QByteArray>
#include <QFile>
#include <sys/stat.h>

namespace velmora {

namespace {
// A path no bus listens on: below /proc, where no one can create a socket.
constexpr const char* KNoBus = "unix:path=/proc/velmora-no-session-bus";
} // namespace

QString SessionBusAddress() {
    const QByteArray set = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    if (set == KNoBus)
        return QString();
    if (!set.isEmpty())
        return QString::fromLocal8Bit(set);
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        return QString();
    const QByteArray socket = runtime + "/bus";
    struct stat info {};
    if (::stat(socket.constData(), &info) != 0 || !S_ISSOCK(info.st_mode))
        return QString();
    return QStringLiteral("unix:path=") + QFile::decodeName(socket);
}

bool PreventSessionBusAutolaunch() {
    if (!SessionBusAddress().isEmpty() || qgetenv("DBUS_SESSION_BUS_ADDRESS") == KNoBus)
        return false;
    qputenv("DBUS_SESSION_BUS_ADDRESS", KNoBus);
    // The address is the installer's own: the programs it starts (the product at the end)
    // keep their right to find or start a bus of their own.
    QByteArray own = qgetenv("VELMORA_PRIVATE_ENV");
    if (!own.split(':').contains("DBUS_SESSION_BUS_ADDRESS"))
        qputenv("VELMORA_PRIVATE_ENV", own.isEmpty() ? QByteArray("DBUS_SESSION_BUS_ADDRESS")
                                                     : own + ":DBUS_SESSION_BUS_ADDRESS");
    return true;
}

} // namespace velmora
