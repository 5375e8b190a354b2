#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <sys/stat.h>

namespace velmora {

// A descriptor closed on scope exit.
class TFd {
public:
    explicit TFd(int fd = -1) : FFd(fd) {}
    ~TFd() { Reset(); }
    TFd(TFd&& other) noexcept : FFd(other.FFd) { other.FFd = -1; }
    TFd& operator=(TFd&& other) noexcept {
        if (this != &other) {
            Reset();
            FFd = other.FFd;
            other.FFd = -1;
        }
        return *this;
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;

    int Get() const { return FFd; }
    bool Valid() const { return FFd >= 0; }
    void Reset(int fd = -1);
    // Gives the descriptor up without closing it.
    int Release() {
        const int fd = FFd;
        FFd = -1;
        return fd;
    }

private:
    int FFd;
};

// The native bytes of a name or path.
QByteArray NativeName(const QString& name);

// Opens a folder by its absolute path, following links (the user chose it); -1 with errno.
int OpenFolderPath(const QString& path);
// Opens the folder at relative ('/'-separated, may be empty for root itself) below root,
// entering every level without following a link; -1 with errno. Uses one descriptor at a time.
int OpenFolderBelow(int root, const QString& relative);
// What is at name in folder, without following a link; false with errno when nothing is.
bool StatAt(int folder, const QByteArray& name, struct stat& info);
// Whether the entry may not be renamed or deleted whatever its permissions say (the
// immutable or append-only attribute).
bool IsLockedAt(int folder, const QByteArray& name);
bool SyncFolder(int folder);

// Removes name from folder: a non-folder is unlinked, a real folder on device is emptied
// bottom-up first; links are never followed and other file systems never entered. True when
// nothing is left at name.
bool RemoveTreeAt(int folder, const QByteArray& name, dev_t device);

// The folder part and the last part of a '/'-separated relative path.
QString ParentOf(const QString& relative);
QString LeafOf(const QString& relative);
// a + '/' + b, either may be empty.
QString JoinPath(const QString& a, const QString& b);

// Whether a path below the product folder (relative to it, '/'-separated) lies in user data:
// below a folder named exactly "Users" or "Config" at any depth.
bool IsUserDataPath(const QString& relativeToProduct);
// Whether a folder name is one of the two that hold user data.
bool IsUserDataFolderName(const QString& name);

} // namespace velmora
