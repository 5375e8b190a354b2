#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace velmora {

// Opened folders below the install folder. Every level is entered with O_NOFOLLOW,
// relative to its opened parent, so a symbolic link planted in the tree cannot lead outside
// it. A folder is found by its parent and its own name, so a deep path costs its length,
// not the square of it; at most kMaxOpenFolders stay open, and a path deeper than that is
// walked holding one more descriptor at a time, so no depth runs out of descriptors.
class TFolderTree {
public:
    // Takes rootFd (an opened install folder) and closes it in the end.
    explicit TFolderTree(int rootFd) : FRootFd(rootFd) {}
    ~TFolderTree();
    TFolderTree(const TFolderTree&) = delete;
    TFolderTree& operator=(const TFolderTree&) = delete;

    // The folder holding the entry's file (all components but the last), created as needed;
    // -1 with errno on failure, failedAt naming the level that failed ('\'-separated). It
    // stays open until the next call.
    int FolderOf(const QStringList& components, QString& failedAt);

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
    static int Enter(int parent, const QString& component);
    void ReleaseLoose();
    void CloseAll();

    int FRootFd;
    int FLoose = -1;
    int FLastId = 0;
    QHash<TKey, TFolder> FOpen;
};

} // namespace velmora
