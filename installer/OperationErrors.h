#pragma once

#include <QString>

namespace velmora {

// The message of the error being handled; call only inside a catch block.
QString CurrentErrorMessage();

// The log line of a failed operation: its head (name, ":" and description), CR LF and the
// message of the error being handled. Call only inside a catch block.
void LogCurrentError(const QString& head);

} // namespace velmora
