#pragma once

#include "platform/system/DesktopUser.h"
#include "platform/system/ProcessLauncher.h"

#include <memory>

namespace velmora {

// Starts programs as the desktop user when one is given, with that user's groups and
// environment; as the current user otherwise (then exactly as TProcessLauncher does). The
// installer runs as root on someone's behalf, and what it opens for them must not be root's.
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
    void SpawnAsUser(const QStringList& arguments);

    TProcessLauncher FPlain;
    std::optional<TDesktopUser> FUser;
    QStringList FEnvironment;
};

} // namespace velmora
