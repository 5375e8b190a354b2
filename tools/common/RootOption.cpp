#include "tools/common/RootOption.h"

#include "platform/system/LogFile.h"
#include "platform/system/SystemRoots.h"

#include <QDir>

namespace velmora {

std::optional<TSystemRoots> TakeRootOption(QStringList& args) {
    const qsizetype at = args.indexOf(QStringLiteral("--root"));
    if (at < 0)
        return TSystemRoots::ForSystem();
    if (at + 1 >= args.size())
        return std::nullopt;
    const QString root = QDir(args.at(at + 1)).absolutePath();
    args.remove(at, 2);
    const QString logs = root + QStringLiteral("/log");
    QDir().mkpath(logs);
    SetLogFolders(logs, logs);
    return TSystemRoots::Below(root);
}

} // namespace velmora
