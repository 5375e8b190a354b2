#include "installer/ProductFiles.h"

#include "installer/FolderOps.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace velmora {
namespace {

constexpr int KOpenFolder = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// The old cleaning compared names trimmed only for the "." and ".." test.
bool IsSkippedName(const QByteArray& name) {
    const QByteArray trimmed = name.trimmed();
    return trimmed == "." || trimmed == "..";
}

std::vector<QByteArray> NamesIn(DIR* listing) {
    std::vector<QByteArray> names;
    while (const dirent* entry = ::readdir(listing)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.push_back(name);
    }
    return names;
}

// The product folder opened without following a link at it, below a location that is not a
// link either: a recorded location that is a link is left alone. -1 (errno ENOENT when
// there is none).
int OpenProductFolder(const QString& productFolder) {
    const QString product = QDir::cleanPath(productFolder);
    const QString location = ParentOf(product).isEmpty() ? QStringLiteral("/") : ParentOf(product);
    struct stat info {};
    if (::lstat(NativeName(location).constData(), &info) != 0)
        return -1;
    if (S_ISLNK(info.st_mode)) {
        errno = ELOOP;
        return -1;
    }
    const TFd parent(OpenFolderPath(location));
    if (!parent.Valid())
        return -1;
    return ::openat(parent.Get(), NativeName(LeafOf(product)).constData(), KOpenFolder);
}

class TLegacySweep {
public:
    TLegacySweep(dev_t device, const QSet<QString>& keep,
                 const std::function<void(const TRemovableEntry&)>& visit)
        : FDevice(device), FKeep(keep), FVisit(visit) {}

    // Takes the descriptor.
    void Sweep(int folder, const QString& relative) {
        DIR* listing = ::fdopendir(folder);
        if (listing == nullptr) {
            ::close(folder);
            return;
        }
        const int fd = ::dirfd(listing);
        for (const QByteArray& name : NamesIn(listing)) {
            if (IsSkippedName(name))
                continue;
            struct stat info {};
            if (!StatAt(fd, name, info))
                continue;
            const QString decoded = QFile::decodeName(name);
            const QString child = JoinPath(relative, decoded);
            // A link named like a protected folder is the user's way to their data elsewhere.
            if (IsUserDataFolderName(decoded) && S_ISLNK(info.st_mode))
                continue;
            if (!S_ISDIR(info.st_mode)) {
                if (!FKeep.contains(child))
                    FVisit({fd, name, child, false});
                continue;
            }
            if (IsUserDataFolderName(decoded) || info.st_dev != FDevice)
                continue;
            const int inner = ::openat(fd, name.constData(), KOpenFolder);
            if (inner < 0)
                continue;
            Sweep(inner, child);
            FVisit({fd, name, child, true});
        }
        ::closedir(listing);
    }

private:
    dev_t FDevice;
    const QSet<QString>& FKeep;
    const std::function<void(const TRemovableEntry&)>& FVisit;
};

void VisitListed(int root, const TInstallManifest& manifest, const QSet<QString>& keep,
                 const std::function<void(const TRemovableEntry&)>& visit) {
    for (const QString& file : manifest.Files) {
        if (keep.contains(file) || IsUserDataPath(file))
            continue;
        const TFd folder(OpenFolderBelow(root, ParentOf(file)));
        struct stat info {};
        const QByteArray name = NativeName(LeafOf(file));
        if (folder.Valid() && StatAt(folder.Get(), name, info) && !S_ISDIR(info.st_mode))
            visit({folder.Get(), name, file, false});
    }
    QStringList folders = manifest.Folders;
    // Deepest first, so a folder is looked at after everything that was in it.
    std::sort(folders.begin(), folders.end(), [](const QString& a, const QString& b) {
        const qsizetype da = a.count(u'/'), db = b.count(u'/');
        return da != db ? da > db : a > b;
    });
    for (const QString& relative : std::as_const(folders)) {
        if (IsUserDataPath(relative) || IsUserDataFolderName(LeafOf(relative)))
            continue;
        const TFd folder(OpenFolderBelow(root, ParentOf(relative)));
        struct stat info {};
        const QByteArray name = NativeName(LeafOf(relative));
        if (folder.Valid() && StatAt(folder.Get(), name, info) && S_ISDIR(info.st_mode))
            visit({folder.Get(), name, relative, true});
    }
}

void CollectFiles(int folder, const QString& relative, qsizetype limit, QStringList& into) {
    DIR* listing = ::fdopendir(folder);
    if (listing == nullptr) {
        ::close(folder);
        return;
    }
    const int fd = ::dirfd(listing);
    for (const QByteArray& name : NamesIn(listing)) {
        if (into.size() >= limit)
            break;
        struct stat info {};
        if (!StatAt(fd, name, info))
            continue;
        const QString decoded = QFile::decodeName(name);
        const QString child = JoinPath(relative, decoded);
        if (!S_ISDIR(info.st_mode)) {
            if (!IsUserDataPath(child) && !(IsUserDataFolderName(decoded) && S_ISLNK(info.st_mode)))
                into << child;
            continue;
        }
        if (IsUserDataFolderName(decoded))
            continue;
        const int inner = ::openat(fd, name.constData(), KOpenFolder);
        if (inner >= 0)
            CollectFiles(inner, child, limit, into);
    }
    ::closedir(listing);
}

QStringList FilesReachedBelow(const QString& folder, qsizetype limit) {
    QStringList files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext() && files.size() < limit) {
        const QString path = it.next();
        const QString relative = QDir(folder).relativeFilePath(path);
        const QFileInfo info = it.fileInfo();
        if ((info.isSymLink() || !info.isDir()) && !IsUserDataPath(relative) &&
            !IsUserDataFolderName(relative.section(u'/', 0, 0)))
            files << relative;
    }
    return files;
}

} // namespace

bool VisitRemovable(const QString& productFolder, TOldFiles mode, const TInstallManifest& manifest,
                    const QSet<QString>& keep,
                    const std::function<void(const TRemovableEntry&)>& visit) {
    if (mode == TOldFiles::None || productFolder.isEmpty())
        return true;
    const int root = OpenProductFolder(productFolder);
    if (root < 0)
        return errno == ENOENT;
    struct stat info {};
    if (::fstat(root, &info) != 0) {
        ::close(root);
        return false;
    }
    if (mode == TOldFiles::Manifest) {
        const TFd owned(root);
        VisitListed(root, manifest, keep, visit);
    } else {
        TLegacySweep(info.st_dev, keep, visit).Sweep(root, QString());
    }
    return true;
}

TProductRemoval RemoveProductFiles(const QString& productFolder, TOldFiles mode,
                                   const TInstallManifest& manifest, const QSet<QString>& keep) {
    TProductRemoval result;
    if (mode == TOldFiles::None)
        return result;
    QSet<QString> touched;
    const bool cleaned = VisitRemovable(productFolder, mode, manifest, keep,
                                        [&touched](const TRemovableEntry& entry) {
                                            if (::unlinkat(entry.Folder, entry.Name.constData(),
                                                           entry.IsFolder ? AT_REMOVEDIR : 0) == 0)
                                                touched.insert(ParentOf(entry.Relative));
                                        });
    // Each folder synced once, so what was deleted stays deleted after a power cut.
    const TFd root(OpenProductFolder(productFolder));
    for (const QString& folder : std::as_const(touched)) {
        const TFd fd(root.Valid() ? OpenFolderBelow(root.Get(), folder) : -1);
        if (fd.Valid())
            ::fsync(fd.Get());
    }
    // A product folder that could not be entered (below a location that is a link) keeps
    // everything; what is there is listed the way a person reaching it would see it.
    const QStringList remaining =
        cleaned ? FilesBelow(productFolder, 100000) : FilesReachedBelow(productFolder, 100000);
    const QSet<QString> listed(manifest.Files.cbegin(), manifest.Files.cend());
    for (const QString& file : remaining) {
        if (keep.contains(file))
            continue;
        if (mode == TOldFiles::Legacy || listed.contains(file))
            result.Left << file;
        else
            result.Kept << file;
    }
    return result;
}

void RemoveCreatedLevels(const QString& productFolder, TOldFiles mode, int createdLevels) {
    QString folder = QDir::cleanPath(productFolder);
    const int levels = mode == TOldFiles::Legacy     ? 2
                       : mode == TOldFiles::Manifest ? createdLevels
                                                     : 0;
    for (int i = 0; i < levels && folder != QStringLiteral("/") && !folder.isEmpty(); ++i) {
        struct stat info {};
        // Never through a link: a location that is one belongs to whoever made it.
        if (::lstat(NativeName(folder).constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
            ::rmdir(NativeName(folder).constData()) != 0)
            break;
        folder = ParentOf(folder).isEmpty() ? QStringLiteral("/") : ParentOf(folder);
    }
}

QStringList FilesBelow(const QString& productFolder, qsizetype limit) {
    QStringList files;
    const int root = OpenProductFolder(productFolder);
    if (root >= 0)
        CollectFiles(root, QString(), limit, files);
    return files;
}

} // namespace velmora
