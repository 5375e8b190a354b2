#pragma once

// What every command-line tool of the project shares: exit codes, help detection and
// printing text in the terminal's encoding.
#include <QString>
#include <QStringList>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

namespace velmora {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

inline bool WantsHelp(const QStringList& args) {
    return args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"));
}

inline void PrintLine(std::FILE* out, const QString& text) {
    std::fprintf(out, "%s\n", text.toUtf8().constData());
}

// Prints help to standard error and answers the usage exit code.
inline int Usage(const char* help) {
    std::fputs(help, stderr);
    return kExitUsage;
}

// Prints help to standard output and answers success: what "--help" does.
inline int Help(const char* help) {
    std::fputs(help, stdout);
    return kExitOk;
}

// Runs the command named by the first argument with the rest; help and unknown commands
// are answered with mainHelp.
using TCommand = std::function<int(const QStringList& args)>;
int DispatchCommand(const QString& toolName, QStringList args, const char* mainHelp,
                    const std::vector<std::pair<QString, TCommand>>& commands);

// Install log lines are the failures worth telling the person at the terminal; the
// debugger copy is switched off so per-file lines do not tear progress bars.
void EchoLogToTerminal(const QString& toolName);

} // namespace velmora
