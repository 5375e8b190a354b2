#include "platform/system/ReplaceFile.h"

#include <QCryptographicHash>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

QByteArray SideName(const QByteArray& name, const QByteArray& kind) {
    QByteArray side = '.' + name + ".velmora-" + kind;
    // A long name plus the suffix would pass the file system's name limit.
    if (side.size() > NAME_MAX)
        side = ".velmora-" + kind + '-' +
               QCryptographicHash::hash(name, QCryptographicHash::Sha256).toHex();
    return side;
}

bool IsHex(const QByteArray& text) {
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

} // namespace

QByteArray ReplacementName(const QByteArray& name) {
    return SideName(name, "new");
}

QByteArray BackupName(const QByteArray& name) {
    return SideName(name, "old");
}

bool IsInstallerTemporaryName(const QByteArray& name) {
    for (const char* kind : {"new", "old"}) {
        const QByteArray suffix = ".velmora-" + QByteArray(kind);
        if (name.size() > suffix.size() + 1 && name.startsWith('.') && name.endsWith(suffix))
            return true;
        const QByteArray hashed = ".velmora-" + QByteArray(kind) + "-";
        if (name.size() == hashed.size() + 64 && name.startsWith(hashed) &&
            IsHex(name.mid(hashed.size())))
            return true;
    }
    return false;
}

bool WriteAllTo(int fd, const char* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0) {
            errno = EIO;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool WriteNewFileAt(int folderFd, const QByteArray& name, mode_t mode,
                    const std::function<bool(int fd)>& write, bool durable) {
    // Whatever an interrupted run (or anyone) left under that name goes first; unlinking
    // removes a link itself and never what it points to.
    if (::unlinkat(folderFd, name.constData(), 0) != 0 && errno != ENOENT)
        return false;
    const int fd = ::openat(folderFd, name.constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    // The process's umask must not decide whether an installed program can run. Durable, the
    // data is on the disk before a rename publishes it, so a power cut leaves the old file
    // or the whole new one, never an empty one under the real name.
    bool ok = write(fd) && ::fchmod(fd, mode) == 0 && (!durable || ::fsync(fd) == 0);
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlinkat(folderFd, name.constData(), 0);
        errno = error;
    }
    return ok;
}

bool ReplaceFileAt(int folderFd, const QByteArray& name, mode_t mode,
                   const std::function<bool(int fd)>& write, bool durable) {
    const QByteArray temporary = ReplacementName(name);
    if (!WriteNewFileAt(folderFd, temporary, mode, write, durable))
        return false;
    if (::renameat(folderFd, temporary.constData(), folderFd, name.constData()) != 0) {
        const int error = errno;
        ::unlinkat(folderFd, temporary.constData(), 0);
        errno = error;
        return false;
    }
    if (durable)
        ::fsync(folderFd);
    return true;
}

} // namespace velmora
