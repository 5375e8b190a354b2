#include "platform/system/UserDirs.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

const QByteArray KDesktopKey = "XDG_DESKTOP_DIR";

// One "NAME=value" line split at its first "="; blank lines and comments are skipped.
struct TUserDirsLine {
    QByteArray Name;
    QByteArray Value;
};

std::optional<TUserDirsLine> SplitLine(const QByteArray& raw) {
    const QByteArray line = raw.trimmed();
    if (line.isEmpty() || line.startsWith('#'))
        return std::nullopt;
    const qsizetype equals = line.indexOf('=');
    if (equals <= 0)
        return std::nullopt;
    return TUserDirsLine{line.left(equals).trimmed(), line.mid(equals + 1).trimmed()};
}

// The quoted value without its quotes and escapes; the reason it is malformed otherwise.
std::optional<QByteArray> Unquote(const QByteArray& value, QString& error) {
    if (value.size() < 2 || !value.startsWith('"') || !value.endsWith('"')) {
        error = QStringLiteral("the value is not in double quotes");
        return std::nullopt;
    }
    QByteArray out;
    for (qsizetype i = 1; i + 1 < value.size(); ++i) {
        char c = value.at(i);
        if (c == '\\') {
            if (i + 2 >= value.size()) {
                error = QStringLiteral("the value ends in an escape");
                return std::nullopt;
            }
            c = value.at(++i);
        } else if (c == '"') {
            error = QStringLiteral("the value holds an unescaped quote");
            return std::nullopt;
        }
        out += c;
    }
    return out;
}

// The absolute folder a valid value names; the reason it is refused otherwise.
std::optional<QString> ValidatedFolder(const QByteArray& bytes, const QString& home,
                                       QString& error) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            error = QStringLiteral("the value holds a control character");
            return std::nullopt;
        }
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        error = QStringLiteral("the value is not UTF-8");
        return std::nullopt;
    }
    if (text == QLatin1String("$HOME") || text.startsWith(QLatin1String("$HOME/")))
        text = home + text.mid(5);
    else if (!text.startsWith(u'/')) {
        error = QStringLiteral("the value is neither absolute nor below $HOME");
        return std::nullopt;
    }
    if (text.size() >= PATH_MAX) {
        error = QStringLiteral("the value is too long");
        return std::nullopt;
    }
    for (const QString& part : text.split(u'/')) {
        if (part == QLatin1String(".") || part == QLatin1String("..")) {
            error = QStringLiteral("the value holds a . or .. component");
            return std::nullopt;
        }
    }
    return QDir::cleanPath(text);
}

// Opens name inside folder without following a link; -1 with errno.
int OpenNoFollow(int folder, const char* name, int flags) {
    return ::openat(folder, name, flags | O_NOFOLLOW | O_CLOEXEC);
}

class TFd {
public:
    explicit TFd(int fd) : FFd(fd) {}
    ~TFd() {
        if (FFd >= 0)
            ::close(FFd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return FFd; }

private:
    int FFd;
};

QString ErrnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

TUserDirsDesktop DesktopFromUserDirs(const QByteArray& text, const QString& home) {
    TUserDirsDesktop result;
    for (const QByteArray& raw : text.split('\n')) {
        const std::optional<TUserDirsLine> line = SplitLine(raw);
        if (!line || line->Name != KDesktopKey)
            continue;
        QString error;
        std::optional<QByteArray> value = Unquote(line->Value, error);
        std::optional<QString> folder =
            value ? ValidatedFolder(*value, home, error) : std::optional<QString>();
        if (folder) {
            result.Folder = *folder;
            result.Error.clear();
        } else {
            result.Error = error;
        }
    }
    return result;
}

std::optional<QByteArray> ReadUserDirsOf(const TDesktopUser& user, QString& error) {
    // The home folder is the administrator's choice (the user database), so it is followed;
    // everything below it is the user's and is not.
    const TFd home(
        ::open(QFile::encodeName(user.Home).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (home.Get() < 0)
        return std::nullopt;
    const TFd config(OpenNoFollow(home.Get(), ".config", O_RDONLY | O_DIRECTORY));
    if (config.Get() < 0) {
        if (errno != ENOENT)
            error = QStringLiteral(".config is not a folder: ") + ErrnoText();
        return std::nullopt;
    }
    // Non-blocking, so a FIFO planted there cannot hold the installer up.
    const TFd file(OpenNoFollow(config.Get(), "user-dirs.dirs", O_RDONLY | O_NONBLOCK | O_NOCTTY));
    if (file.Get() < 0) {
        if (errno != ENOENT)
            error = QStringLiteral("user-dirs.dirs cannot be opened: ") + ErrnoText();
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        error = QStringLiteral("user-dirs.dirs is not a regular file");
        return std::nullopt;
    }
    if (info.st_uid != user.Uid && info.st_uid != 0) {
        error = QStringLiteral("user-dirs.dirs belongs to another user");
        return std::nullopt;
    }
    if (info.st_size > KUserDirsMaxSize) {
        error = QStringLiteral("user-dirs.dirs is too large");
        return std::nullopt;
    }
    QByteArray bytes(static_cast<qsizetype>(info.st_size), '\0');
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::read(file.Get(), bytes.data() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = QStringLiteral("user-dirs.dirs cannot be read: ") + ErrnoText();
            return std::nullopt;
        }
        if (n == 0)
            break;
        done += n;
    }
    bytes.truncate(done);
    return bytes;
}

QString DesktopFolderOf(const TDesktopUser& user, QString& error) {
    const QString home = QDir::cleanPath(user.Home);
    // A home of "/" (or none) confines nothing, so no folder can be the person's own.
    if (!home.startsWith(u'/') || home == QStringLiteral("/")) {
        error = QStringLiteral("the account has no home folder of its own");
        return QString();
    }
    const QString fallback = home + QStringLiteral("/Desktop");
    const std::optional<QByteArray> text = ReadUserDirsOf(user, error);
    if (!text)
        return fallback;
    const TUserDirsDesktop named = DesktopFromUserDirs(*text, home);
    if (!named.Error.isEmpty())
        error = named.Error;
    if (named.Folder.isEmpty())
        return fallback;
    // Root writes there on the person's behalf: a folder outside their own home (another
    // user's, the system's menus or autostart) is not a desktop root may write to for them.
    if (named.Folder != home && !named.Folder.startsWith(home + u'/')) {
        error = QStringLiteral("the desktop folder lies outside the home folder");
        return fallback;
    }
    return named.Folder;
}

} // namespace velmora
