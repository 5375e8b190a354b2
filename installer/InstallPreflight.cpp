#include "installer/InstallPreflight.h"

#include "installer/InstallLog.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace velmora {
namespace {

constexpr int kOpenFolder = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
constexpr int kMaxDepth = 256;

const QString kLinkForFolder = QStringLiteral("symbolic link where a folder must go");
const QString kLinkForFile = QStringLiteral("symbolic link where a file must go");
const QString kFileForFolder = QStringLiteral("file where a folder must go");
const QString kFolderForFile = QStringLiteral("folder where a file must go");
const QString kNotWritable = QStringLiteral("folder is not writable");

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

// 0, or the errno of a failed stat (lstat unless follow), taken before anything else runs.
int StatOf(const QString& path, struct stat& info, bool follow) {
    const QByteArray native = Native(path);
    const int rc = follow ? ::stat(native.constData(), &info) : ::lstat(native.constData(), &info);
    return rc == 0 ? 0 : errno;
}

QString ErrnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool IsProtectedFolderName(const QByteArray& name) {
    return name == "Users" || name == "Config";
}

// The removal passes over names that are "." or ".." once trimmed, so such entries stay.
bool RemovalSkips(const QByteArray& name) {
    const QByteArray trimmed = name.trimmed();
    return trimmed == "." || trimmed == "..";
}

// True when the removal would leave something in this folder (so the folder itself stays):
// a protected folder or a link to one, another file system, an entry it skips, or anything
// it cannot look into. Takes the descriptor.
bool RemovalKeepsSomething(int folder, dev_t device, int depth) {
    DIR* listing = ::fdopendir(folder);
    if (listing == nullptr) {
        ::close(folder);
        return true;
    }
    bool kept = depth > kMaxDepth;
    while (!kept) {
        errno = 0;
        const dirent* entry = ::readdir(listing);
        if (entry == nullptr) {
            kept = errno != 0;
            break;
        }
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        struct stat info {};
        if (RemovalSkips(name) ||
            ::fstatat(::dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
            kept = true;
            break;
        }
        if (!S_ISDIR(info.st_mode)) {
            kept = S_ISLNK(info.st_mode) && IsProtectedFolderName(name);
            continue;
        }
        if (IsProtectedFolderName(name) || info.st_dev != device) {
            kept = true;
            break;
        }
        const int child = ::openat(::dirfd(listing), entry->d_name, kOpenFolder);
        kept = child < 0 || RemovalKeepsSomething(child, device, depth + 1);
    }
    ::closedir(listing);
    return kept;
}

class TTargetCheck {
public:
    TTargetCheck(const QString& installFolder, const QString& cleanedFolder)
        : FRoot(QDir::cleanPath(installFolder)) {
        if (cleanedFolder.isEmpty())
            return;
        struct stat info {};
        const QString cleaned = QDir::cleanPath(cleanedFolder);
        if (::lstat(Native(cleaned).constData(), &info) == 0 && S_ISDIR(info.st_mode)) {
            FCleaned = cleaned + u'/';
            FCleanedDevice = info.st_dev;
        }
    }

    // The install folder itself may be reached through links: the user chose it.
    std::optional<TPreflightProblem> Root() {
        QString path = FRoot;
        for (;;) {
            struct stat info {};
            const int error = StatOf(path, info, true);
            if (error == 0) {
                if (!S_ISDIR(info.st_mode))
                    return TPreflightProblem{path, kFileForFolder};
                FRootMissing = path != FRoot;
                if (FRootMissing)
                    FNeedWrite.insert(path);
                return std::nullopt;
            }
            if (error != ENOENT)
                return TPreflightProblem{path, ErrnoText(error)};
            const qsizetype slash = path.lastIndexOf(u'/');
            if (slash < 0)
                return TPreflightProblem{path, ErrnoText(ENOENT)};
            path = slash == 0 ? QStringLiteral("/") : path.left(slash);
        }
    }

    std::optional<TPreflightProblem> Entry(const QStringList& components, bool keptWhenPresent) {
        QString parent = FRoot;
        QString relative;
        bool cleanable = false;
        for (qsizetype i = 0; i < components.size(); ++i) {
            const bool leaf = i + 1 == components.size();
            relative += (i == 0 ? QString() : QStringLiteral("/")) + components.at(i);
            const QString path = Join(relative);
            const auto known = FFolders.constFind(relative);
            if (!leaf && known != FFolders.cend()) {
                if (!known->Stays) // nothing there (or nothing once removed): created below
                    return std::nullopt;
                cleanable = known->Entered;
                parent = path;
                continue;
            }
            struct stat info {};
            if (const int error = StatOf(path, info, false); error != 0) {
                if (error != ENOENT)
                    return TPreflightProblem{path, ErrnoText(error)};
                return Missing(parent, relative, leaf);
            }
            if (leaf && keptWhenPresent)
                return std::nullopt;
            // The removal keeps protected folders and links to them, and does not enter
            // other file systems; everything else below the cleaned folder goes.
            const bool keptByName = IsProtectedFolderName(Native(components.at(i))) &&
                                    (S_ISDIR(info.st_mode) || S_ISLNK(info.st_mode));
            const bool removed = Cleanable(path, cleanable) && !keptByName &&
                                 (!S_ISDIR(info.st_mode) || info.st_dev == FCleanedDevice);
            if (leaf)
                return File(path, parent, info, removed);
            if (S_ISDIR(info.st_mode)) {
                FFolders.insert(relative, TFolder{true, removed});
                cleanable = removed;
                parent = path;
                continue;
            }
            if (!removed)
                return TPreflightProblem{path,
                                         S_ISLNK(info.st_mode) ? kLinkForFolder : kFileForFolder};
            return Missing(parent, relative, false);
        }
        return std::nullopt;
    }

    std::optional<TPreflightProblem> Writable() const {
        QStringList folders(FNeedWrite.cbegin(), FNeedWrite.cend());
        folders.sort();
        for (const QString& folder : folders) {
            const QByteArray native = Native(folder);
            if (::faccessat(AT_FDCWD, native.constData(), W_OK | X_OK, AT_EACCESS) != 0) {
                const int error = errno;
                return TPreflightProblem{
                    folder, error == EACCES || error == EROFS ? kNotWritable : ErrnoText(error)};
            }
        }
        return std::nullopt;
    }

    // The folder whose file system takes the payload: the deepest one that exists.
    QString ExistingFolder() const {
        QString path = FRoot;
        struct stat info {};
        while (StatOf(path, info, true) != 0) {
            const qsizetype slash = path.lastIndexOf(u'/');
            if (slash < 0)
                return QStringLiteral(".");
            path = slash == 0 ? QStringLiteral("/") : path.left(slash);
        }
        return path;
    }

private:
    QString Join(const QString& relative) const {
        return FRoot == QStringLiteral("/") ? FRoot + relative : FRoot + u'/' + relative;
    }

    // A path strictly below the cleaned product folder, reached through folders the removal
    // enters, goes away before anything is written.
    bool Cleanable(const QString& path, bool parentCleanable) const {
        if (FCleaned.isEmpty())
            return false;
        const QString parent = path.left(path.lastIndexOf(u'/') + 1);
        return parent == FCleaned || (parentCleanable && parent.startsWith(FCleaned));
    }

    std::optional<TPreflightProblem> Missing(const QString& parent, const QString& relative,
                                             bool leaf) {
        if (!leaf)
            FFolders.insert(relative, TFolder{false, false});
        // A missing install folder is made in its deepest existing parent, checked already.
        if (parent != FRoot || !FRootMissing)
            FNeedWrite.insert(parent);
        return std::nullopt;
    }

    std::optional<TPreflightProblem> File(const QString& path, const QString& parent,
                                          const struct stat& info, bool removed) {
        if (S_ISLNK(info.st_mode) && !removed)
            return TPreflightProblem{path, kLinkForFile};
        if (S_ISDIR(info.st_mode) &&
            !(removed && !RemovalKeepsSomething(::open(Native(path).constData(), kOpenFolder),
                                                FCleanedDevice, 0)))
            return TPreflightProblem{path, kFolderForFile};
        FNeedWrite.insert(parent);
        return std::nullopt;
    }

    QString FRoot;
    QString FCleaned;
    dev_t FCleanedDevice = 0;
    bool FRootMissing = false;
    struct TFolder {
        bool Stays = false;   // a folder is there and the removal leaves it
        bool Entered = false; // the removal cleans what it holds
    };

    QHash<QString, TFolder> FFolders; // by path relative to the install folder
    QSet<QString> FNeedWrite;
};

// Saturating, so a file system reporting absurd sizes cannot wrap the comparison.
quint64 MultiplySaturated(quint64 a, quint64 b) {
    quint64 product = 0;
    return __builtin_mul_overflow(a, b, &product) ? std::numeric_limits<quint64>::max() : product;
}

std::optional<TPreflightProblem> CheckSpace(const TPayloadImage& payload, const QString& folder) {
    struct statvfs info {};
    const QByteArray native = Native(folder);
    if (::statvfs(native.constData(), &info) != 0) {
        const int error = errno;
        return TPreflightProblem{folder, ErrnoText(error)};
    }
    // Every file takes whole blocks; a block size past 1 MiB is not believed.
    const quint64 block = std::clamp<quint64>(info.f_frsize, 1, quint64(1) << 20);
    quint64 needed = 0;
    for (const TPayloadEntry& entry : payload.Entries)
        needed += (quint64(entry.DataSize) + block - 1) / block * block; // < 2^53 in total
    const quint64 available = MultiplySaturated(info.f_bavail, info.f_frsize);
    if (needed > available)
        return TPreflightProblem{folder, QStringLiteral("not enough free space: %1 bytes needed, "
                                                        "%2 available")
                                             .arg(needed)
                                             .arg(available)};
    return std::nullopt;
}

} // namespace

std::optional<TPreflightProblem> CheckInstallTarget(const TPayloadImage& payload,
                                                    const QString& installFolder,
                                                    const QString& cleanedFolder) {
    TTargetCheck check(installFolder, cleanedFolder);
    if (auto problem = check.Root())
        return problem;
    for (const TPayloadEntry& entry : payload.Entries) {
        if (auto problem = check.Entry(entry.Components, IsProtectedEntry(entry)))
            return problem;
    }
    if (auto problem = check.Writable())
        return problem;
    return CheckSpace(payload, check.ExistingFolder());
}

void LogPreflightProblem(const TPreflightProblem& problem) {
    WriteInstallLog(u"CopyInstallFiles:安装目录检查失败\r\n"_qs + problem.Path + u": "_qs +
                    problem.Reason);
}

} // namespace velmora
