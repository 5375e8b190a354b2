#pragma once

#include <QIODevice>
#include <QStringList>

namespace velmora {

// Runs one skin-tool command line (without the program name). Output goes to AOut, messages
// to AErr. Returns 0 on success, 1 when the work failed, 2 for a malformed command line.
int RunSkinTool(const QStringList& AArguments, QIODevice& AOut, QIODevice& AErr);

} // namespace velmora
