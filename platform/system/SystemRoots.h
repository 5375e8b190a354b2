#pragma once

#include <QString>

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

    // The real system: machine-wide when running as root, per-user otherwise.
    static TSystemRoots ForSystem();
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
