#pragma once

#include <QString>
#include <functional>

namespace velmora {

// Points of an install run that an observer is told about as they pass. The command-line
// tool stops there on request, so that tests can kill an install at a known point.
enum class TInstallStage {
    PreviousVersionRemoved, // the removal step is over (or there was nothing to remove)
    FileHalfWritten,        // the first part of a file larger than one write is on disk
    BeforeRecord,           // files and shortcuts are in place, the record is not
};

// Called with the stage and the path it concerns (empty where none).
using TInstallStageHook = std::function<void(TInstallStage stage, const QString& path)>;

// "removed", "mid-file", "before-record".
QString InstallStageName(TInstallStage stage);

} // namespace velmora
