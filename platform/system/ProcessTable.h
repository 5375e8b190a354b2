#pragma once

#include <QString>

namespace velmora {

// Looks for running processes by executable name in a /proc style folder.
class TProcessTable {
public:
    explicit TProcessTable(QString procRoot = QStringLiteral("/proc"));

    // True when a process's executable file name, or the base name of its argv[0], equals
    // exeName without regard to letter case. The folder of the process plays no part; a
    // name that merely begins with exeName does not count. Unreadable entries are skipped.
    bool IsRunning(const QString& exeName) const;

private:
    QString FProcRoot;
};

} // namespace velmora
