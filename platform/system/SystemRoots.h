#pragma once

#include "platform/system/DesktopUser.h"

#include <QString>
#include <optional>

namespace velmora {

// The folders and the registry store that the platform services work on. Every service
// takes them from here, so a whole install can be staged below any folder.
struct TSystemRoots {
    bool MachineWide = false;
    QString RegistryStoreFile;
    QString ProgramFiles;
    QString Desktop;
    QString UserProgramsMenu;
    QString AllUsersProgramsMenu;
    // The person whose desktop Desktop is, when root installs on their behalf (sudo, pkexec):
    // what goes there is written as theirs. None when the desktop is the current user's.
    std::optional<TDesktopUser> DesktopOwner;
    // Whether the desktop's helper programs (launcher trust, menu cache) are run for these
    // folders: a staged desktop and menu are nobody's, so nothing is told about them.
    bool UseDesktopTools = false;
    // The folder holding the installer's single-instance name for these roots: empty for the
    // real system (TSystemWideName's own folder); a staged system has its own, since its store
    // and folders are its own and another staging does not compete for them.
    QString InstanceNameFolder;

    // The real system: machine-wide when running as root, per-user otherwise. Machine-wide,
    // the programs menu is the one of all users (root's own is seen by nobody), and the
    // desktop is that of the person root acts for, if any.
    static TSystemRoots ForSystem();
    // The real desktop of ForSystem, with the registry store, program files and the
    // machine-wide menus below root: an install for the person at the desktop that leaves
    // the system's own folders alone.
    static TSystemRoots MachineBelow(const QString& root);
    // The same roles for the given scope, with home and the XDG variables given explicitly.
    static TSystemRoots ForScope(bool machineWide, const QString& home, const QString& dataHome,
                                 const QString& desktop);
    // Everything relocated below root (created on demand by the services that write there).
    static TSystemRoots Below(const QString& root, bool machineWide = true);
};

// The user's desktop folder as the XDG user-dirs configuration names it ($HOME/Desktop when
// it names none).
QString XdgDesktopFolder(const QString& home, const QString& configHome);

} // namespace velmora
