#pragma once

#include "platform/system/DesktopUser.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace velmora {

// The user-dirs.dirs file names the desktop folder; the file belongs to the user, so when
// root reads another person's file it is untrusted input: it is read in three layers (the
// bytes, bounded and without following links; each line checked; the folder built) and
// anything that does not fit is refused with a fixed reason.

// The most a user-dirs.dirs file may hold; the real ones are a few hundred bytes.
constexpr qint64 KUserDirsMaxSize = 64 * 1024;

struct TUserDirsDesktop {
    // The desktop folder the file names, cleaned; empty when it names none that is usable.
    QString Folder;
    // Why a line naming the desktop was refused; empty when none was.
    QString Error;
};

// The desktop folder that the text of a user-dirs.dirs file names for home. A value is a
// double-quoted path that is absolute or starts with "$HOME" (backslash escapes the next
// character); the last acceptable line wins. A value with control characters, "." or ".."
// components, or invalid UTF-8 is refused.
TUserDirsDesktop DesktopFromUserDirs(const QByteArray& text, const QString& home);

// The bytes of user's $HOME/.config/user-dirs.dirs, read as root may read another person's
// file: the folders below home and the file are opened without following links, and only a
// regular file owned by user (or root) of at most KUserDirsMaxSize bytes is read. Nothing
// when there is no such file; error receives the reason when there is one that is refused.
std::optional<QByteArray> ReadUserDirsOf(const TDesktopUser& user, QString& error);

// The desktop folder of a person root acts for: what their user-dirs.dirs names when that
// lies inside their home, otherwise $HOME/Desktop; empty for an account whose home is "/" or
// not absolute. error receives the reason a named folder was refused.
QString DesktopFolderOf(const TDesktopUser& user, QString& error);

} // namespace velmora
