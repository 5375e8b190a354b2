#include "platform/system/ShellLinks.h"

#include "platform/system/OwnedFolder.h"
#include "platform/system/ReplaceFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
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

bool TDesktopEntryLinks::Save(const TShellLink& link, const QString& path) {
    // The owner's desktop may not exist yet; it is made as theirs, never by following a link.
    const int folder = OpenFolderOf(path, OnBehalf(path));
    if (folder < 0)
        return false;
    const QByteArray text = EntryText(link, path);
    const bool onBehalf = OnBehalf(path);
    const uid_t uid = onBehalf ? FOwner->Uid : 0;
    const gid_t gid = onBehalf ? FOwner->Gid : 0;
    // A link planted at the shortcut's path is replaced, never written through; desktops
    // refuse to launch entries that are not marked executable. A file for the desktop user
    // is theirs before it gets its name, so they can edit or delete it like their own.
    const bool saved =
        ReplaceFileAt(folder, QFile::encodeName(QFileInfo(path).fileName()), 0755, [&](int fd) {
            if (onBehalf && ::fchown(fd, uid, gid) != 0)
                return false;
            return WriteAllTo(fd, text.constData(), static_cast<size_t>(text.size()));
        });
    ::close(folder);
    return saved;
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
