#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <optional>
#include <sys/types.h>

namespace velmora {

// The person at the desktop when the installer runs as root on their behalf.
struct TDesktopUser {
    uid_t Uid = 0;
    gid_t Gid = 0;
    QString Name;
    QString Home;
    QString Shell;
};

// The id of the desktop user a process acts for: none unless it runs as root; then the id
// pkexec (PKEXEC_UID) or sudo (SUDO_UID) left behind, when it is a number other than 0.
std::optional<uid_t> DesktopUserId(uid_t effectiveUid, const QProcessEnvironment& environment);

// The account of uid from the user database; none when there is no such account.
std::optional<TDesktopUser> LookUpDesktopUser(uid_t uid);

// The account whose home folder holds path (the deepest such home), if any.
std::optional<TDesktopUser> HomeOwnerOf(const QString& path);

// The environment a program started for user gets: the user's own identity, home, shell
// and a plain search path, the display and language of the current session, and the user's
// session bus when runtimeDir (their XDG runtime folder) exists. Nothing of root's own
// folders is passed on. Entries are "NAME=value".
QStringList DesktopUserEnvironment(const TDesktopUser& user, const QProcessEnvironment& current,
                                   const QString& runtimeDir, bool runtimeDirExists);

} // namespace velmora
