#pragma once

#include <QString>
#include <functional>

namespace velmora {

// Appends "YYYY-MM-DD HH:MM:SS  message\r\n" (UTF-8) to fileName in the log folder, then
// sends the bare message to the debug output. An empty fileName skips the file.
//
// The log folder is the executable's own. When a file cannot be written there (a read-only
// medium, no rights), the entry goes to the fallback folder instead, and one warning on
// standard error says where; when that fails too, the debug output still carries the
// message. Logging never throws and never stops the caller.
void WriteLogFile(const QString& message, const QString& fileName);

// Where log files go. Empty arguments restore the defaults (the executable's folder, and
// $XDG_STATE_HOME/Velmora or ~/.local/state/Velmora).
void SetLogFolders(const QString& primary, const QString& fallback);

// Called with every message after it is logged (command-line tools echo errors with it);
// an empty function removes the observer.
void SetLogObserver(std::function<void(const QString& message, const QString& fileName)> observer);

// The per-user folder that takes entries the executable's folder cannot
// ($XDG_STATE_HOME/Velmora, or ~/.local/state/Velmora).
QString FallbackLogFolder();

// The file that the last entry for fileName went to, or empty when none could be written.
QString LastLogFilePath(const QString& fileName);

} // namespace velmora
