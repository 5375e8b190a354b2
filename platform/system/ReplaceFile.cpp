#include "platform/system/ReplaceFile.h"

#include <QCryptographicHash>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

QByteArray ReplacementName(const QByteArray& name) {
    QByteArray replacement = '.' + name + ".velmora-new";
    // A long name plus the suffix would pass the file system's name limit.
    if (replacement.size() > NAME_MAX)
        replacement =
            ".velmora-new-" + QCryptographicHash::hash(name, QCryptographicHash::Sha256).toHex();
    return replacement;
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

bool ReplaceFileAt(int folderFd, const QByteArray& name, mode_t mode,
                   const std::function<bool(int fd)>& write) {
    const QByteArray temporary = ReplacementName(name);
    // Whatever an interrupted run (or anyone) left under that name goes first; unlinking
    // removes a link itself and never what it points to.
    if (::unlinkat(folderFd, temporary.constData(), 0) != 0 && errno != ENOENT)
        return false;
    const int fd = ::openat(folderFd, temporary.constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    // The process's umask must not decide whether an installed program can run.
    bool ok = write(fd) && ::fchmod(fd, mode) == 0;
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::renameat(folderFd, temporary.constData(), folderFd, name.constData()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlinkat(folderFd, temporary.constData(), 0);
        errno = error;
    }
    return ok;
}

} // namespace velmora
