#include "platform/system/ProcessTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace velmora {
namespace {

// The part after the last separator; Windows-style argv[0] (run through a compatibility
// layer) uses backslashes, so both separators count.
QString BaseName(const QString& path) {
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(cut + 1);
}

bool SameName(const QString& candidate, const QString& exeName) {
    if (candidate.isEmpty())
        return false;
    return candidate.compare(exeName, Qt::CaseInsensitive) == 0 ||
           BaseName(candidate).compare(exeName, Qt::CaseInsensitive) == 0;
}

QString ExecutableOf(const QString& processFolder) {
    QString target = QFile::symLinkTarget(processFolder + QStringLiteral("/exe"));
    static const QString deleted = QStringLiteral(" (deleted)");
    if (target.endsWith(deleted))
        target.chop(deleted.size());
    return target;
}

QString FirstArgumentOf(const QString& processFolder) {
    QFile file(processFolder + QStringLiteral("/cmdline"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.read(4096);
    return QString::fromLocal8Bit(bytes.left(bytes.indexOf('\0')));
}

} // namespace

TProcessTable::TProcessTable(QString procRoot) : FProcRoot(std::move(procRoot)) {}

QStringList TProcessTable::ProcessFolders() const {
    QStringList folders;
    const QStringList entries = QDir(FProcRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool isPid = false;
        entry.toUInt(&isPid);
        if (isPid)
            folders << FProcRoot + u'/' + entry;
    }
    return folders;
}

bool TProcessTable::IsRunning(const QString& exeName) const {
    if (exeName.isEmpty())
        return false;
    for (const QString& folder : ProcessFolders()) {
        if (SameName(ExecutableOf(folder), exeName) || SameName(FirstArgumentOf(folder), exeName))
            return true;
    }
    return false;
}

QStringList TProcessTable::RunningFrom(const QString& folder) const {
    QStringList found;
    const QString base = QDir::cleanPath(folder);
    if (!base.startsWith(u'/'))
        return found;
    const QString prefix = base == QStringLiteral("/") ? base : base + u'/';
    // The caller itself may well run from there: the uninstaller is in the product folder.
    const QString self = FProcRoot + u'/' + QString::number(::getpid());
    for (const QString& process : ProcessFolders()) {
        if (process == self)
            continue;
        for (const QString& file : {ExecutableOf(process), FirstArgumentOf(process)}) {
            if (!file.startsWith(u'/'))
                continue;
            const QString clean = QDir::cleanPath(file);
            if (clean.startsWith(prefix) && !found.contains(clean))
                found << clean;
        }
    }
    return found;
}

} // namespace velmora
