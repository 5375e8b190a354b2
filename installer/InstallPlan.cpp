#include "installer/InstallPlan.h"

#include "installer/FolderOps.h"
#include "installer/InstallResources.h"
#include "installer/ProductFiles.h"
#include "platform/system/ReplaceFile.h"

#include <QDir>
#include <QHash>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace velmora {
namespace {

const QString KLinkForFolder = QStringLiteral("symbolic link where a folder must go");
const QString KLinkForFile = QStringLiteral("symbolic link where a file must go");
const QString KFileForFolder = QStringLiteral("file where a folder must go");
const QString KFolderForFile = QStringLiteral("folder where a file must go");
const QString KNotWritable = QStringLiteral("folder is not writable");
const QString KLocked = QStringLiteral("immutable or append-only, so it cannot be replaced");
const QString KOutside = QStringLiteral("entry lies outside the product folder");
const QString KReserved = QStringLiteral("entry name is reserved for the installer's temporary "
                                         "files");
const QString KTemporaryTaken =
    QStringLiteral("the installer's temporary name is taken by a folder");
const QString KInsideOld = QStringLiteral("the install folder lies inside the installed product");
const QString KAroundOld =
    QStringLiteral("the installed product lies inside the new product folder");

QString ErrnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool IsLink(const struct stat& info) {
    return S_ISLNK(info.st_mode);
}

class TPlanner {
public:
    TPlanner(const std::vector<TPayloadEntry>& entries, const QString& productName,
             const TPreviousFiles& previous, TInstallPlan& plan)
        : FEntries(entries), FProductName(productName), FPrevious(previous), FPlan(plan) {}

    std::optional<TPreflightProblem> Run(const QString& installFolder, const QString& storeFolder) {
        const QString clean = QDir::cleanPath(installFolder);
        FPlan.InstallFolder = clean == QStringLiteral("/") ? clean : clean + u'/';
        FPlan.ProductFolder = FPlan.InstallFolder + FProductName + u'/';
        FPlan.Previous = FPrevious;
        FOurs = FPrevious.Mode != TOldFiles::None && FPrevious.ProductFolder == FPlan.ProductFolder;
        if (auto problem = Nesting())
            return problem;
        if (auto problem = InstallFolder())
            return problem;
        for (size_t i = 0; i < FEntries.size(); ++i)
            if (auto problem = Entry(i))
                return problem;
        if (auto problem = Writable())
            return problem;
        if (auto problem = OldEntries())
            return problem;
        BuildManifest();
        FResources.AddJournal(storeFolder, JournalBytes());
        FResources.NeedDepth(FDepth, QDir::cleanPath(FPlan.InstallFolder));
        return FResources.Check();
    }

private:
    enum class TKind { Existing, Staged };
    struct TFolder {
        TKind Kind = TKind::Existing;
        QString Physical; // relative to the install folder, as it is while staging
        QString Measured; // the existing folder whose file system takes what goes below it
    };

    QString Full(const QString& relative) const { return FPlan.InstallFolder + relative; }
    QString InProduct(const QString& relative) const {
        return relative.mid(FProductName.size() + 1);
    }
    bool Ours(const QString& relative) const {
        return FOurs &&
               (FPrevious.Mode == TOldFiles::Legacy || FOldFiles.contains(InProduct(relative)));
    }

    std::optional<TPreflightProblem> Nesting() const {
        const QString& old = FPrevious.ProductFolder;
        const QString& now = FPlan.ProductFolder;
        if (old.isEmpty() || old == now)
            return std::nullopt;
        if (now.startsWith(old))
            return TPreflightProblem{now.chopped(1), KInsideOld};
        if (old.startsWith(now))
            return TPreflightProblem{old.chopped(1), KAroundOld};
        return std::nullopt;
    }

    // The install folder may be reached through links: the user chose it.
    std::optional<TPreflightProblem> InstallFolder() {
        QString path = QDir::cleanPath(FPlan.InstallFolder);
        QStringList missing;
        for (;;) {
            struct stat info {};
            if (::stat(NativeName(path).constData(), &info) == 0) {
                if (!S_ISDIR(info.st_mode))
                    return TPreflightProblem{path, KFileForFolder};
                if (!missing.isEmpty())
                    FNeedWrite.insert(path);
                FRootMeasured = path;
                break;
            }
            if (errno != ENOENT)
                return TPreflightProblem{path, ErrnoText(errno)};
            missing.prepend(path);
            const QString parent = ParentOf(path);
            if (parent.isEmpty())
                return TPreflightProblem{path, ErrnoText(ENOENT)};
            path = parent;
        }
        FPlan.FoldersToMake = missing;
        for (const QString& folder : std::as_const(missing)) {
            if (auto problem = FResources.AddFolder(FRootMeasured, folder))
                return problem;
        }
        // A missing install folder is made first (and journaled), so the product folder is
        // still published by a rename into it.
        FFolders.insert(QString(), {TKind::Existing, QString(), FRootMeasured});
        return std::nullopt;
    }

    std::optional<TPreflightProblem> Entry(size_t index) {
        const TPayloadEntry& entry = FEntries[index];
        const QStringList& parts = entry.Components;
        const QString relative = parts.join(u'/');
        if (parts.size() < 2 || parts.first() != FProductName)
            return TPreflightProblem{Full(relative), KOutside};
        for (const QString& part : parts)
            if (IsInstallerTemporaryName(NativeName(part)))
                return TPreflightProblem{Full(relative), KReserved};
        FDepth = std::max(FDepth, int(parts.size()));

        QString parent;
        for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
            const QString folder = JoinPath(parent, parts.at(i));
            if (!FFolders.contains(folder))
                if (auto problem = Folder(parent, folder))
                    return problem;
            parent = folder;
        }
        return File(index, parent, relative);
    }

    // A folder an entry lies in, seen for the first time.
    std::optional<TPreflightProblem> Folder(const QString& parent, const QString& folder) {
        const TFolder above = FFolders.value(parent);
        const QString name = LeafOf(folder);
        if (above.Kind == TKind::Staged) {
            return Staged(folder, JoinPath(above.Physical, name), above.Measured, false);
        }
        struct stat info {};
        if (::lstat(NativeName(Full(folder)).constData(), &info) != 0) {
            if (errno != ENOENT)
                return TPreflightProblem{Full(folder), ErrnoText(errno)};
            return NewOp(parent, folder, true, false, above.Measured);
        }
        if (S_ISDIR(info.st_mode)) {
            FFolders.insert(folder, {TKind::Existing, folder, Full(folder)});
            if (Ours(folder) || (FOurs && FOldFolders.contains(InProduct(folder))))
                FOwnedExisting << InProduct(folder);
            return std::nullopt;
        }
        // User data is never replaced: not inside Users or Config, not a link named so.
        if (IsUserDataPath(InProduct(folder)) || (IsUserDataFolderName(name) && IsLink(info)))
            return TPreflightProblem{Full(folder), IsLink(info) ? KLinkForFolder : KFileForFolder};
        if (auto problem = Replaceable(parent, folder))
            return problem;
        return NewOp(parent, folder, true, true, above.Measured);
    }

    std::optional<TPreflightProblem> File(size_t index, const QString& parent,
                                          const QString& relative) {
        const TFolder above = FFolders.value(parent);
        const QString name = LeafOf(relative);
        const quint32 size = FEntries[index].DataSize;
        if (above.Kind == TKind::Staged) {
            const QString physical = JoinPath(above.Physical, name);
            FPlan.Writes.push_back({index, physical, -1});
            FWritten << InProduct(relative);
            return FResources.AddFile(above.Measured, Full(physical), size);
        }
        struct stat info {};
        const bool exists = ::lstat(NativeName(Full(relative)).constData(), &info) == 0;
        if (!exists && errno != ENOENT)
            return TPreflightProblem{Full(relative), ErrnoText(errno)};
        if (exists && IsUserDataPath(InProduct(relative))) {
            // The user's settings and data outlive reinstalls, whatever is there.
            FPlan.KeptUserFiles << InProduct(relative);
            return std::nullopt;
        }
        if (exists && S_ISDIR(info.st_mode) && !FolderRemovable(relative))
            return TPreflightProblem{Full(relative), KFolderForFile};
        if (exists) {
            if (auto problem = Replaceable(parent, relative))
                return problem;
        }
        const QString physical =
            JoinPath(parent, QFile::decodeName(ReplacementName(NativeName(name))));
        FWritten << InProduct(relative);
        if (auto problem = FResources.AddFile(above.Measured, Full(physical), size))
            return problem;
        if (auto problem = NewOp(parent, relative, false, exists, above.Measured))
            return problem;
        FPlan.Writes.push_back({index, physical, int(FPlan.Ops.size()) - 1});
        return std::nullopt;
    }

    // A folder made while staging, inside a staged folder (or as one).
    std::optional<TPreflightProblem> Staged(const QString& folder, const QString& physical,
                                            const QString& measured, bool root) {
        FFolders.insert(folder, {TKind::Staged, physical, measured});
        if (!root)
            FPlan.StagedFolders << physical;
        FNewFolders << InProduct(folder);
        return FResources.AddFolder(measured, Full(physical));
    }

    // A rename that publishes a file or a whole new folder at relative.
    std::optional<TPreflightProblem> NewOp(const QString& parent, const QString& relative,
                                           bool subtree, bool hadOld, const QString& measured) {
        const QByteArray name = NativeName(LeafOf(relative));
        for (const QByteArray& side : {ReplacementName(name), BackupName(name)}) {
            const QString path = Full(JoinPath(parent, QFile::decodeName(side)));
            struct stat info {};
            if (::lstat(NativeName(path).constData(), &info) != 0)
                continue;
            // A file left by an interrupted run of an older installer is taken over; a folder
            // under the name is someone's.
            if (S_ISDIR(info.st_mode))
                return TPreflightProblem{path, KTemporaryTaken};
        }
        FNeedWrite.insert(Full(parent));
        if (hadOld && !Ours(relative))
            FPlan.Replaced << InProduct(relative);
        FPlan.Ops.push_back({relative, subtree, hadOld, 0, 0});
        // The final name must fit, and the backup's name stays in the folder until the commit.
        if (auto problem = FResources.AddName(measured, Full(relative)))
            return problem;
        FResources.AddEntry(measured, Full(parent), BackupName(name).size());
        if (!subtree)
            return std::nullopt;
        const QString physical = JoinPath(parent, QFile::decodeName(ReplacementName(name)));
        return Staged(relative, physical, measured, true);
    }

    // Something at relative that the install renames away: it must not be locked.
    std::optional<TPreflightProblem> Replaceable(const QString& parent, const QString& relative) {
        const TFd folder(OpenFolderPath(Full(parent)));
        if (folder.Valid() && IsLockedAt(folder.Get(), NativeName(LeafOf(relative))))
            return TPreflightProblem{Full(relative), KLocked};
        return std::nullopt;
    }

    // A folder where a file goes can go only when everything in it is the installer's (no
    // user data, nothing the old cleaning spares, for a manifest nothing it does not list) and
    // can be deleted once the install is committed.
    bool FolderRemovable(const QString& relative) {
        if (!FOurs)
            return false;
        bool removable = true;
        const QString below = InProduct(relative) + u'/';
        Walk(Full(relative), [&](const QString& inside, const struct stat& info, bool foreignFs) {
            const QString leaf = LeafOf(inside);
            const bool isDir = S_ISDIR(info.st_mode);
            if ((IsUserDataFolderName(leaf) && (isDir || IsLink(info))) || foreignFs ||
                leaf.trimmed() == u"." || leaf.trimmed() == u"..")
                removable = false;
            if (!isDir && FPrevious.Mode == TOldFiles::Manifest &&
                !FOldFiles.contains(below + inside))
                removable = false;
        });
        if (!removable)
            return false;
        VisitRemovable(
            Full(relative), TOldFiles::Legacy, {}, {},
            [&](const TRemovableEntry& entry) { removable = removable && Deletable(entry); });
        return removable;
    }

    // Every entry below folder (not following links), with whether it is a folder of another
    // file system (which is not entered).
    void Walk(const QString& folder,
              const std::function<void(const QString&, const struct stat&, bool)>& each) {
        std::function<void(int, const QString&, dev_t)> walk = [&](int fd, const QString& rel,
                                                                   dev_t device) {
            DIR* listing = ::fdopendir(fd);
            if (listing == nullptr) {
                ::close(fd);
                return;
            }
            while (const dirent* entry = ::readdir(listing)) {
                const QByteArray name(entry->d_name);
                if (name == "." || name == "..")
                    continue;
                struct stat info {};
                if (!StatAt(::dirfd(listing), name, info))
                    continue;
                const QString child = JoinPath(rel, QFile::decodeName(name));
                const bool isDir = S_ISDIR(info.st_mode);
                FDepth = std::max(FDepth, int(child.count(u'/')) + 2);
                each(child, info, isDir && info.st_dev != device);
                if (isDir && info.st_dev == device) {
                    const int inner = ::openat(::dirfd(listing), name.constData(),
                                               O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                    if (inner >= 0)
                        walk(inner, child, device);
                }
            }
            ::closedir(listing);
        };
        const int root =
            ::open(NativeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        struct stat info {};
        if (root >= 0 && ::fstat(root, &info) == 0)
            walk(root, QString(), info.st_dev);
        else if (root >= 0)
            ::close(root);
    }

    // An entry the commit deletes: not locked, in a folder that may be written and is not
    // append-only.
    bool Deletable(const TRemovableEntry& entry) {
        FDepth = std::max(FDepth, int(entry.Relative.count(u'/')) + 2);
        return !IsLockedAt(entry.Folder, entry.Name) && !IsLockedAt(entry.Folder, ".") &&
               ::faccessat(entry.Folder, ".", W_OK | X_OK, AT_EACCESS) == 0;
    }

    std::optional<TPreflightProblem> Writable() const {
        QStringList folders(FNeedWrite.cbegin(), FNeedWrite.cend());
        folders.sort();
        for (const QString& folder : folders) {
            const QString path = QDir::cleanPath(folder);
            const QByteArray native = NativeName(path);
            if (::faccessat(AT_FDCWD, native.constData(), W_OK | X_OK, AT_EACCESS) != 0) {
                const int error = errno;
                if (error == ENOENT)
                    continue; // made by the install itself
                return TPreflightProblem{path, error == EACCES || error == EROFS || error == EPERM
                                                   ? KNotWritable
                                                   : ErrnoText(error)};
            }
            if (IsLockedAt(AT_FDCWD, native))
                return TPreflightProblem{path, KLocked};
        }
        return std::nullopt;
    }

    // Everything of the previous version that the commit deletes must go then.
    std::optional<TPreflightProblem> OldEntries() {
        if (FPrevious.Mode == TOldFiles::None)
            return std::nullopt;
        std::optional<TPreflightProblem> problem;
        const QSet<QString> keep = FOurs ? FWritten : QSet<QString>();
        VisitRemovable(
            FPrevious.ProductFolder, FPrevious.Mode, FPrevious.Manifest, keep,
            [&](const TRemovableEntry& entry) {
                ++FPlan.OldEntriesToRemove;
                if (!problem && !entry.IsFolder && !Deletable(entry))
                    problem = TPreflightProblem{FPrevious.ProductFolder + entry.Relative, KLocked};
            });
        return problem;
    }

    void BuildManifest() {
        TInstallManifest& manifest = FPlan.Manifest;
        QSet<QString> files = FWritten;
        for (const QString& kept : std::as_const(FPlan.KeptUserFiles))
            if (FOurs && (FPrevious.Mode == TOldFiles::Legacy || FOldFiles.contains(kept)))
                files.insert(kept);
        manifest.Files = QStringList(files.cbegin(), files.cend());
        manifest.Files.sort();
        QSet<QString> folders = FNewFolders;
        for (const QString& folder : std::as_const(FOwnedExisting))
            folders.insert(folder);
        folders.remove(QString());
        manifest.Folders = QStringList(folders.cbegin(), folders.cend());
        manifest.Folders.sort();
        const bool productIsNew =
            std::any_of(FPlan.Ops.cbegin(), FPlan.Ops.cend(),
                        [this](const TJournalOp& op) { return op.Path == FProductName; });
        if (productIsNew)
            manifest.CreatedLevels = 1 + int(FPlan.FoldersToMake.size());
        else if (FOurs && FPrevious.Mode == TOldFiles::Manifest)
            manifest.CreatedLevels = FPrevious.Manifest.CreatedLevels;
        else
            manifest.CreatedLevels = FOurs ? 1 : 0;
    }

    qint64 JournalBytes() const {
        qint64 bytes = 64 << 10;
        for (const TJournalOp& op : FPlan.Ops)
            bytes += NativeName(op.Path).size() + 80;
        for (const QString& file : FPrevious.Manifest.Files + FPrevious.Manifest.Folders)
            bytes += NativeName(file).size() + 16;
        for (const QString& file : FPlan.Manifest.Files + FPlan.Manifest.Folders)
            bytes += 3 * (NativeName(file).size() + 1); // the store keeps old and new pages
        return bytes;
    }

    const std::vector<TPayloadEntry>& FEntries;
    QString FProductName;
    const TPreviousFiles& FPrevious;
    TInstallPlan& FPlan;
    bool FOurs = false;
    QString FRootMeasured;
    QSet<QString> FOldFiles{FPrevious.Manifest.Files.cbegin(), FPrevious.Manifest.Files.cend()};
    QSet<QString> FOldFolders{FPrevious.Manifest.Folders.cbegin(),
                              FPrevious.Manifest.Folders.cend()};
    QHash<QString, TFolder> FFolders; // by path relative to the install folder
    QSet<QString> FNeedWrite;
    QSet<QString> FWritten;     // relative to the product folder
    QSet<QString> FNewFolders;  // relative to the product folder
    QStringList FOwnedExisting; // existing folders on payload paths that are the installer's
    TInstallResources FResources;
    int FDepth = 0;
};

} // namespace

std::optional<TPreflightProblem> PlanInstall(const std::vector<TPayloadEntry>& entries,
                                             const QString& installFolder,
                                             const QString& productName,
                                             const TPreviousFiles& previous,
                                             const QString& storeFolder, TInstallPlan& plan) {
    plan = TInstallPlan();
    return TPlanner(entries, productName, previous, plan).Run(installFolder, storeFolder);
}

} // namespace velmora
