// Feeds arbitrary bytes to the user-dirs.dirs parser, as a person may write their own file
// for root to read. Beyond "no crash, no overread": a folder it accepts is absolute, already
// clean, and free of control characters and "."/".." components.
#include "platform/system/UserDirs.h"

#include <QDir>
#include <cstdint>
#include <cstdlib>

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString home = QStringLiteral("/home/person");
    const TUserDirsDesktop result = DesktopFromUserDirs(text, home);
    if (result.Folder.isEmpty())
        return 0;
    const QString& folder = result.Folder;
    if (!folder.startsWith(u'/') || QDir::cleanPath(folder) != folder)
        std::abort();
    for (const QString& part : folder.split(u'/', Qt::SkipEmptyParts))
        if (part == QStringLiteral(".") || part == QStringLiteral(".."))
            std::abort();
    for (const QChar c : folder)
        if (c.category() == QChar::Other_Control)
            std::abort();
    return 0;
}
