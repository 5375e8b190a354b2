#include "installer/PayloadStreamExtract.h"

#include "installer/EntryFiles.h"
#include "installer/FolderTree.h"
#include "installer/InflatingPayload.h"
#include "installer/InstallPreflight.h"
#include "installer/PayloadArchive.h"
#include "installer/ProgressDisplay.h"
#include "platform/system/ReplaceFile.h"

#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

// The levels of folder up to the last separator that are not there yet, outermost first.
QStringList MissingLevels(const QString& folder) {
    QStringList missing;
    for (qsizetype at = folder.indexOf(u'/'); at >= 0; at = folder.indexOf(u'/', at + 1)) {
        const QString level = folder.left(at);
        struct stat info {};
        if (!level.isEmpty() && ::lstat(NativeName(level).constData(), &info) != 0)
            missing << level;
    }
    return missing;
}

// Where the files wait until the stream has passed: a private folder directly below the
// install folder, so moving them into place stays on one file system. Its name has the
// form of the installer's temporary files, which no entry may carry.
class TStagingFolder {
public:
    explicit TStagingFolder(const QString& root) {
        QByteArray path = NativeName(root) + ".velmora-new-XXXXXX";
        if (::mkdtemp(path.data()) == nullptr)
            return;
        FPath = path;
        FFd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    }
    ~TStagingFolder() {
        for (int i = 0; i < FCount; ++i)
            ::unlinkat(FFd, Name(i).constData(), 0);
        if (FFd >= 0)
            ::close(FFd);
        if (!FPath.isEmpty())
            ::rmdir(FPath.constData());
    }
    TStagingFolder(const TStagingFolder&) = delete;
    TStagingFolder& operator=(const TStagingFolder&) = delete;

    int Fd() const { return FFd; }
    QString Path() const { return QFile::decodeName(FPath); }
    // Entry i waits under this name; the folder is emptied of names below count at the end.
    static QByteArray Name(int i) { return QByteArray::number(i); }
    void Holds(int count) { FCount = count; }

private:
    QByteArray FPath;
    int FFd = -1;
    int FCount = 0;
};

// Fills a new file with data, for WriteNewFileAt and ReplaceFileAt.
std::function<bool(int fd)> Filling(QByteArrayView data) {
    return [data](int fd) { return WriteAllTo(fd, data.data(), size_t(data.size())); };
}

mode_t ModeOf(QByteArrayView data) {
    return ExtractedFileMode(data.data(), quint32(data.size()));
}

// Moves the staged files to their places, in table order; the image is whole by now, so a
// file whose folder is on another file system is written there from it instead.
bool MoveIntoPlace(const std::vector<TPayloadEntry>& entries, QByteArrayView image,
                   const QString& root, int rootFd, const TStagingFolder& staging) {
    TFolderTree tree(::dup(rootFd));
    for (size_t i = 0; i < entries.size(); ++i) {
        const TPayloadEntry& entry = entries[i];
        const int folderFd = OpenEntryFolder(tree, entry, root);
        if (folderFd < 0)
            return false;
        if (KeepsExistingFile(entry, folderFd))
            continue;
        const QString& leaf = entry.Components.last();
        const QByteArray name = TStagingFolder::Name(int(i));
        if (::renameat(staging.Fd(), name.constData(), folderFd, NativeName(leaf).constData()) == 0)
            continue;
        const QByteArrayView data = image.sliced(entry.DataOffset, entry.DataSize);
        if (errno != EXDEV ||
            !ReplaceFileAt(folderFd, NativeName(leaf), ModeOf(data), Filling(data))) {
            LogFileFailure(root + entry.Components.join(u'/'), errno);
            return false;
        }
    }
    return true;
}

// The levels of the install folder made here go again when nothing reached them.
void RemoveLevels(const QStringList& levels) {
    for (qsizetype i = levels.size() - 1; i >= 0; --i)
        ::rmdir(NativeName(levels.at(i)).constData());
}

} // namespace

std::optional<qsizetype> ExtractPayloadStream(QIODevice& source, const QString& installFolder,
                                              IProgressDisplay* display) {
    QString root = installFolder;
    if (!root.endsWith(u'/'))
        root += u'/';
    TInflatingPayload image(source);
    std::optional<std::vector<TPayloadEntry>> table = image.ReadTable();
    if (!table)
        return std::nullopt;
    const TPayloadImage checked{{}, std::move(*table)};
    if (const std::optional<TPreflightProblem> problem = CheckInstallTarget(checked, root)) {
        image.Stop();
        LogPreflightProblem(*problem);
        return std::nullopt;
    }
    const std::vector<TPayloadEntry>& entries = checked.Entries;
    const auto count = static_cast<int>(entries.size());
    if (display != nullptr) {
        display->SetProgressRange(0, count);
        display->SetProgressPosition(0);
    }

    const QStringList made = MissingLevels(root);
    bool placed = false;
    {
        // Destroyed before the levels are removed: it empties and removes itself.
        std::optional<TStagingFolder> staging;
        const int rootFd = ForceFolderPath(root) ? ::open(NativeName(root).constData(),
                                                          O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                                                 : -1;
        if (rootFd >= 0)
            staging.emplace(root);
        if (rootFd < 0 || staging->Fd() < 0) {
            image.Stop();
            LogFolderFailure(staging ? staging->Path() : root, errno);
        } else {
            bool written = true;
            for (int i = 0; written && i < count; ++i) {
                const TPayloadEntry& entry = entries[size_t(i)];
                if (display != nullptr)
                    display->SetStatusText(u"正在复制文件: "_qs + entry.Components.join(u'/'));
                const std::optional<QByteArrayView> data = image.DataOf(entry);
                if (!data) {
                    written = false;
                    break;
                }
                staging->Holds(i + 1);
                if (!WriteNewFileAt(staging->Fd(), TStagingFolder::Name(i), ModeOf(*data),
                                    Filling(*data))) {
                    image.Stop();
                    LogFileFailure(root + entry.Components.join(u'/'), errno);
                    written = false;
                    break;
                }
                if (display != nullptr)
                    display->SetProgressPosition(i + 1);
            }
            if (written && image.Finish())
                placed = MoveIntoPlace(entries, image.Whole(), root, rootFd, *staging);
        }
        if (rootFd >= 0)
            ::close(rootFd);
    }
    if (!placed) {
        RemoveLevels(made);
        return std::nullopt;
    }
    return count;
}

} // namespace velmora
