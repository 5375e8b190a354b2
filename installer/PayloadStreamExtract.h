#pragma once

#include <QIODevice>
#include <QString>
#include <optional>

namespace velmora {

class IProgressDisplay;

// Extracts the payload read from source below installFolder while it is still inflating:
// one thread inflates, the caller's writes each entry as soon as its bytes are there, so
// inflating and writing share two cores instead of taking turns. For tools, which have no
// window to keep painting; the installer's own sequence loads the whole image first.
//
// Nothing reaches installFolder's tree before the whole stream has passed every check that
// LoadPayload and WritePayload make (inflation, table, target): the files are written into a
// private folder directly below installFolder and moved into place once it has. A failure
// before that removes them, the private folder and any level of installFolder made here, so
// installFolder is as it was. Moving them in follows WritePayload: a protected entry that is
// there already is kept, and a failure half-way leaves the files moved before. Returns the
// number of entries, or nothing with the same install log lines as the two of them.
std::optional<qsizetype> ExtractPayloadStream(QIODevice& source, const QString& installFolder,
                                              IProgressDisplay* display);

} // namespace velmora
