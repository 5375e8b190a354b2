#include "platform/system/LogFile.h"

#include "platform/system/DebugOutput.h"

#include <QDateTime>
#include <QDir>
#include <QHash>
#include <QSet>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace velmora {
namespace {

struct TLogFolders {
    std::mutex Lock;
    QString Primary;
    QString Fallback;
    QHash<QString, QString> LastPath;
    QSet<QString> Warned;
    std::function<void(const QString&, const QString&)> Observer;
};

TLogFolders& Folders() {
    static TLogFolders folders;
    return folders;
}

} // namespace

QString FallbackLogFolder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty())
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/Velmora");
}

namespace {

// One write() call per entry, so concurrent writers (a second installer) never interleave
// inside a line. A link at the log's path is not followed: the installer runs with rights
// that would let a planted link append to any file.
bool AppendTo(const QString& path, const QByteArray& entry) {
    const QByteArray native = QFile::encodeName(path);
    const int fd =
        ::open(native.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    qsizetype done = 0;
    while (done < entry.size()) {
        const ssize_t n =
            ::write(fd, entry.constData() + done, static_cast<size_t>(entry.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    ::close(fd);
    return done == entry.size();
}

} // namespace

void SetLogFolders(const QString& primary, const QString& fallback) {
    TLogFolders& f = Folders();
    std::lock_guard guard(f.Lock);
    f.Primary = primary;
    f.Fallback = fallback;
    f.Warned.clear();
}

void SetLogObserver(std::function<void(const QString& message, const QString& fileName)> observer) {
    TLogFolders& f = Folders();
    std::lock_guard guard(f.Lock);
    f.Observer = std::move(observer);
}

QString LastLogFilePath(const QString& fileName) {
    TLogFolders& f = Folders();
    std::lock_guard guard(f.Lock);
    return f.LastPath.value(fileName);
}

void WriteLogFile(const QString& message, const QString& fileName) {
    if (!fileName.isEmpty()) {
        const QString stamp =
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        const QByteArray entry =
            (stamp + QStringLiteral("  ") + message + QStringLiteral("\r\n")).toUtf8();

        TLogFolders& f = Folders();
        std::lock_guard guard(f.Lock);
        const QString primary = f.Primary.isEmpty() ? ExecutableFolder() : f.Primary;
        const QString fallback = f.Fallback.isEmpty() ? FallbackLogFolder() : f.Fallback;
        QString written;
        if (AppendTo(primary + u'/' + fileName, entry)) {
            written = primary + u'/' + fileName;
        } else if (QDir().mkpath(fallback) && AppendTo(fallback + u'/' + fileName, entry)) {
            written = fallback + u'/' + fileName;
            if (!f.Warned.contains(fileName)) {
                f.Warned.insert(fileName);
                OutputDebugString(QStringLiteral("log: cannot write %1 in %2, using %3")
                                      .arg(fileName, primary, fallback));
            }
        } else if (!f.Warned.contains(fileName)) {
            f.Warned.insert(fileName);
            OutputDebugString(
                QStringLiteral("log: cannot write %1 anywhere; messages go to standard error only")
                    .arg(fileName));
        }
        f.LastPath.insert(fileName, written);
    }
    OutputDebugString(message);
    std::function<void(const QString&, const QString&)> observer;
    {
        TLogFolders& f = Folders();
        std::lock_guard guard(f.Lock);
        observer = f.Observer;
    }
    if (observer)
        observer(message, fileName);
}

} // namespace velmora
