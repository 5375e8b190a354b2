#include "installer/TransactionJournal.h"

#include "platform/system/ReplaceFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

const QByteArray KHeader = "velmora-journal\t1";
constexpr qint64 KMaxJournalBytes = qint64(256) << 20;

QString ErrnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Fields never hold a tab or a line feed raw; backslash escapes them and other controls.
QByteArray Escape(const QString& field) {
    QByteArray out;
    for (const char c : field.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\')
            out += "\\\\";
        else if (byte < 0x20 || byte == 0x7F)
            out += "\\x" + QByteArray::number(byte, 16).rightJustified(2, '0');
        else
            out += c;
    }
    return out;
}

std::optional<QString> Unescape(const QByteArray& field) {
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field.at(i);
        if (c != '\\') {
            out += c;
            continue;
        }
        if (i + 1 < field.size() && field.at(i + 1) == '\\') {
            out += '\\';
            ++i;
        } else if (i + 3 < field.size() && field.at(i + 1) == 'x') {
            bool ok = false;
            const int byte = field.mid(i + 2, 2).toInt(&ok, 16);
            if (!ok)
                return std::nullopt;
            out += static_cast<char>(byte);
            i += 3;
        } else {
            return std::nullopt;
        }
    }
    return QString::fromUtf8(out);
}

QByteArray Line(const QStringList& fields) {
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += '\t';
        line += Escape(fields.at(i));
    }
    return line + '\n';
}

bool IsPlainText(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    return true;
}

bool IsAbsoluteClean(const QString& path) {
    return path.startsWith(u'/') && IsPlainText(path) && QDir::cleanPath(path) == path;
}

bool IsAbsoluteFolder(const QString& folder) {
    if (folder == QStringLiteral("/"))
        return true;
    return folder.endsWith(u'/') && IsAbsoluteClean(folder.chopped(1));
}

bool IsRelativePath(const QString& path) {
    if (path.isEmpty() || path.startsWith(u'/') || !IsPlainText(path))
        return false;
    for (const QString& part : path.split(u'/'))
        if (part.isEmpty() || part == u"." || part == u"..")
            return false;
    return true;
}

bool SyncFolderOf(const QString& file) {
    const int fd = ::open(QFile::encodeName(QFileInfo(file).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool WriteSynced(int fd, const QByteArray& bytes) {
    return WriteAllTo(fd, bytes.constData(), static_cast<size_t>(bytes.size())) &&
           ::fdatasync(fd) == 0;
}

QString KindName(TShortcutSnapshot::TKind kind) {
    switch (kind) {
    case TShortcutSnapshot::TKind::Absent:
        return QStringLiteral("absent");
    case TShortcutSnapshot::TKind::File:
        return QStringLiteral("file");
    case TShortcutSnapshot::TKind::Link:
        return QStringLiteral("link");
    case TShortcutSnapshot::TKind::Other:
        return QStringLiteral("other");
    }
    return QString();
}

std::optional<TShortcutSnapshot::TKind> KindOf(const QString& name) {
    for (const auto kind : {TShortcutSnapshot::TKind::Absent, TShortcutSnapshot::TKind::File,
                            TShortcutSnapshot::TKind::Link, TShortcutSnapshot::TKind::Other})
        if (KindName(kind) == name)
            return kind;
    return std::nullopt;
}

QString ModeName(TOldFiles mode) {
    switch (mode) {
    case TOldFiles::None:
        return QStringLiteral("none");
    case TOldFiles::Legacy:
        return QStringLiteral("legacy");
    case TOldFiles::Manifest:
        return QStringLiteral("manifest");
    }
    return QString();
}

// Layer 2 and 3 of reading: one line's fields checked and taken into the journal.
class TJournalReader {
public:
    explicit TJournalReader(TTransactionJournal& journal) : FJournal(journal) {}

    bool Take(const QStringList& f) {
        const QString& tag = f.first();
        TTransactionJournal& j = FJournal;
        if (tag == u"tx" && f.size() == 2 && !f[1].isEmpty() && IsPlainText(f[1])) {
            j.Transaction = f[1];
        } else if (tag == u"install" && f.size() == 3 && IsAbsoluteFolder(f[1]) &&
                   !f[2].isEmpty() && !f[2].contains(u'/') && IsPlainText(f[2])) {
            j.InstallFolder = f[1];
            j.ProductName = f[2];
        } else if (tag == u"old" && f.size() == 5) {
            bool ok = false;
            j.OldManifest.CreatedLevels = f[3].toInt(&ok);
            const bool known = f[1] == u"none" || f[1] == u"legacy" || f[1] == u"manifest";
            if (!ok || !known || j.ProductName.isEmpty() ||
                (!f[2].isEmpty() &&
                 !(IsAbsoluteFolder(f[2]) && f[2].endsWith(u'/' + j.ProductName + u'/'))) ||
                (!f[4].isEmpty() && !IsAbsoluteClean(f[4])))
                return false;
            j.OldMode = f[1] == u"legacy"     ? TOldFiles::Legacy
                        : f[1] == u"manifest" ? TOldFiles::Manifest
                                              : TOldFiles::None;
            j.OldProductFolder = f[2];
            j.OldMenuFolder = f[4];
        } else if ((tag == u"old-file" || tag == u"old-folder") && f.size() == 2 &&
                   IsRelativePath(f[1])) {
            (tag == u"old-file" ? j.OldManifest.Files : j.OldManifest.Folders) << f[1];
        } else if (tag == u"op" && f.size() == 4 && (f[1] == u"S" || f[1] == u"F") &&
                   (f[2] == u"0" || f[2] == u"1") && IsRelativePath(f[3]) &&
                   f[3].section(u'/', 0, 0) == j.ProductName) {
            j.Ops.push_back({f[3], f[1] == u"S", f[2] == u"1", 0, 0});
        } else if (tag == u"made" && f.size() == 2 && IsAbsoluteClean(f[1])) {
            j.MadeFolders << f[1];
        } else if (tag == u"ino" && f.size() == 4) {
            bool a = false, b = false, c = false;
            const qsizetype index = f[1].toLongLong(&a);
            const quint64 device = f[2].toULongLong(&b);
            const quint64 inode = f[3].toULongLong(&c);
            if (!a || !b || !c || index < 0 || index >= qsizetype(j.Ops.size()))
                return false;
            j.Ops[size_t(index)].Device = device;
            j.Ops[size_t(index)].Inode = inode;
        } else if (tag == u"staged" && f.size() == 1) {
            j.Staged = true;
        } else if (tag == u"swapping" && f.size() == 1 && j.Staged) {
            j.Swapping = true;
        } else if ((tag == u"com-old" || tag == u"com-new") && f.size() == 2 &&
                   IsAbsoluteFolder(f[1])) {
            (tag == u"com-old" ? j.ComUnregistered : j.ComRegistered) = f[1];
        } else if (tag == u"link" && f.size() == 5 && IsAbsoluteClean(f[1]) &&
                   f[1].endsWith(QStringLiteral(".desktop"))) {
            const std::optional<TShortcutSnapshot::TKind> kind = KindOf(f[2]);
            bool ok = false;
            const unsigned mode = f[3].toUInt(&ok, 8);
            if (!kind || !ok || mode > 07777)
                return false;
            TJournalLink link{f[1], {}};
            link.Before.Kind = *kind;
            link.Before.Mode = mode;
            link.Before.Bytes = QByteArray::fromBase64(f[4].toLatin1());
            j.Links.append(link);
        } else {
            return false;
        }
        return true;
    }

private:
    TTransactionJournal& FJournal;
};

} // namespace

QString TTransactionJournal::PathFor(const QString& storeFile, const QString& programKey) {
    return QFileInfo(storeFile).absolutePath() + u'/' + programKey + QStringLiteral(".journal");
}

bool TTransactionJournal::Create(const QString& path, QString& error) {
    FPath = path;
    QList<QStringList> entries;
    entries << QStringList{QStringLiteral("tx"), Transaction}
            << QStringList{QStringLiteral("install"), InstallFolder, ProductName}
            << QStringList{QStringLiteral("old"), ModeName(OldMode), OldProductFolder,
                           QString::number(OldManifest.CreatedLevels), OldMenuFolder};
    for (const QString& file : OldManifest.Files)
        entries << QStringList{QStringLiteral("old-file"), file};
    for (const QString& folder : OldManifest.Folders)
        entries << QStringList{QStringLiteral("old-folder"), folder};
    for (const TJournalOp& op : Ops)
        entries << QStringList{QStringLiteral("op"), op.Subtree ? u"S"_qs : u"F"_qs,
                               op.HadOld ? u"1"_qs : u"0"_qs, op.Path};
    QByteArray bytes = KHeader + '\n';
    for (const QStringList& entry : std::as_const(entries))
        bytes += Line(entry);

    // Written whole under another name first: a journal is either there complete or not at
    // all, and an old one is only ever replaced by a complete new one.
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray native = QFile::encodeName(path);
    const QByteArray temporary = native + ".new";
    ::unlink(temporary.constData());
    const int fd =
        ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = path + u": "_qs + ErrnoText();
        return false;
    }
    const bool written =
        WriteAllTo(fd, bytes.constData(), size_t(bytes.size())) && ::fsync(fd) == 0;
    const int writeError = errno;
    ::close(fd);
    if (!written || ::rename(temporary.constData(), native.constData()) != 0) {
        errno = written ? errno : writeError;
        error = path + u": "_qs + ErrnoText();
        ::unlink(temporary.constData());
        return false;
    }
    if (!SyncFolderOf(path)) {
        error = path + u": "_qs + ErrnoText();
        return false;
    }
    return true;
}

bool TTransactionJournal::Append(const QList<QStringList>& entries, QString& error) {
    QByteArray bytes;
    for (const QStringList& entry : entries)
        bytes += Line(entry);
    const int fd =
        ::open(QFile::encodeName(FPath).constData(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        error = FPath + u": "_qs + ErrnoText();
        return false;
    }
    const bool ok = WriteSynced(fd, bytes);
    if (!ok)
        error = FPath + u": "_qs + ErrnoText();
    ::close(fd);
    return ok;
}

bool TTransactionJournal::NoteMadeFolder(const QString& folder, QString& error) {
    MadeFolders << folder;
    return Append({{QStringLiteral("made"), folder}}, error);
}

bool TTransactionJournal::NoteStaged(QString& error) {
    QList<QStringList> entries;
    for (size_t i = 0; i < Ops.size(); ++i)
        entries << QStringList{QStringLiteral("ino"), QString::number(i),
                               QString::number(Ops[i].Device), QString::number(Ops[i].Inode)};
    // The marker comes last: a journal cut off before it has no complete list.
    entries << QStringList{QStringLiteral("staged")};
    Staged = true;
    return Append(entries, error);
}

bool TTransactionJournal::NoteSwapping(const QString& unregistering, QString& error) {
    Swapping = true;
    QList<QStringList> entries = {{QStringLiteral("swapping")}};
    if (!unregistering.isEmpty()) {
        ComUnregistered = unregistering;
        entries << QStringList{QStringLiteral("com-old"), unregistering};
    }
    return Append(entries, error);
}

bool TTransactionJournal::NoteComRegistered(const QString& folder, QString& error) {
    ComRegistered = folder;
    return Append({{QStringLiteral("com-new"), folder}}, error);
}

bool TTransactionJournal::NoteLink(const TJournalLink& link, QString& error) {
    Links.append(link);
    return Append(
        {{QStringLiteral("link"), link.Path, KindName(link.Before.Kind),
          QString::number(link.Before.Mode, 8), QString::fromLatin1(link.Before.Bytes.toBase64())}},
        error);
}

bool TTransactionJournal::Remove(QString& error) {
    if (::unlink(QFile::encodeName(FPath).constData()) != 0 && errno != ENOENT) {
        error = FPath + u": "_qs + ErrnoText();
        return false;
    }
    SyncFolderOf(FPath);
    return true;
}

std::optional<TTransactionJournal> TTransactionJournal::Read(const QString& path, QString& error) {
    // Layer 1: the bytes, from a plain file of bounded size, never through a link.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT)
            error = path + u": "_qs + ErrnoText();
        return std::nullopt;
    }
    struct stat info {};
    QByteArray bytes;
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= KMaxJournalBytes;
    if (ok) {
        bytes.resize(qsizetype(info.st_size));
        qsizetype done = 0;
        while (ok && done < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            ok = n > 0;
            done += n > 0 ? n : 0;
        }
    }
    ::close(fd);
    if (!ok) {
        error = path + QStringLiteral(": the journal cannot be read");
        return std::nullopt;
    }
    // A last line without its line feed was being written when the install was stopped.
    bytes.truncate(bytes.lastIndexOf('\n') + 1);
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast();
    TTransactionJournal journal;
    journal.FPath = path;
    if (lines.isEmpty() || lines.first() != KHeader) {
        error = path + QStringLiteral(": not a journal of this installer");
        return std::nullopt;
    }
    TJournalReader reader(journal);
    for (qsizetype n = 1; n < lines.size(); ++n) {
        QStringList fields;
        for (const QByteArray& raw : lines.at(n).split('\t')) {
            const std::optional<QString> field = Unescape(raw);
            if (!field) {
                fields.clear();
                break;
            }
            fields << *field;
        }
        if (fields.isEmpty() || !reader.Take(fields)) {
            error = path + QStringLiteral(": line %1 is not valid").arg(n + 1);
            return std::nullopt;
        }
    }
    if (journal.Transaction.isEmpty() || journal.InstallFolder.isEmpty()) {
        error = path + QStringLiteral(": the journal is incomplete");
        return std::nullopt;
    }
    return journal;
}

} // namespace velmora
