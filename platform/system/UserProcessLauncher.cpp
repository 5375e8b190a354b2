#include "platform/system/UserProcessLauncher.h"

#include "platform/system/CStrings.h"
#include "platform/system/InstallerUmask.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace velmora {

namespace {

std::vector<gid_t> GroupsOf(const TDesktopUser& user) {
    const QByteArray name = user.Name.toLocal8Bit();
    int count = 32;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    while (::getgrouplist(name.constData(), user.Gid, groups.data(), &count) < 0)
        groups.resize(static_cast<size_t>(count));
    groups.resize(static_cast<size_t>(count));
    return groups;
}

[[noreturn]] void FailChild(int report) {
    const int error = errno;
    [[maybe_unused]] const ssize_t n = ::write(report, &error, sizeof error);
    ::_exit(127);
}

} // namespace

TUserProcessLauncher::TUserProcessLauncher(QString searchPath, std::optional<TDesktopUser> user,
                                           QStringList environment)
    : FPlain(std::move(searchPath)), FUser(std::move(user)), FEnvironment(std::move(environment)) {}

std::unique_ptr<TUserProcessLauncher> TUserProcessLauncher::ForThisProcess() {
    const QProcessEnvironment current = QProcessEnvironment::systemEnvironment();
    const QString searchPath = current.value(QStringLiteral("PATH"));
    const std::optional<uid_t> uid = DesktopUserId(::geteuid(), current);
    std::optional<TDesktopUser> user = uid ? LookUpDesktopUser(*uid) : std::nullopt;
    if (!user)
        return std::make_unique<TUserProcessLauncher>(searchPath, std::nullopt, QStringList());
    const QString runtimeDir = QStringLiteral("/run/user/%1").arg(user->Uid);
    QStringList environment =
        DesktopUserEnvironment(*user, current, runtimeDir, QFileInfo(runtimeDir).isDir());
    return std::make_unique<TUserProcessLauncher>(searchPath, std::move(user),
                                                  std::move(environment));
}

QString TUserProcessLauncher::FindProgram(const QString& name) const {
    return FPlain.FindProgram(name);
}

void TUserProcessLauncher::StartHidden(const QString& commandLine) {
    if (!FUser) {
        FPlain.StartHidden(commandLine);
        return;
    }
    Spawn(HiddenCommand(*this, commandLine));
}

void TUserProcessLauncher::Open(const QString& pathOrAddress) {
    if (!FUser) {
        FPlain.Open(pathOrAddress);
        return;
    }
    Spawn(OpenCommand(*this, pathOrAddress));
}

void TUserProcessLauncher::Spawn(const QStringList& arguments) {
    ReapInBackground(SpawnAsUser(*FUser, arguments, FEnvironment));
}

pid_t SpawnAsUser(const TDesktopUser& user, const QStringList& arguments,
                  const QStringList& environment) {
    TCStrings argv(arguments);
    TCStrings envp(environment);
    const std::vector<gid_t> groups = GroupsOf(user);
    const QByteArray home = QFile::encodeName(user.Home);
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        throw ELaunchError(
            QStringLiteral("Cannot start %1: %2")
                .arg(arguments.first(), QString::fromLocal8Bit(std::strerror(errno))));

    const mode_t mask = CallerUmask();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(report[0]);
        ::setsid();
        const int null = ::open("/dev/null", O_RDWR);
        if (null < 0)
            FailChild(report[1]);
        for (int fd = 0; fd <= 2; ++fd)
            ::dup2(null, fd);
        // Groups first, then the group, then the user: after setuid nothing else may change.
        if (::setgroups(groups.size(), groups.data()) != 0 || ::setgid(user.Gid) != 0 ||
            ::setuid(user.Uid) != 0)
            FailChild(report[1]);
        if (::getuid() != user.Uid || ::geteuid() != user.Uid || ::setuid(0) == 0)
            FailChild(report[1]);
        if (::chdir(home.constData()) != 0 && ::chdir("/") != 0)
            FailChild(report[1]);
        ::umask(mask);
        ::execve(argv.Data()[0], argv.Data(), envp.Data());
        FailChild(report[1]);
    }
    const int forkError = errno;
    ::close(report[1]);
    if (pid < 0) {
        ::close(report[0]);
        throw ELaunchError(
            QStringLiteral("Cannot start %1: %2")
                .arg(arguments.first(), QString::fromLocal8Bit(std::strerror(forkError))));
    }
    int childError = 0;
    ssize_t got = 0;
    while ((got = ::read(report[0], &childError, sizeof childError)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    if (got > 0) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        throw ELaunchError(QStringLiteral("Cannot start %1 as %2: %3")
                               .arg(arguments.first(), user.Name,
                                    QString::fromLocal8Bit(std::strerror(childError))));
    }
    return pid;
}

} // namespace velmora
