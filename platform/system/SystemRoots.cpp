#include "platform/system/SystemRoots.h"

#include "platform/system/DebugOutput.h"
#include "platform/system/UserDirs.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
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
    // The user's own file, read with the user's own rights: its links are theirs to choose.
    QFile dirs(configHome + QStringLiteral("/user-dirs.dirs"));
    if (dirs.open(QIODevice::ReadOnly)) {
        const TUserDirsDesktop named = DesktopFromUserDirs(dirs.read(KUserDirsMaxSize), home);
        if (!named.Error.isEmpty())
            OutputDebugString(QStringLiteral("user-dirs.dirs: XDG_DESKTOP_DIR refused: ") +
                              named.Error);
        if (!named.Folder.isEmpty())
            return named.Folder;
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
    roots.UseDesktopTools = true;
    if (machineWide) {
        roots.UserProgramsMenu = roots.AllUsersProgramsMenu;
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
    const bool machineWide = ::geteuid() == 0;
    TSystemRoots roots = ForScope(machineWide, home, dataHome, XdgDesktopFolder(home, configHome));
    const std::optional<uid_t> uid =
        DesktopUserId(::geteuid(), QProcessEnvironment::systemEnvironment());
    if (std::optional<TDesktopUser> user = uid ? LookUpDesktopUser(*uid) : std::nullopt) {
        QString error;
        roots.Desktop = DesktopFolderOf(*user, error);
        if (!error.isEmpty())
            OutputDebugString(
                QStringLiteral("%1: XDG_DESKTOP_DIR refused: %2")
                    .arg(user->Home + QStringLiteral("/.config/user-dirs.dirs"), error));
        roots.DesktopOwner = std::move(user);
    }
    return roots;
}

TSystemRoots TSystemRoots::MachineBelow(const QString& root) {
    const TSystemRoots staged = Below(root, true);
    TSystemRoots roots = ForSystem();
    roots.MachineWide = true;
    roots.RegistryStoreFile = staged.RegistryStoreFile;
    roots.ProgramFiles = staged.ProgramFiles;
    roots.AllUsersProgramsMenu = staged.AllUsersProgramsMenu;
    roots.UserProgramsMenu = staged.AllUsersProgramsMenu;
    roots.InstanceNameFolder = staged.InstanceNameFolder;
    return roots;
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
    roots.InstanceNameFolder = base + QStringLiteral("/run");
    return roots;
}

} // namespace velmora
