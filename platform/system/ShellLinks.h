#pragma once

#include "platform/system/DesktopTools.h"
#include "platform/system/DesktopUser.h"

#include <QString>
#include <functional>
#include <optional>

namespace velmora {

struct TShellLink {
    QString Target;
    QString WorkingFolder;
    // What a desktop shows beside the name: an icon file, a one-line description and the
    // menu categories (";"-terminated). Empty ones are left out.
    QString Icon;
    QString Comment;
    QString Categories;
};

// What was at a shortcut's path before an install touched it, so that an undone install puts
// it back exactly: nothing, a plain file (its bytes and mode) or a symbolic link (its target).
// Anything else (a folder, a file past KMaxBytes) is Other and is never replaced or restored.
struct TShortcutSnapshot {
    enum class TKind { Absent, File, Link, Other };
    static constexpr qint64 KMaxBytes = 1 << 20;
    TKind Kind = TKind::Absent;
    QByteArray Bytes;
    unsigned Mode = 0;
};

// Shortcut files that the desktop and the programs menu show.
class IShellLinks {
public:
    virtual ~IShellLinks() = default;
    // The extension every link file carries, with its dot.
    virtual QString Extension() const = 0;
    // Writes the link to path (whose folder must exist), replacing whatever is there without
    // following it; false when that failed.
    virtual bool Save(const TShellLink& link, const QString& path) = 0;
    // Makes a link saved on the desktop startable by a double click where the desktop asks
    // for that first; empty when done or nothing was needed, the reason otherwise.
    virtual QString Trust(const QString& path) = 0;
    // Deletes the file at path itself, never what a link there points to, and whatever trust
    // it was given; 0 when it is gone (or was never there), an errno value otherwise.
    virtual int Remove(const QString& path) = 0;
    // Tells the desktop that the programs menu below folder changed; empty or the reason.
    virtual QString RefreshMenu(const QString& folder) = 0;
    // What is at path now, read without following a link there.
    virtual TShortcutSnapshot Snapshot(const QString& path) = 0;
    // Puts back what Snapshot saw (Absent removes what is there now); false when that failed.
    virtual bool Restore(const QString& path, const TShortcutSnapshot& snapshot) = 0;
};

// Links as freedesktop desktop entries: an executable "Application" entry whose Name is the
// link file's name without extension, whose Exec starts the target and whose Path is the
// working folder.
//
// Run as root for a desktop user (owner), files in that person's home are written on their
// behalf: every folder below their home is entered without following a link, and the file
// is created by root and handed to them before it appears under its name.
class TDesktopEntryLinks final : public IShellLinks {
public:
    TDesktopEntryLinks() : FTools(QString()) {}
    // The desktop's helpers are found on toolSearchPath (empty: none are run); other users'
    // session buses are runtimeRoot/<uid>/bus.
    TDesktopEntryLinks(QString desktopFolder, std::optional<TDesktopUser> owner,
                       QString toolSearchPath, QString runtimeRoot = QStringLiteral("/run/user"));

    QString Extension() const override { return QStringLiteral(".desktop"); }
    bool Save(const TShellLink& link, const QString& path) override;
    QString Trust(const QString& path) override;
    int Remove(const QString& path) override;
    QString RefreshMenu(const QString& folder) override;
    TShortcutSnapshot Snapshot(const QString& path) override;
    bool Restore(const QString& path, const TShortcutSnapshot& snapshot) override;

    // The file's text for a link saved at path.
    static QByteArray EntryText(const TShellLink& link, const QString& path);

private:
    // Whether path is written on the desktop owner's behalf.
    bool OnBehalf(const QString& path) const;
    bool IsOnDesktop(const QString& path) const;
    // The folder of path opened for writing, on the owner's behalf where that applies; -1.
    int OpenFolderOf(const QString& path, bool create) const;
    // Writes a new file under path's name with fill, as the owner where that applies.
    bool WriteAt(const QString& path, unsigned mode, const std::function<bool(int fd)>& fill);

    QString FDesktopFolder;
    std::optional<TDesktopUser> FOwner;
    TDesktopTools FTools;
};

} // namespace velmora
