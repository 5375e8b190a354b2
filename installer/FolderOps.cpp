#include "installer/FolderOps.h"

#include <QFile>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace velmora {
namespace {

constexpr int KOpenFolder = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

bool IsDotName(const char* name) {
    return (name[0] == '.' && name[1] == '\0') ||
           (name[0] == '.' && name[1] == '.' && name[2] == '\0');
}

} // namespace

void TFd::Reset(int fd) {
    if (FFd >= 0)
        ::close(FFd);
    FFd = fd;
}

QByteArray NativeName(const QString& name) {
    return QFile::encodeName(name);
}

int OpenFolderPath(const QString& path) {
    return ::open(NativeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

int OpenFolderBelow(int root, const QString& relative) {
    int current = ::fcntl(root, F_DUPFD_CLOEXEC, 0);
    if (relative.isEmpty() || current < 0)
        return current;
    for (const QString& part : relative.split(u'/')) {
        const int next = ::openat(current, NativeName(part).constData(), KOpenFolder);
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

bool StatAt(int folder, const QByteArray& name, struct stat& info) {
    return ::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool IsLockedAt(int folder, const QByteArray& name) {
    struct statx info {};
    if (::statx(folder, name.constData(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &info) != 0)
        return false;
    const quint64 locked = STATX_ATTR_IMMUTABLE | STATX_ATTR_APPEND;
    return (info.stx_attributes & info.stx_attributes_mask & locked) != 0;
}

bool SyncFolder(int folder) {
    return ::fsync(folder) == 0;
}

bool RemoveTreeAt(int folder, const QByteArray& name, dev_t device) {
    struct stat info {};
    if (!StatAt(folder, name, info))
        return errno == ENOENT;
    if (!S_ISDIR(info.st_mode))
        return ::unlinkat(folder, name.constData(), 0) == 0 || errno == ENOENT;
    if (info.st_dev != device)
        return false;
    const int child = ::openat(folder, name.constData(), KOpenFolder);
    if (child < 0)
        return false;
    DIR* listing = ::fdopendir(child);
    if (listing == nullptr) {
        ::close(child);
        return false;
    }
    std::vector<QByteArray> names;
    while (const dirent* entry = ::readdir(listing))
        if (!IsDotName(entry->d_name))
            names.emplace_back(entry->d_name);
    for (const QByteArray& inner : names)
        RemoveTreeAt(::dirfd(listing), inner, device);
    ::closedir(listing);
    return ::unlinkat(folder, name.constData(), AT_REMOVEDIR) == 0 || errno == ENOENT;
}

QString ParentOf(const QString& relative) {
    const qsizetype slash = relative.lastIndexOf(u'/');
    return slash < 0 ? QString() : relative.left(slash);
}

QString LeafOf(const QString& relative) {
    return relative.mid(relative.lastIndexOf(u'/') + 1);
}

QString JoinPath(const QString& a, const QString& b) {
    if (a.isEmpty())
        return b;
    if (b.isEmpty())
        return a;
    return a + u'/' + b;
}

bool IsUserDataFolderName(const QString& name) {
    return name == u"Users" || name == u"Config";
}

bool IsUserDataPath(const QString& relativeToProduct) {
    const QStringList parts = relativeToProduct.split(u'/');
    for (qsizetype i = 0; i + 1 < parts.size(); ++i)
        if (IsUserDataFolderName(parts.at(i)))
            return true;
    return false;
}

} // namespace velmora
