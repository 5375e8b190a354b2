#include "installer/PayloadArchive.h"

#include "installer/EntryFiles.h"
#include "installer/FolderTree.h"
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

// Files are written in parts of this size, with the window's messages processed between them,
// so a large file leaves the window painting and movable while it is written and an observer
// can see one half-written.
constexpr quint32 kWritePart = 1u << 20;

// Writes the entry's data to a new file renamed over the old one; errno is kept on failure.
bool WriteEntryFile(int folderFd, const QString& leaf, const char* data, quint32 size,
                    const QString& target, const TInstallStageHook& hook) {
    return ReplaceFileAt(folderFd, NativeName(leaf), ExtractedFileMode(data, size), [&](int fd) {
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

QString WithSeparator(QString folder) {
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

} // namespace

int OpenEntryFolder(TFolderTree& tree, const TPayloadEntry& entry, const QString& root) {
    QString failedAt;
    const int folderFd = tree.FolderOf(entry.Components, failedAt);
    if (folderFd < 0)
        LogFolderFailure(root + failedAt.replace(u'\\', u'/'), errno);
    return folderFd;
}

bool KeepsExistingFile(const TPayloadEntry& entry, int folderFd) {
    return IsProtectedEntry(entry) && EntryFileExists(folderFd, entry.Components.last());
}

void LogResourceFailure(const QString& resource, const QString& reason) {
    WriteInstallLog(u"CopyInstallFiles:打开安装包资源出错\r\n"_qs + resource + u": "_qs + reason);
}

void LogInflateFailure(const QString& reason) {
    WriteInstallLog(u"ZDecompressStream:提取安装包出错!\r\n"_qs + reason);
}

void LogTableFailure(const QString& reason) {
    WriteInstallLog(u"CopyInstallFiles:安装包文件表无效\r\n"_qs + reason);
}

void LogFolderFailure(const QString& folder, int error) {
    WriteInstallLog(u"CopyInstallFiles:创建文件夹失败\r\n"_qs + folder + u": "_qs +
                    ErrnoText(error));
}

void LogFileFailure(const QString& file, int error) {
    WriteInstallLog(u"CopyInstallFiles:写入安装文件出错\r\n"_qs + file + u": "_qs +
                    ErrnoText(error));
}

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
        LogInflateFailure(error.Message());
        return std::nullopt;
    }
    try {
        payload.Entries = ReadPayloadTable(payload.Image, InstallerSettingsOrDefault().ProductName);
    } catch (const EPayloadFormatError& error) {
        LogTableFailure(error.Message());
        return std::nullopt;
    }
    return payload;
}

bool OpenEmbeddedPayload(QFile& file) {
    if (file.open(QIODevice::ReadOnly))
        return true;
    LogResourceFailure(file.fileName(), file.errorString());
    return false;
}

std::optional<TPayloadImage> LoadEmbeddedPayload(const QString& resource) {
    QFile file(resource);
    if (!OpenEmbeddedPayload(file))
        return std::nullopt;
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
        LogFolderFailure(root, errno);
        return false;
    }
    const int rootFd = ::open(NativeName(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (rootFd < 0) {
        LogFolderFailure(root, errno);
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

        const int folderFd = OpenEntryFolder(tree, entry, root);
        if (folderFd < 0)
            return false;
        const QString& leaf = entry.Components.last();
        if (!KeepsExistingFile(entry, folderFd)) {
            const char* data = payload.Image.constData() + entry.DataOffset;
            if (!WriteEntryFile(folderFd, leaf, data, entry.DataSize, target, hook)) {
                LogFileFailure(target, errno);
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
