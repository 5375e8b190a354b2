#include "platform/system/SystemRoots.h"

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <unistd.h>

namespace velmora {
namespace {

QString EnvOr(const char* name, const QString& fallback) {
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? fallback : value;
}

QString StoreName() {
    return QStringLiteral("velmora-registry/registry.sqlite3");
}

} // namespace

QString XdgDesktopFolder(const QString& home, const QString& configHome) {
    QFile dirs(configHome + QStringLiteral("/user-dirs.dirs"));
    if (dirs.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream in(&dirs);
        const QString prefix = QStringLiteral("XDG_DESKTOP_DIR=");
        while (!in.atEnd()) {
            const QString line = in.readLine().trimmed();
            if (!line.startsWith(prefix))
                continue;
            QString value = line.mid(prefix.size());
            if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
                value = value.mid(1, value.size() - 2);
            value.replace(QStringLiteral("$HOME"), home);
            // The format allows only absolute paths and $HOME-relative ones.
            if (value.startsWith(u'/'))
                return QDir::cleanPath(value);
        }
    }
    return home + QStringLiteral("/Desktop");
}

TSystemRoots TSystemRoots::ForScope(bool machineWide, const QString& home, const QString& dataHome,
                                    const QString& desktop) {
    TSystemRoots roots;
    roots.MachineWide = machineWide;
    roots.Desktop = desktop;
    roots.UserProgramsMenu = dataHome + QStringLiteral("/applications");
    roots.AllUsersProgramsMenu = QStringLiteral("/usr/local/share/applications");
    if (machineWide) {
        roots.RegistryStoreFile = QStringLiteral("/var/lib/") + StoreName();
        roots.ProgramFiles = QStringLiteral("/opt");
    } else {
        roots.RegistryStoreFile = dataHome + u'/' + StoreName();
        roots.ProgramFiles = home + QStringLiteral("/.local/opt");
    }
    return roots;
}

TSystemRoots TSystemRoots::ForSystem() {
    const QString home = QDir::homePath();
    const QString dataHome = EnvOr("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
    const QString configHome = EnvOr("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
    return ForScope(::geteuid() == 0, home, dataHome, XdgDesktopFolder(home, configHome));
}

TSystemRoots TSystemRoots::Below(const QString& root, bool machineWide) {
    const QString base = QDir::cleanPath(root);
    TSystemRoots roots;
    roots.MachineWide = machineWide;
    roots.RegistryStoreFile = base + u'/' + StoreName();
    roots.ProgramFiles = base + QStringLiteral("/program-files");
    roots.Desktop = base + QStringLiteral("/desktop");
    roots.UserProgramsMenu = base + QStringLiteral("/menu/user");
    roots.AllUsersProgramsMenu = base + QStringLiteral("/menu/all-users");
    return roots;
}

} // namespace velmora
