#pragma once

#include <QString>

namespace velmora {

// The platform's debugger output: one line on standard error.
void OutputDebugString(const QString& message);

// The folder holding the running executable, without a trailing separator.
QString ExecutableFolder();

} // namespace velmora
