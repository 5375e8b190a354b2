#include "platform/system/SpecialFolders.h"

#include <QDir>

namespace velmora {

QString TSpecialFolders::Path(int id) const {
    QString path;
    switch (id) {
    case Desktop:
        path = FRoots.Desktop;
        break;
    case UserPrograms:
        path = FRoots.UserProgramsMenu;
        break;
    case AllUsersPrograms:
        path = FRoots.AllUsersProgramsMenu;
        break;
    case ProgramFiles:
        path = FRoots.ProgramFiles;
        break;
    default:
        return QString();
    }
    if (path.isEmpty())
        return path;
    // A special folder always exists on the system the installer was written for; a fresh
    // account or a staged root may lack one, so it is made on first use.
    path = QDir::cleanPath(path);
    // Another person's desktop is made as theirs when the first shortcut goes there.
    if (id != Desktop || !FRoots.DesktopOwner)
        QDir().mkpath(path);
    return path;
}

} // namespace velmora
