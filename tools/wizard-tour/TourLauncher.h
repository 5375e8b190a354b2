#pragma once

#include "platform/system/ProcessLauncher.h"

#include <QStringList>

namespace velmora {

// The tour starts nothing: what the wizard would start is written down instead, so a tour
// never reaches outside its staging folder.
class TTourLauncher final : public IProcessLauncher {
public:
    QString FindProgram(const QString&) const override { return QString(); }
    void StartHidden(const QString& commandLine) override { Started << commandLine; }
    void Open(const QString& pathOrAddress) override { Started << pathOrAddress; }

    QStringList Started;
};

} // namespace velmora
