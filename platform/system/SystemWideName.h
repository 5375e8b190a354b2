#pragma once

#include <QString>

namespace velmora {

// A name that one process at a time can hold across the system: an flock lock on a file in a
// folder where only the installing principal can create files, so another user cannot take
// the name first. The kernel releases the lock when the holder ends or crashes; the file
// that stays behind blocks nobody.
class TSystemWideName {
public:
    enum class TResult { Acquired, AlreadyHeld, Failed };

    // folder holds the lock file; empty means DefaultFolder().
    explicit TSystemWideName(QString name, QString folder = QString());
    ~TSystemWideName();
    TSystemWideName(const TSystemWideName&) = delete;
    TSystemWideName& operator=(const TSystemWideName&) = delete;

    // Tries to take the name; keeps it until this object is destroyed. The folder is made
    // (0700) when missing and must be a real folder owned by this user that nobody else may
    // write to; otherwise, or when the lock file is not this user's plain file, Failed.
    TResult Acquire();
    // Hands the name to the process: it stays held until the process ends.
    void KeepForProcessLifetime();

    // Where names live for this process: SetDefaultFolder's folder when one was set, else
    // FolderFor the effective user and $XDG_RUNTIME_DIR.
    static QString DefaultFolder();
    // Moves every later default name (tests, staging); empty restores the system's.
    static void SetDefaultFolder(const QString& folder);
    // Root: /run/velmora. A user: their runtime folder when it is given and absolute, else
    // a private folder velmora-<uid> in /tmp.
    static QString FolderFor(bool root, const QString& runtimeFolder, uint userId);

private:
    QString FName;
    QString FFolder;
    int FLock = -1;
};

} // namespace velmora
