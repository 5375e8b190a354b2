#include "platform/system/DesktopTools.h"

#include "platform/system/SessionBus.h"
#include "platform/system/UserProcessLauncher.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace velmora {
namespace {

// GNOME's file manager and desktop ask for this string attribute; Xfce's ask for the file's
// SHA-256 in theirs, so an edited launcher loses its trust.
const QString KTrustedKey = QStringLiteral("metadata::trusted");
const QString KChecksumKey = QStringLiteral("metadata::xfce-exe-checksum");

// Root acting for another person runs their helpers as them.
bool ActsFor(const std::optional<TDesktopUser>& owner) {
    return owner && ::geteuid() == 0 && owner->Uid != 0;
}

// The exit status, or -1 when the helper had to be stopped.
int WaitFor(pid_t pid, int timeoutMs) {
    int status = 0;
    for (int waited = 0;; waited += 10) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (done < 0 && errno != EINTR)
            return -1;
        if (waited >= timeoutMs)
            break;
        QThread::msleep(10);
    }
    ::kill(-pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return -1;
}

// The shortcut is in the person's folder and may have been swapped since it was written:
// read only a plain file of desktop-entry size, never through a link, never waiting on a
// pipe or device.
QString Sha256Of(const QString& path) {
    constexpr qint64 KLimit = 64 * 1024;
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return QString();
    struct stat info {};
    QByteArray data;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= KLimit) {
        data.resize(static_cast<qsizetype>(info.st_size));
        const ssize_t got = ::read(fd, data.data(), static_cast<size_t>(data.size()));
        data.resize(got < 0 ? 0 : static_cast<qsizetype>(got));
        if (got != static_cast<ssize_t>(info.st_size))
            data.clear();
    }
    ::close(fd);
    if (data.isEmpty())
        return QString();
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}

} // namespace

TDesktopTools::TDesktopTools(QString searchPath, QString runtimeRoot)
    : FSearchPath(searchPath.split(u':', Qt::SkipEmptyParts)),
      FRuntimeRoot(std::move(runtimeRoot)) {}

bool TDesktopTools::HasSession(const std::optional<TDesktopUser>& owner) const {
    if (ActsFor(owner))
        return QFileInfo::exists(QStringLiteral("%1/%2/bus").arg(FRuntimeRoot).arg(owner->Uid));
    return !SessionBusAddress().isEmpty();
}

QString TDesktopTools::SetMetadata(const QStringList& arguments,
                                   const std::optional<TDesktopUser>& owner) const {
    if (!HasSession(owner))
        return QString();
    return Run(QStringLiteral("gio"), QStringList{QStringLiteral("set")} + arguments, owner);
}

QString TDesktopTools::Find(const QString& tool) const {
    for (const QString& folder : FSearchPath) {
        const QFileInfo candidate(folder + u'/' + tool);
        if (candidate.isFile() && candidate.isExecutable())
            return candidate.absoluteFilePath();
    }
    return QString();
}

QString TDesktopTools::Run(const QString& tool, const QStringList& arguments,
                           const std::optional<TDesktopUser>& as) const {
    const QString program = Find(tool);
    if (program.isEmpty())
        return QString();
    const QStringList command = QStringList{program} + arguments;
    try {
        pid_t pid = -1;
        if (ActsFor(as)) {
            const QString runtimeDir = QStringLiteral("%1/%2").arg(FRuntimeRoot).arg(as->Uid);
            pid = SpawnAsUser(*as, command,
                              DesktopUserEnvironment(*as, QProcessEnvironment::systemEnvironment(),
                                                     runtimeDir, QFileInfo(runtimeDir).isDir()));
        } else {
            pid = SpawnSilent(command);
        }
        const int status = WaitFor(pid, KTimeoutMs);
        if (status == 0)
            return QString();
        if (status < 0)
            return QStringLiteral("%1 did not finish in time").arg(tool);
        return QStringLiteral("%1 failed with status %2").arg(tool).arg(status);
    } catch (const EVelmoraError& error) {
        return error.Message();
    }
}

QString TDesktopTools::MarkTrusted(const QString& path,
                                   const std::optional<TDesktopUser>& owner) const {
    QString error = SetMetadata({path, KTrustedKey, QStringLiteral("true")}, owner);
    const QString checksum = Sha256Of(path);
    if (error.isEmpty() && !checksum.isEmpty())
        error = SetMetadata(
            {QStringLiteral("-t"), QStringLiteral("string"), path, KChecksumKey, checksum}, owner);
    return error;
}

QString TDesktopTools::ForgetTrust(const QString& path,
                                   const std::optional<TDesktopUser>& owner) const {
    QString error;
    for (const QString& key : {KTrustedKey, KChecksumKey}) {
        const QString failed =
            SetMetadata({QStringLiteral("-t"), QStringLiteral("unset"), path, key}, owner);
        if (error.isEmpty())
            error = failed;
    }
    return error;
}

QString TDesktopTools::RefreshMenu(const QString& folder) const {
    return Run(QStringLiteral("update-desktop-database"), {QStringLiteral("-q"), folder},
               std::nullopt);
}

} // namespace velmora
