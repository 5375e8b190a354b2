#pragma once

#include "platform/system/DesktopUser.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace velmora {

// The desktop's own helper programs, run to completion when they are installed: marking a
// launcher on the desktop as trusted (file managers refuse to start an entry there until it
// is) and refreshing a programs-menu folder's cache. Each returns an empty text when the work
// is done or there is no tool for it, and the reason otherwise; none of them raises.
class TDesktopTools {
public:
    // Tools are looked up on searchPath; an empty one finds none, so nothing is run. The
    // session buses of other users are runtimeRoot/<uid>/bus.
    explicit TDesktopTools(QString searchPath, QString runtimeRoot = QStringLiteral("/run/user"));

    // Trust is kept per user (in the owner's own file-manager metadata, served over their
    // session bus), so the tool runs as owner when root acts for them, as the current user
    // otherwise, and only when that person has a session bus: without one there is no
    // desktop session to tell and nothing is run.
    QString MarkTrusted(const QString& path, const std::optional<TDesktopUser>& owner) const;
    // Clears what MarkTrusted set, so a later file at the same path is not trusted blindly.
    QString ForgetTrust(const QString& path, const std::optional<TDesktopUser>& owner) const;
    // Rebuilds the desktop-entry cache of a programs-menu folder.
    QString RefreshMenu(const QString& folder) const;

    // The longest a helper may take before it is stopped.
    static constexpr int KTimeoutMs = 10000;

private:
    // Runs the tool (a name on the search path) with arguments and waits for it; the reason
    // when it could not start, failed or had to be stopped.
    QString Run(const QString& tool, const QStringList& arguments,
                const std::optional<TDesktopUser>& as) const;
    QString Find(const QString& tool) const;
    // Whether the person the trust is kept for has a session bus to reach.
    bool HasSession(const std::optional<TDesktopUser>& owner) const;
    // Runs gio set with arguments for owner when there is a session; empty or the reason.
    QString SetMetadata(const QStringList& arguments,
                        const std::optional<TDesktopUser>& owner) const;

    QStringList FSearchPath;
    QString FRuntimeRoot;
};

} // namespace velmora
