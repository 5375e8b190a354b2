#include "platform/system/ProcessLauncher.h"

#include "platform/system/CStrings.h"
#include "platform/system/InstallerUmask.h"

#include <QFileInfo>
#include <QProcess>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace velmora {
namespace {

bool IsExecutableFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

class TSpawnSetup {
public:
    TSpawnSetup() {
        posix_spawn_file_actions_init(&Actions);
        posix_spawnattr_init(&Attributes);
        for (int fd = 0; fd <= 2; ++fd)
            posix_spawn_file_actions_addopen(&Actions, fd, "/dev/null",
                                             fd == 0 ? O_RDONLY : O_WRONLY, 0);
        // A session of its own: closing the installer's terminal must not end the program,
        // and a helper that outlives its time is stopped with its children.
        posix_spawnattr_setflags(&Attributes, POSIX_SPAWN_SETSID);
    }
    ~TSpawnSetup() {
        posix_spawnattr_destroy(&Attributes);
        posix_spawn_file_actions_destroy(&Actions);
    }
    TSpawnSetup(const TSpawnSetup&) = delete;
    TSpawnSetup& operator=(const TSpawnSetup&) = delete;

    posix_spawn_file_actions_t Actions;
    posix_spawnattr_t Attributes;
};

} // namespace

pid_t SpawnSilent(const QStringList& arguments) {
    TCStrings argv(arguments);
    TCStrings envp(ChildEnvironment());
    TSpawnSetup setup;
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv.Data()[0], &setup.Actions, &setup.Attributes, argv.Data(),
                               envp.Data());
    if (rc != 0)
        throw ELaunchError(QStringLiteral("Cannot start %1: %2")
                               .arg(arguments.first(), QString::fromLocal8Bit(std::strerror(rc))));
    return pid;
}

void ReapInBackground(pid_t pid) {
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

int WaitThenStopGroup(pid_t pid, int timeoutMs) {
    int status = 0;
    int result = -1;
    for (int waited = 0;; waited += 5) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            result = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if ((done < 0 && errno != EINTR) || waited >= timeoutMs)
            break;
        ::usleep(5000);
    }
    // The group keeps the leader's id after it ended; whatever it started in the background
    // is still in it and is stopped too.
    ::kill(-pid, SIGKILL);
    if (result < 0)
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    return result;
}

QStringList HiddenCommand(const IProcessLauncher& ALauncher, const QString& commandLine) {
    QStringList arguments = QProcess::splitCommand(commandLine);
    if (arguments.isEmpty())
        throw ELaunchError(QStringLiteral("Empty command line"));
    const QString& word = arguments.first();
    const QString program = word.contains(u'/') ? (IsExecutableFile(word) ? word : QString())
                                                : ALauncher.FindProgram(word);
    if (program.isEmpty())
        throw ELaunchError(QStringLiteral("Program not found: %1").arg(word));
    arguments.first() = program;
    return arguments;
}

QStringList OpenCommand(const IProcessLauncher& ALauncher, const QString& pathOrAddress) {
    if (pathOrAddress.isEmpty())
        throw ELaunchError(QStringLiteral("Nothing to open"));
    if (IsExecutableFile(pathOrAddress))
        return {pathOrAddress};
    const QString opener = ALauncher.FindProgram(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        throw ELaunchError(QStringLiteral("Program not found: xdg-open"));
    return {opener, pathOrAddress};
}

std::vector<QByteArray> ChildEnvironment() {
    // A launcher that wraps the installer names the variables that are only the installer's
    // own (a font set-up inside a folder removed when the installer ends, say); the programs
    // it starts get the rest.
    const QList<QByteArray> own = qgetenv("VELMORA_PRIVATE_ENV").split(':');
    std::vector<QByteArray> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const QByteArray text(*entry);
        const QByteArray name = text.left(text.indexOf('='));
        if (name == "VELMORA_PRIVATE_ENV" || (!name.isEmpty() && own.contains(name)))
            continue;
        result.push_back(text);
    }
    return result;
}

TProcessLauncher::TProcessLauncher(QString searchPath)
    : FSearchPath(searchPath.split(u':', Qt::SkipEmptyParts)) {}

QString TProcessLauncher::FindProgram(const QString& name) const {
    if (name.isEmpty() || name.contains(u'/'))
        return QString();
    for (const QString& folder : FSearchPath) {
        const QString candidate = folder + u'/' + name;
        if (IsExecutableFile(candidate))
            return candidate;
    }
    return QString();
}

void TProcessLauncher::StartHidden(const QString& commandLine) {
    Spawn(HiddenCommand(*this, commandLine));
}

void TProcessLauncher::RunHidden(const QString& commandLine, int timeoutMs) {
    pid_t pid = 0;
    {
        const TCallerUmaskScope mask;
        pid = SpawnSilent(HiddenCommand(*this, commandLine));
    }
    WaitThenStopGroup(pid, timeoutMs);
}

void TProcessLauncher::Open(const QString& pathOrAddress) {
    Spawn(OpenCommand(*this, pathOrAddress));
}

void TProcessLauncher::Spawn(const QStringList& arguments) {
    pid_t pid = 0;
    {
        // The person's program creates files with the mask the installer was started with.
        const TCallerUmaskScope mask;
        pid = SpawnSilent(arguments);
    }
    ReapInBackground(pid);
}

} // namespace velmora
