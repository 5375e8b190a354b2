#include "installer/FolderTree.h"

#include "installer/EntryFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

TFolderTree::~TFolderTree() {
    ReleaseLoose();
    CloseAll();
    ::close(FRootFd);
}

int TFolderTree::FolderOf(const QStringList& components, QString& failedAt) {
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

int TFolderTree::Enter(int parent, const QString& component) {
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

void TFolderTree::ReleaseLoose() {
    if (FLoose >= 0)
        ::close(FLoose);
    FLoose = -1;
}

void TFolderTree::CloseAll() {
    for (const TFolder& folder : std::as_const(FOpen))
        ::close(folder.Fd);
    FOpen.clear();
}

} // namespace velmora
