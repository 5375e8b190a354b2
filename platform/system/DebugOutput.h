#pragma once

#include <QString>

namespace velmora {

// The platform's debugger output: one line on standard error.
void OutputDebugString(const QString& message);

// Command-line tools that draw on the terminal switch the debugger output off so it does
// not tear their progress display; it is on by default.
void SetDebugOutputEnabled(bool enabled);

// The folder holding the running executable, without a trailing separator.
QString ExecutableFolder();

} // namespace velmora
