#include "platform/system/SystemWideName.h"

#include <QFile>
#include <QUrl>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

struct TDefaultFolder {
    std::mutex Lock;
    QString Folder;
};

TDefaultFolder& Default() {
    static TDefaultFolder folder;
    return folder;
}

// Opens the folder without following a final link and accepts it only when it is this
// user's and nobody else may create files in it: then no other user can take a name there.
int OpenPrivateFolder(const QString& folder) {
    const QByteArray native = QFile::encodeName(folder);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return -1;
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_uid != ::geteuid() || (info.st_mode & 022) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Names become file names: anything but letters, digits, '.', '-' and '_' is %-escaped.
QByteArray LockFileName(const QString& name) {
    return QUrl::toPercentEncoding(name) + ".lock";
}

} // namespace

TSystemWideName::TSystemWideName(QString name, QString folder)
    : FName(std::move(name)), FFolder(std::move(folder)) {}

TSystemWideName::~TSystemWideName() {
    if (FLock >= 0)
        ::close(FLock);
}

QString TSystemWideName::FolderFor(bool root, const QString& runtimeFolder, uint userId) {
    if (root)
        return QStringLiteral("/run/velmora");
    if (runtimeFolder.startsWith(u'/'))
        return runtimeFolder;
    return QStringLiteral("/tmp/velmora-%1").arg(userId);
}

QString TSystemWideName::DefaultFolder() {
    {
        TDefaultFolder& d = Default();
        std::lock_guard guard(d.Lock);
        if (!d.Folder.isEmpty())
            return d.Folder;
    }
    return FolderFor(::geteuid() == 0, qEnvironmentVariable("XDG_RUNTIME_DIR"), ::geteuid());
}

void TSystemWideName::SetDefaultFolder(const QString& folder) {
    TDefaultFolder& d = Default();
    std::lock_guard guard(d.Lock);
    d.Folder = folder;
}

TSystemWideName::TResult TSystemWideName::Acquire() {
    if (FLock >= 0)
        return TResult::Acquired;
    const QByteArray fileName = LockFileName(FName);
    if (FName.isEmpty() || fileName.size() > 255)
        return TResult::Failed;
    const int folder = OpenPrivateFolder(FFolder.isEmpty() ? DefaultFolder() : FFolder);
    if (folder < 0)
        return TResult::Failed;
    const int fd = ::openat(folder, fileName.constData(),
                            O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    ::close(folder);
    if (fd < 0)
        return TResult::Failed;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        ::close(fd);
        return TResult::Failed;
    }
    // Locks belong to the open file, so a second open in this same process is refused too.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK ? TResult::AlreadyHeld : TResult::Failed;
    }
    FLock = fd;
    return TResult::Acquired;
}

void TSystemWideName::KeepForProcessLifetime() {
    // The descriptor is deliberately never closed; the kernel releases the lock at exit.
    FLock = -1;
}

} // namespace velmora
