#include "tools/common/RootOption.h"

#include "platform/system/LogFile.h"
#include "platform/system/SystemRoots.h"

#include <QDir>

namespace velmora {

std::optional<TSystemRoots> TakeRootOption(QStringList& args) {
    const qsizetype staged = args.indexOf(QStringLiteral("--root"));
    const qsizetype machine = args.indexOf(QStringLiteral("--machine-root"));
    if (staged < 0 && machine < 0)
        return TSystemRoots::ForSystem();
    // One staging at a time: the two would disagree about where the desktop is.
    if (staged >= 0 && machine >= 0)
        return std::nullopt;
    const qsizetype at = staged >= 0 ? staged : machine;
    if (at + 1 >= args.size())
        return std::nullopt;
    const QString root = QDir(args.at(at + 1)).absolutePath();
    args.remove(at, 2);
    const QString logs = root + QStringLiteral("/log");
    QDir().mkpath(logs);
    SetLogFolders(logs, logs);
    return staged >= 0 ? TSystemRoots::Below(root) : TSystemRoots::MachineBelow(root);
}

} // namespace velmora
