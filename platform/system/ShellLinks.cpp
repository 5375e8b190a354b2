#include "platform/system/ShellLinks.h"

#include "platform/system/OwnedFolder.h"
#include "platform/system/ReplaceFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

// The escapes every string value of a desktop entry needs.
QString EscapeValue(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        default:
            out += c;
        }
    }
    return out;
}

// An Exec argument is always quoted so that spaces and shell characters in install paths
// stay one argument; "%" is doubled because it starts field codes.
QString QuoteExecArgument(const QString& argument) {
    QString out = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            out += u'\\';
        if (c == u'%')
            out += u'%';
        out += c;
    }
    return out + u'"';
}

// Qt programs name their window class after their executable file, which is what a dock
// matches a running window to its launcher by.
QString WindowClassOf(const QString& target) {
    return QFileInfo(target).fileName();
}

} // namespace

TDesktopEntryLinks::TDesktopEntryLinks(QString desktopFolder, std::optional<TDesktopUser> owner,
                                       QString toolSearchPath, QString runtimeRoot)
    : FDesktopFolder(QDir::cleanPath(desktopFolder)), FOwner(std::move(owner)),
      FTools(std::move(toolSearchPath), std::move(runtimeRoot)) {}

QByteArray TDesktopEntryLinks::EntryText(const TShellLink& link, const QString& path) {
    QString name = QFileInfo(path).fileName();
    if (name.endsWith(QStringLiteral(".desktop")))
        name.chop(8);
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Name=%1\n")
                       .arg(EscapeValue(name));
    if (!link.Comment.isEmpty())
        text += QStringLiteral("Comment=%1\n").arg(EscapeValue(link.Comment));
    text += QStringLiteral("Exec=%1\n"
                           "Path=%2\n")
                .arg(EscapeValue(QuoteExecArgument(link.Target)), EscapeValue(link.WorkingFolder));
    if (!link.Icon.isEmpty())
        text += QStringLiteral("Icon=%1\n").arg(EscapeValue(link.Icon));
    // The product is a window program: no terminal is opened for it.
    text += QStringLiteral("Terminal=false\n");
    if (!link.Categories.isEmpty())
        text += QStringLiteral("Categories=%1\n").arg(EscapeValue(link.Categories));
    const QString windowClass = WindowClassOf(link.Target);
    if (!windowClass.isEmpty())
        text += QStringLiteral("StartupWMClass=%1\n").arg(EscapeValue(windowClass));
    return text.toUtf8();
}

bool TDesktopEntryLinks::OnBehalf(const QString& path) const {
    return FOwner && ::geteuid() == 0 && IsBelowFolder(path, FOwner->Home);
}

bool TDesktopEntryLinks::IsOnDesktop(const QString& path) const {
    return !FDesktopFolder.isEmpty() && QDir::cleanPath(QFileInfo(path).path()) == FDesktopFolder;
}

int TDesktopEntryLinks::OpenFolderOf(const QString& path, bool create) const {
    const QString folder = QFileInfo(path).path();
    if (OnBehalf(path))
        return OpenFolderOnBehalf(FOwner->Home, folder, FOwner->Uid, FOwner->Gid, create);
    // Root removing a shortcut it once made for someone else (another person ran the
    // installer, or it runs from a root shell now): that person's folders are walked without
    // following a link they may have put in the way since.
    if (::geteuid() == 0)
        if (const std::optional<TDesktopUser> owner = HomeOwnerOf(path); owner && owner->Uid != 0)
            return OpenFolderOnBehalf(owner->Home, folder, owner->Uid, owner->Gid, false);
    return ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

bool TDesktopEntryLinks::WriteAt(const QString& path, unsigned mode,
                                 const std::function<bool(int fd)>& fill) {
    // The owner's desktop may not exist yet; it is made as theirs, never by following a link.
    const int folder = OpenFolderOf(path, OnBehalf(path));
    if (folder < 0)
        return false;
    const bool onBehalf = OnBehalf(path);
    const uid_t uid = onBehalf ? FOwner->Uid : 0;
    const gid_t gid = onBehalf ? FOwner->Gid : 0;
    // A link planted at the shortcut's path is replaced, never written through. A file for
    // the desktop user is theirs before it gets its name, so they can edit or delete it like
    // their own. The entry is on the disk before the install record says it was made.
    const bool saved = ReplaceFileAt(
        folder, QFile::encodeName(QFileInfo(path).fileName()), mode,
        [&](int fd) { return (!onBehalf || ::fchown(fd, uid, gid) == 0) && fill(fd); }, true);
    const int error = errno;
    ::close(folder);
    errno = error;
    return saved;
}

bool TDesktopEntryLinks::Save(const TShellLink& link, const QString& path) {
    const QByteArray text = EntryText(link, path);
    // Desktops refuse to launch entries that are not marked executable.
    return WriteAt(path, 0755, [&](int fd) {
        return WriteAllTo(fd, text.constData(), static_cast<size_t>(text.size()));
    });
}

TShortcutSnapshot TDesktopEntryLinks::Snapshot(const QString& path) {
    TShortcutSnapshot snapshot;
    const int folder = OpenFolderOf(path, false);
    if (folder < 0) {
        if (errno != ENOENT)
            snapshot.Kind = TShortcutSnapshot::TKind::Other;
        return snapshot;
    }
    const QByteArray name = QFile::encodeName(QFileInfo(path).fileName());
    struct stat info {};
    if (::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT)
            snapshot.Kind = TShortcutSnapshot::TKind::Other;
    } else if (S_ISLNK(info.st_mode)) {
        QByteArray target(4096, '\0');
        const ssize_t n = ::readlinkat(folder, name.constData(), target.data(),
                                       static_cast<size_t>(target.size()));
        snapshot.Kind = n > 0 && n < target.size() ? TShortcutSnapshot::TKind::Link
                                                   : TShortcutSnapshot::TKind::Other;
        snapshot.Bytes = target.left(n > 0 ? n : 0);
    } else {
        snapshot.Kind = TShortcutSnapshot::TKind::Other;
        // Never waiting on a pipe someone put there; only a plain file of entry size is kept.
        const int fd = S_ISREG(info.st_mode) && info.st_size <= TShortcutSnapshot::KMaxBytes
                           ? ::openat(folder, name.constData(),
                                      O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)
                           : -1;
        struct stat opened {};
        if (fd >= 0 && ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
            opened.st_size <= TShortcutSnapshot::KMaxBytes) {
            QByteArray bytes(static_cast<qsizetype>(opened.st_size), '\0');
            qsizetype done = 0;
            while (done < bytes.size()) {
                const ssize_t n =
                    ::read(fd, bytes.data() + done, static_cast<size_t>(bytes.size() - done));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    break;
                done += n;
            }
            if (done == bytes.size()) {
                snapshot.Kind = TShortcutSnapshot::TKind::File;
                snapshot.Bytes = bytes;
                snapshot.Mode = opened.st_mode & 07777;
            }
        }
        if (fd >= 0)
            ::close(fd);
    }
    ::close(folder);
    return snapshot;
}

bool TDesktopEntryLinks::Restore(const QString& path, const TShortcutSnapshot& snapshot) {
    switch (snapshot.Kind) {
    case TShortcutSnapshot::TKind::Absent:
        return Remove(path) == 0;
    case TShortcutSnapshot::TKind::Other:
        return true; // never replaced, so nothing to put back
    case TShortcutSnapshot::TKind::File:
        return WriteAt(path, snapshot.Mode, [&](int fd) {
            return WriteAllTo(fd, snapshot.Bytes.constData(),
                              static_cast<size_t>(snapshot.Bytes.size()));
        });
    case TShortcutSnapshot::TKind::Link: {
        const int folder = OpenFolderOf(path, false);
        if (folder < 0)
            return false;
        const QByteArray name = QFile::encodeName(QFileInfo(path).fileName());
        const QByteArray temporary = ReplacementName(name);
        ::unlinkat(folder, temporary.constData(), 0);
        bool ok = ::symlinkat(snapshot.Bytes.constData(), folder, temporary.constData()) == 0;
        if (ok && OnBehalf(path))
            ok = ::fchownat(folder, temporary.constData(), FOwner->Uid, FOwner->Gid,
                            AT_SYMLINK_NOFOLLOW) == 0;
        ok = ok && ::renameat(folder, temporary.constData(), folder, name.constData()) == 0;
        if (!ok)
            ::unlinkat(folder, temporary.constData(), 0);
        ::fsync(folder);
        ::close(folder);
        return ok;
    }
    }
    return false;
}

QString TDesktopEntryLinks::Trust(const QString& path) {
    if (!IsOnDesktop(path))
        return QString();
    return FTools.MarkTrusted(path, OnBehalf(path) ? FOwner : std::nullopt);
}

int TDesktopEntryLinks::Remove(const QString& path) {
    if (IsOnDesktop(path))
        FTools.ForgetTrust(path, OnBehalf(path) ? FOwner : std::nullopt);
    const int folder = OpenFolderOf(path, false);
    if (folder < 0)
        return errno == ENOENT ? 0 : errno;
    int error = 0;
    if (::unlinkat(folder, QFile::encodeName(QFileInfo(path).fileName()).constData(), 0) != 0 &&
        errno != ENOENT)
        error = errno;
    ::close(folder);
    return error;
}

QString TDesktopEntryLinks::RefreshMenu(const QString& folder) {
    return FTools.RefreshMenu(folder);
}

} // namespace velmora
