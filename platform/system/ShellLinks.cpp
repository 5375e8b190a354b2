#include "platform/system/ShellLinks.h"

#include "platform/system/ReplaceFile.h"

#include <QFile>
#include <QFileInfo>
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

} // namespace

QByteArray TDesktopEntryLinks::EntryText(const TShellLink& link, const QString& path) {
    QString name = QFileInfo(path).fileName();
    if (name.endsWith(QStringLiteral(".desktop")))
        name.chop(8);
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=%1\n"
                                        "Exec=%2\n"
                                        "Path=%3\n")
                             .arg(EscapeValue(name), EscapeValue(QuoteExecArgument(link.Target)),
                                  EscapeValue(link.WorkingFolder));
    return text.toUtf8();
}

bool TDesktopEntryLinks::Save(const TShellLink& link, const QString& path) {
    const QFileInfo info(path);
    const int folder =
        ::open(QFile::encodeName(info.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return false;
    const QByteArray text = EntryText(link, path);
    // A link planted at the shortcut's path is replaced, never written through; desktops
    // refuse to launch entries that are not marked executable.
    const bool saved =
        ReplaceFileAt(folder, QFile::encodeName(info.fileName()), 0755, [&text](int fd) {
            return WriteAllTo(fd, text.constData(), static_cast<size_t>(text.size()));
        });
    ::close(folder);
    return saved;
}

} // namespace velmora
