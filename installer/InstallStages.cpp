#include "installer/InstallStages.h"

namespace velmora {

QString InstallStageName(TInstallStage stage) {
    switch (stage) {
    case TInstallStage::PreviousVersionRemoved:
        return QStringLiteral("removed");
    case TInstallStage::FileHalfWritten:
        return QStringLiteral("mid-file");
    case TInstallStage::Staged:
        return QStringLiteral("staged");
    case TInstallStage::BeforeRecord:
        return QStringLiteral("before-record");
    }
    return QString();
}

} // namespace velmora
