#pragma once

#include "platform/system/Errors.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <sys/types.h>
#include <vector>

namespace velmora {

// The environment for a program the installer starts: its own, less the variables a wrapping
// launcher listed in VELMORA_PRIVATE_ENV (colon-separated names) as the installer's alone.
std::vector<QByteArray> ChildEnvironment();

VELMORA_DECLARE_ERROR(ELaunchError, EVelmoraError);

// Starting other programs without waiting for them. Raises ELaunchError when a program
// cannot be started at all; what the started program does is never read.
class IProcessLauncher {
public:
    virtual ~IProcessLauncher() = default;
    // The full path of a program found on the search path; empty when there is none.
    virtual QString FindProgram(const QString& name) const = 0;
    // A command line (first word the program, double quotes grouping words) started in the
    // background with no input and its output going to /dev/null.
    virtual void StartHidden(const QString& commandLine) = 0;
    // An executable file is started directly; documents and web addresses go to xdg-open.
    virtual void Open(const QString& pathOrAddress) = 0;
    // Like StartHidden, but waits up to timeoutMs for the program to end and then stops it and
    // every process it left in its session, so nothing it started outlives the caller; its
    // result is still not read. Launchers that cannot wait just start it.
    virtual void RunHidden(const QString& commandLine, int timeoutMs) {
        Q_UNUSED(timeoutMs);
        StartHidden(commandLine);
    }
};

// The arguments a command line starts: the first word resolved to a program's full path (a
// word holding "/" is taken as it is when executable, others are looked up by ALauncher).
// Raises ELaunchError for an empty line or a program that is not there.
QStringList HiddenCommand(const IProcessLauncher& ALauncher, const QString& commandLine);
// What Open starts: an executable file itself; documents and web addresses through xdg-open.
QStringList OpenCommand(const IProcessLauncher& ALauncher, const QString& pathOrAddress);
// Starts arguments (the first a program's full path) with ChildEnvironment, in a session of
// its own and with /dev/null on every stream; the child's id. Raises ELaunchError when it
// cannot be started.
pid_t SpawnSilent(const QStringList& arguments);
// Nobody waits for a started program, but its exit status must still be collected so that
// it does not linger as a zombie for the rest of the install.
void ReapInBackground(pid_t pid);
// Waits up to timeoutMs for pid (started by SpawnSilent, so the leader of its own session),
// then kills whatever is left of its process group; the exit status, or -1 when it had to
// be stopped.
int WaitThenStopGroup(pid_t pid, int timeoutMs);

class TProcessLauncher final : public IProcessLauncher {
public:
    explicit TProcessLauncher(QString searchPath = qEnvironmentVariable("PATH"));

    QString FindProgram(const QString& name) const override;
    void StartHidden(const QString& commandLine) override;
    void Open(const QString& pathOrAddress) override;
    void RunHidden(const QString& commandLine, int timeoutMs) override;

private:
    void Spawn(const QStringList& arguments);

    QStringList FSearchPath;
};

} // namespace velmora
