#include "platform/SpecialFolders.h"

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
    return path.isEmpty() ? path : QDir::cleanPath(path);
}

} // namespace velmora
