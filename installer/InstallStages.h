#pragma once

#include <QString>
#include <functional>

namespace velmora {

// Points of an install run that an observer is told about as they pass. The command-line
// tool stops there on request, so that tests can kill an install at a known point.
enum class TInstallStage {
    FileHalfWritten,        // the first part of a file larger than one write is on disk
    Staged,                 // every new file is written, nothing of the previous version touched
    PreviousVersionRemoved, // the new files replaced the previous version's (or there was none)
    BeforeRecord,           // files and shortcuts are in place, the record is not
};

// Called with the stage and the path it concerns (empty where none).
using TInstallStageHook = std::function<void(TInstallStage stage, const QString& path)>;

// "mid-file", "staged", "removed", "before-record".
QString InstallStageName(TInstallStage stage);

} // namespace velmora
