#include "platform/system/DesktopUser.h"

#include <QDir>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace velmora {

namespace {

std::optional<uid_t> UidFrom(const QString& text) {
    bool ok = false;
    const qulonglong value = text.trimmed().toULongLong(&ok);
    if (!ok || value == 0 || value > 0xFFFFFFFEull)
        return std::nullopt;
    return static_cast<uid_t>(value);
}

} // namespace

std::optional<uid_t> DesktopUserId(uid_t effectiveUid, const QProcessEnvironment& environment) {
    if (effectiveUid != 0)
        return std::nullopt;
    // pkexec clears the environment, so its id is the more recent hand-over when both exist.
    for (const char* name : {"PKEXEC_UID", "SUDO_UID"}) {
        const QString value = environment.value(QLatin1String(name));
        if (!value.isEmpty())
            return UidFrom(value);
    }
    return std::nullopt;
}

std::optional<TDesktopUser> LookUpDesktopUser(uid_t uid) {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<size_t>(size > 0 ? size : 16384));
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
        return std::nullopt;
    TDesktopUser user;
    user.Uid = entry.pw_uid;
    user.Gid = entry.pw_gid;
    user.Name = QString::fromLocal8Bit(entry.pw_name);
    user.Home = QString::fromLocal8Bit(entry.pw_dir);
    user.Shell = QString::fromLocal8Bit(entry.pw_shell);
    return user;
}

std::optional<TDesktopUser> HomeOwnerOf(const QString& path) {
    const QString clean = QDir::cleanPath(path);
    std::optional<uid_t> best;
    qsizetype bestLength = 0;
    // The account database is read whole once; it is short, and this runs on removal only.
    ::setpwent();
    while (const passwd* entry = ::getpwent()) {
        const QString home = QDir::cleanPath(QString::fromLocal8Bit(entry->pw_dir));
        if (home.isEmpty() || home == QStringLiteral("/") || home.size() <= bestLength)
            continue;
        if (clean.startsWith(home + u'/')) {
            best = entry->pw_uid;
            bestLength = home.size();
        }
    }
    ::endpwent();
    return best ? LookUpDesktopUser(*best) : std::nullopt;
}

QStringList DesktopUserEnvironment(const TDesktopUser& user, const QProcessEnvironment& current,
                                   const QString& runtimeDir, bool runtimeDirExists) {
    QStringList environment{
        QStringLiteral("HOME=") + user.Home,
        QStringLiteral("USER=") + user.Name,
        QStringLiteral("LOGNAME=") + user.Name,
        QStringLiteral("SHELL=") + (user.Shell.isEmpty() ? QStringLiteral("/bin/sh") : user.Shell),
        QStringLiteral("PATH=/usr/local/bin:/usr/bin:/bin"),
    };
    // The session's display and language belong to the person, not to root.
    for (const char* name :
         {"DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "LANG", "LANGUAGE", "LC_ALL", "LC_CTYPE",
          "LC_MESSAGES", "XDG_SESSION_TYPE", "XDG_CURRENT_DESKTOP"}) {
        const QString key = QLatin1String(name);
        if (current.contains(key))
            environment << key + u'=' + current.value(key);
    }
    if (runtimeDirExists) {
        environment << QStringLiteral("XDG_RUNTIME_DIR=") + runtimeDir;
        environment << QStringLiteral("DBUS_SESSION_BUS_ADDRESS=unix:path=") + runtimeDir +
                           QStringLiteral("/bus");
    }
    return environment;
}

} // namespace velmora
