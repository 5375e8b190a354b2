#include "platform/system/ProcessLauncher.h"

#include "platform/system/CStrings.h"
#include "platform/system/InstallerUmask.h"

#include <QFileInfo>
#include <QProcess>
#include <cerrno>
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

// Nobody waits for a started program, but its exit status must still be collected so that
// it does not linger as a zombie for the rest of the install.
void ReapInBackground(pid_t pid) {
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

class TSpawnSetup {
public:
    TSpawnSetup() {
        posix_spawn_file_actions_init(&Actions);
        posix_spawnattr_init(&Attributes);
        for (int fd = 0; fd <= 2; ++fd)
            posix_spawn_file_actions_addopen(&Actions, fd, "/dev/null",
                                             fd == 0 ? O_RDONLY : O_WRONLY, 0);
        // A session of its own: closing the installer's terminal must not end the program.
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

QString TProcessLauncher::Resolve(const QString& program) const {
    if (program.contains(u'/'))
        return IsExecutableFile(program) ? program : QString();
    return FindProgram(program);
}

void TProcessLauncher::StartHidden(const QString& commandLine) {
    QStringList arguments = QProcess::splitCommand(commandLine);
    if (arguments.isEmpty())
        throw ELaunchError(QStringLiteral("Empty command line"));
    const QString program = Resolve(arguments.first());
    if (program.isEmpty())
        throw ELaunchError(QStringLiteral("Program not found: %1").arg(arguments.first()));
    arguments.first() = program;
    Spawn(arguments);
}

void TProcessLauncher::Open(const QString& pathOrAddress) {
    if (pathOrAddress.isEmpty())
        throw ELaunchError(QStringLiteral("Nothing to open"));
    if (IsExecutableFile(pathOrAddress)) {
        Spawn({pathOrAddress});
        return;
    }
    const QString opener = FindProgram(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        throw ELaunchError(QStringLiteral("Program not found: xdg-open"));
    Spawn({opener, pathOrAddress});
}

void TProcessLauncher::Spawn(const QStringList& arguments) {
    TCStrings argv(arguments);
    TCStrings envp(ChildEnvironment());

    TSpawnSetup setup;
    pid_t pid = 0;
    int rc = 0;
    {
        // The person's program creates files with the mask the installer was started with.
        const TCallerUmaskScope mask;
        rc = posix_spawn(&pid, argv.Data()[0], &setup.Actions, &setup.Attributes, argv.Data(),
                         envp.Data());
    }
    if (rc != 0)
        throw ELaunchError(QStringLiteral("Cannot start %1: %2")
                               .arg(arguments.first(), QString::fromLocal8Bit(std::strerror(rc))));
    ReapInBackground(pid);
}

} // namespace velmora
