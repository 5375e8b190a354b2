#include "platform/system/RegistrationTool.h"

#include <QProcess>

namespace velmora {

bool TRegistrationTool::Run(const QString& commandLine) {
    const QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty() || FLauncher.FindProgram(words.first()).isEmpty())
        return false;
    FLauncher.RunHidden(commandLine, KTimeoutMs);
    return true;
}

} // namespace velmora
