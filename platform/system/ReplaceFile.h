#pragma once

#include <QByteArray>
#include <functional>
#include <sys/types.h>

namespace velmora {

// The fixed name under which a new version of name is written in the same folder. Fixed, so
// that a file left by an interrupted writer is taken over by the next one:
// ".<name>.velmora-new", or ".velmora-new-<SHA-256 of name>" when that would pass NAME_MAX.
QByteArray ReplacementName(const QByteArray& name);
// The fixed name under which the old version of name is kept in the same folder while an
// install can still be undone: ".<name>.velmora-old", or ".velmora-old-<SHA-256>".
QByteArray BackupName(const QByteArray& name);
// Whether a file name has one of the four forms above, so that it can never be an installed
// file's own name: a payload holding it would collide with another file's temporary copy.
bool IsInstallerTemporaryName(const QByteArray& name);

// Writes all of data to fd, going on after interruptions; false with errno on failure.
bool WriteAllTo(int fd, const char* data, size_t size);

// Creates name in folderFd anew (removing whatever is there, never following a link), lets
// write fill it and gives it mode with fchmod; durable, its data is synced. False with errno
// when anything failed; the file is gone then.
bool WriteNewFileAt(int folderFd, const QByteArray& name, mode_t mode,
                    const std::function<bool(int fd)>& write, bool durable = false);

// Creates a new file under ReplacementName(name) in folderFd (never following a link there),
// lets write fill it, gives it mode with fchmod and renames it over name. Readers see the old
// file or the new one, never a part; a link or hard link at name is replaced itself, never
// written through. False with errno when anything failed; the new file is gone then. Durable,
// the file's data is synced before the rename and the folder after it.
bool ReplaceFileAt(int folderFd, const QByteArray& name, mode_t mode,
                   const std::function<bool(int fd)>& write, bool durable = false);

} // namespace velmora
