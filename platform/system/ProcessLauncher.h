#pragma once

#include "platform/system/Errors.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace velmora {

// The environment for a program the installer starts: its own, less the variables a wrapping
// launcher listed in VELMORA_PRIVATE_ENV (colon-separated names) as the installer's alone.
std::vector<QByteArray> ChildEnvironment();

VELMORA_DECLARE_ERROR(ELaunchError, EVelmoraError);

// Starting other programs without waiting for them. Raises ELaunchError when a program
// cannot be started at all; what the started program does is never read.
class IProcessLauncher {
public:
    virtual ~IProcessLauncher() = default;
    // The full path of a program found on the search path; empty when there is none.
    virtual QString FindProgram(const QString& name) const = 0;
    // A command line (first word the program, double quotes grouping words) started in the
    // background with no input and its output going to /dev/null.
    virtual void StartHidden(const QString& commandLine) = 0;
    // An executable file is started directly; documents and web addresses go to xdg-open.
    virtual void Open(const QString& pathOrAddress) = 0;
};

class TProcessLauncher final : public IProcessLauncher {
public:
    explicit TProcessLauncher(QString searchPath = qEnvironmentVariable("PATH"));

    QString FindProgram(const QString& name) const override;
    void StartHidden(const QString& commandLine) override;
    void Open(const QString& pathOrAddress) override;

private:
    // Resolves a program word: a name holding "/" is used as it is, others are searched.
    QString Resolve(const QString& program) const;
    void Spawn(const QStringList& arguments);

    QStringList FSearchPath;
};

} // namespace velmora
