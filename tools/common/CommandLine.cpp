#include "tools/common/CommandLine.h"

#include "platform/system/DebugOutput.h"
#include "platform/system/LogFile.h"

namespace velmora {

void EchoLogToTerminal(const QString& toolName) {
    SetDebugOutputEnabled(false);
    SetLogObserver([toolName](const QString& message, const QString&) {
        PrintLine(stderr, toolName + u": "_qs + QString(message).replace(u"\r\n"_qs, u": "_qs));
    });
}

int DispatchCommand(const QString& toolName, QStringList args, const char* mainHelp,
                    const std::vector<std::pair<QString, TCommand>>& commands) {
    if (args.isEmpty())
        return Usage(mainHelp);
    const QString command = args.takeFirst();
    if (command == u"--help"_qs || command == u"-h"_qs || command == u"help"_qs)
        return Help(mainHelp);
    for (const auto& [name, run] : commands) {
        if (name == command)
            return run(args);
    }
    PrintLine(stderr, QStringLiteral("%1: unknown command '%2'\n").arg(toolName, command));
    return Usage(mainHelp);
}

} // namespace velmora
