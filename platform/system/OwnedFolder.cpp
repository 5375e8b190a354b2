#include "platform/system/OwnedFolder.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {
constexpr int KOpenFolder = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
} // namespace

bool IsBelowFolder(const QString& path, const QString& folder) {
    const QString base = QDir::cleanPath(folder);
    const QString cleaned = QDir::cleanPath(path);
    if (!base.startsWith(u'/') || !cleaned.startsWith(u'/'))
        return false;
    const QString prefix = base == QStringLiteral("/") ? base : base + u'/';
    return cleaned.size() > prefix.size() && cleaned.startsWith(prefix);
}

int OpenFolderOnBehalf(const QString& anchor, const QString& folder, uid_t uid, gid_t gid,
                       bool create) {
    const QString base = QDir::cleanPath(anchor);
    const QString target = QDir::cleanPath(folder);
    if (target != base && !IsBelowFolder(target, base)) {
        errno = EINVAL;
        return -1;
    }
    int current = ::open(QFile::encodeName(base).constData(), KOpenFolder);
    if (current < 0)
        return -1;
    const QString rest = target.mid(base.size());
    for (const QString& part : rest.split(u'/', Qt::SkipEmptyParts)) {
        const QByteArray name = QFile::encodeName(part);
        int next = ::openat(current, name.constData(), KOpenFolder | O_NOFOLLOW);
        if (next < 0 && errno == ENOENT && create) {
            const bool made = ::mkdirat(current, name.constData(), 0755) == 0;
            if (!made && errno != EEXIST) {
                const int error = errno;
                ::close(current);
                errno = error;
                return -1;
            }
            next = ::openat(current, name.constData(), KOpenFolder | O_NOFOLLOW);
            // Given away through the descriptor of what was opened, never through a name
            // that could have been swapped for a link in between.
            if (made && next >= 0 && ::fchown(next, uid, gid) != 0) {
                const int error = errno;
                ::close(next);
                ::close(current);
                errno = error;
                return -1;
            }
        }
        const int error = errno;
        ::close(current);
        if (next < 0) {
            errno = error;
            return -1;
        }
        current = next;
    }
    return current;
}

} // namespace velmora
