#pragma once

#include <QString>
#include <QStringList>

namespace velmora {

// Looks for running processes by executable name in a /proc style folder.
class TProcessTable {
public:
    explicit TProcessTable(QString procRoot = QStringLiteral("/proc"));

    // True when a process's executable file name, or the base name of its argv[0], equals
    // exeName without regard to letter case. The folder of the process plays no part; a
    // name that merely begins with exeName does not count. Unreadable entries are skipped.
    bool IsRunning(const QString& exeName) const;
    // The executables of running processes that were started from a file below folder (the
    // process's executable, or its argv[0] when that is an absolute path, as for a script),
    // compared on cleaned paths; empty when none was. The calling process does not count.
    QStringList RunningFrom(const QString& folder) const;

private:
    QStringList ProcessFolders() const;

    QString FProcRoot;
};

} // namespace velmora
