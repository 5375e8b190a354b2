#pragma once

#include "platform/system/DesktopUser.h"
#include "platform/system/ProcessLauncher.h"

#include <memory>

namespace velmora {

// Starts programs as the desktop user when one is given, with that user's groups and
// environment; as the current user otherwise (then exactly as TProcessLauncher does). The
// installer runs as root on someone's behalf, and what it opens for them must not be root's.
// Starts arguments (the first a program's full path) as user with exactly environment, in a
// session of its own with /dev/null on all streams; the child's id, which the caller must
// wait for. Raises ELaunchError when the program could not be started as user.
pid_t SpawnAsUser(const TDesktopUser& user, const QStringList& arguments,
                  const QStringList& environment);

class TUserProcessLauncher final : public IProcessLauncher {
public:
    TUserProcessLauncher(QString searchPath, std::optional<TDesktopUser> user,
                         QStringList environment);

    // The launcher for this process: the desktop user root acts for (sudo, pkexec), if any.
    static std::unique_ptr<TUserProcessLauncher> ForThisProcess();

    const std::optional<TDesktopUser>& User() const { return FUser; }

    QString FindProgram(const QString& name) const override;
    void StartHidden(const QString& commandLine) override;
    void Open(const QString& pathOrAddress) override;

private:
    void Spawn(const QStringList& arguments);

    TProcessLauncher FPlain;
    std::optional<TDesktopUser> FUser;
    QStringList FEnvironment;
};

} // namespace velmora
