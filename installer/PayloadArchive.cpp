#include "installer/PayloadArchive.h"

#include "installer/InstallLog.h"
#include "installer/InstallPreflight.h"
#include "installer/InstallerSettings.h"
#include "installer/ProgressDisplay.h"
#include "installer/ZDecompress.h"
#include "platform/system/DebugOutput.h"
#include "platform/system/MessagePump.h"
#include "platform/system/ReplaceFile.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

const QString kProtectedName = QStringLiteral("Config\\LogedinUsers.XML");

QString ErrnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray NativeName(const QString& name) {
    return QFile::encodeName(name);
}

// Programs must stay runnable after extraction; the table carries no modes, so the
// content decides: ELF images and scripts get execute permission.
mode_t ModeFor(const char* data, quint32 size) {
    if ((size >= 4 && std::memcmp(data,
                                  "\x7f"
                                  "ELF",
                                  4) == 0) ||
        (size >= 2 && std::memcmp(data, "#!", 2) == 0))
        return 0755;
    return 0644;
}

// Opened folders below the install folder. Every level is entered with O_NOFOLLOW,
// relative to its opened parent, so a symbolic link planted in the tree cannot lead outside
// it. A folder is found by its parent and its own name, so a deep path costs its length,
// not the square of it; at most kMaxOpenFolders stay open, and a path deeper than that is
// walked holding one more descriptor at a time, so no depth runs out of descriptors.
class TFolderTree {
public:
    explicit TFolderTree(int rootFd) : FRootFd(rootFd) {}
    ~TFolderTree() {
        ReleaseLoose();
        CloseAll();
        ::close(FRootFd);
    }
    TFolderTree(const TFolderTree&) = delete;
    TFolderTree& operator=(const TFolderTree&) = delete;

    // The folder holding the entry's file, created as needed; -1 with errno on failure.
    // It stays open until the next call.
    int FolderOf(const QStringList& components, QString& failedAt) {
        ReleaseLoose();
        // Entries come in path order, so few folders are revisited; a bounded cache keeps a
        // payload with thousands of folders inside the process's descriptor limit.
        if (FOpen.size() >= kMaxOpenFolders)
            CloseAll();
        int parent = FRootFd;
        int parentId = 0; // the install folder; kLoose for a folder outside the cache
        for (qsizetype i = 0; i + 1 < components.size(); ++i) {
            const TKey key{parentId, components.at(i)};
            if (parentId != kLoose) {
                const auto found = FOpen.constFind(key);
                if (found != FOpen.cend()) {
                    parent = found->Fd;
                    parentId = found->Id;
                    continue;
                }
            }
            const int fd = Enter(parent, key.Name);
            const int error = errno;
            if (parentId == kLoose)
                ::close(parent);
            if (fd < 0) {
                failedAt = components.mid(0, i + 1).join(u'\\');
                errno = error;
                return -1;
            }
            if (parentId != kLoose && FOpen.size() < kMaxOpenFolders) {
                const int id = ++FLastId;
                FOpen.insert(key, TFolder{fd, id});
                parentId = id;
            } else {
                parentId = kLoose;
            }
            parent = fd;
        }
        if (parentId == kLoose)
            FLoose = parent;
        return parent;
    }

private:
    static constexpr qsizetype kMaxOpenFolders = 64;
    static constexpr int kLoose = -1;

    struct TKey {
        int Parent;
        QString Name;
        bool operator==(const TKey& other) const {
            return Parent == other.Parent && Name == other.Name;
        }
    };
    friend size_t qHash(const TKey& key, size_t seed) {
        return qHashMulti(seed, key.Parent, key.Name);
    }
    struct TFolder {
        int Fd;
        int Id;
    };

    // Creates (when missing) and opens one level; -1 with errno on failure.
    static int Enter(int parent, const QString& component) {
        const QByteArray name = NativeName(component);
        const bool made = ::mkdirat(parent, name.constData(), 0755) == 0;
        if (!made && errno != EEXIST)
            return -1;
        const int fd =
            ::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        // Folders made here are readable by all, whatever the umask says.
        if (fd >= 0 && made)
            ::fchmod(fd, 0755);
        return fd;
    }

    void ReleaseLoose() {
        if (FLoose >= 0)
            ::close(FLoose);
        FLoose = -1;
    }

    void CloseAll() {
        for (const TFolder& folder : std::as_const(FOpen))
            ::close(folder.Fd);
        FOpen.clear();
    }

    int FRootFd;
    int FLoose = -1;
    int FLastId = 0;
    QHash<TKey, TFolder> FOpen;
};

// Files are written in parts of this size, with the window's messages processed between them,
// so a large file leaves the window painting and movable while it is written and an observer
// can see one half-written.
constexpr quint32 kWritePart = 1u << 20;

// Writes the entry's data to a new file renamed over the old one; errno is kept on failure.
bool WriteEntryFile(int folderFd, const QString& leaf, const char* data, quint32 size,
                    const QString& target, const TInstallStageHook& hook) {
    return ReplaceFileAt(folderFd, NativeName(leaf), ModeFor(data, size), [&](int fd) {
        for (quint32 done = 0; done < size;) {
            const quint32 part = std::min(kWritePart, size - done);
            if (!WriteAllTo(fd, data + done, part))
                return false;
            done += part;
            if (hook && done == part && done < size)
                hook(TInstallStage::FileHalfWritten, target);
            if (done < size)
                PumpMessages(0);
        }
        return true;
    });
}

bool FileExists(int folderFd, const QString& leaf) {
    struct stat info {};
    return ::fstatat(folderFd, NativeName(leaf).constData(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

QString WithSeparator(QString folder) {
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

} // namespace

bool IsProtectedEntry(const TPayloadEntry& entry) {
    if (entry.Name == kProtectedName)
        return true;
    const QString& product = InstallerSettingsOrDefault().ProductName;
    return entry.Name == product + u'\\' + kProtectedName;
}

bool ForceFolderPath(const QString& folder) {
    for (qsizetype at = folder.indexOf(u'/'); at >= 0; at = folder.indexOf(u'/', at + 1)) {
        const QString level = folder.left(at);
        if (level.isEmpty())
            continue; // the root of an absolute path
        if (QFileInfo::exists(level))
            continue;
        if (::mkdir(NativeName(level).constData(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

std::optional<TPayloadImage> LoadPayload(QIODevice& source) {
    TPayloadImage payload;
    try {
        // The table at the start says how long the image is: a stream that goes on past
        // that is refused as soon as it does, long before it could fill the memory.
        ZDecompressStream(source, payload.Image, kMaxPayloadImageBytes, DeclaredImageSize);
    } catch (const EVelmoraError& error) {
        WriteInstallLog(u"ZDecompressStream:提取安装包出错!\r\n"_qs + error.Message());
        return std::nullopt;
    }
    try {
        payload.Entries = ReadPayloadTable(payload.Image, InstallerSettingsOrDefault().ProductName);
    } catch (const EPayloadFormatError& error) {
        WriteInstallLog(u"CopyInstallFiles:安装包文件表无效\r\n"_qs + error.Message());
        return std::nullopt;
    }
    return payload;
}

std::optional<TPayloadImage> LoadEmbeddedPayload(const QString& resource) {
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly)) {
        WriteInstallLog(u"CopyInstallFiles:打开安装包资源出错\r\n"_qs + resource + u": "_qs +
                        file.errorString());
        return std::nullopt;
    }
    return LoadPayload(file);
}

bool WritePayload(const TPayloadImage& payload, const QString& installFolder,
                  IProgressDisplay* display, const TInstallStageHook& hook) {
    const QString root = WithSeparator(installFolder);
    // Checked again after any removal: nothing is written into a tree that would stop the
    // extraction half-way.
    if (const std::optional<TPreflightProblem> problem = CheckInstallTarget(payload, root)) {
        LogPreflightProblem(*problem);
        return false;
    }
    const auto count = static_cast<int>(payload.Entries.size());
    if (display != nullptr) {
        display->SetProgressRange(0, count);
        display->SetProgressPosition(0);
    }
    if (!ForceFolderPath(root)) {
        WriteInstallLog(u"CopyInstallFiles:创建文件夹失败\r\n"_qs + root + u": "_qs +
                        ErrnoText(errno));
        return false;
    }
    const int rootFd = ::open(NativeName(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (rootFd < 0) {
        WriteInstallLog(u"CopyInstallFiles:创建文件夹失败\r\n"_qs + root + u": "_qs +
                        ErrnoText(errno));
        return false;
    }
    TFolderTree tree(rootFd);

    for (int i = 0; i < count; ++i) {
        const TPayloadEntry& entry = payload.Entries[static_cast<size_t>(i)];
        if (display != nullptr)
            display->SetStatusText(u"正在复制文件: "_qs + entry.Components.join(u'/'));
        PumpMessages(0);
        const QString target = root + entry.Components.join(u'/');
        OutputDebugString(target);

        QString failedAt;
        const int folderFd = tree.FolderOf(entry.Components, failedAt);
        if (folderFd < 0) {
            WriteInstallLog(u"CopyInstallFiles:创建文件夹失败\r\n"_qs + root +
                            failedAt.replace(u'\\', u'/') + u": "_qs + ErrnoText(errno));
            return false;
        }
        const QString& leaf = entry.Components.last();
        if (!(IsProtectedEntry(entry) && FileExists(folderFd, leaf))) {
            const char* data = payload.Image.constData() + entry.DataOffset;
            if (!WriteEntryFile(folderFd, leaf, data, entry.DataSize, target, hook)) {
                WriteInstallLog(u"CopyInstallFiles:写入安装文件出错\r\n"_qs + target + u": "_qs +
                                ErrnoText(errno));
                return false;
            }
        }
        if (display != nullptr)
            display->SetProgressPosition(i + 1);
        PumpMessages(0);
    }
    return true;
}

bool CopyInstallFiles(const QString& installFolder, IProgressDisplay* display, QIODevice& source) {
    const std::optional<TPayloadImage> payload = LoadPayload(source);
    return payload && WritePayload(*payload, installFolder, display);
}

bool CopyInstallFiles(const QString& installFolder, IProgressDisplay* display) {
    const std::optional<TPayloadImage> payload = LoadEmbeddedPayload();
    return payload && WritePayload(*payload, installFolder, display);
}

} // namespace velmora
