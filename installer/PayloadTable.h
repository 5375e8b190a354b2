#pragma once

#include "platform/system/Errors.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <vector>

namespace velmora {

VELMORA_DECLARE_ERROR(EPayloadFormatError, EVelmoraError);

// The file table at the start of an inflated payload image (little-endian):
//   u16 count, then count records of { u16 nameLength, u32 nameOffset, u32 dataSize,
//   u32 dataOffset }; names are GBK, folders separated by '\'.
inline constexpr qsizetype kPayloadRecordSize = 14;

struct TPayloadRecord {
    quint16 NameLength = 0;
    quint32 NameOffset = 0;
    quint32 DataSize = 0;
    quint32 DataOffset = 0;
};

struct TPayloadEntry {
    QByteArray RawName;     // the stored GBK bytes
    QString Name;           // decoded, '\'-separated as stored
    QStringList Components; // Name split at '\'
    quint32 DataOffset = 0;
    quint32 DataSize = 0;
};

// Why a name cannot be extracted safely; kNameOk when it can.
enum class TNameProblem { Ok, Empty, NotGbk, Absolute, EmptyComponent, DotComponent, BadCharacter };

// Pure checks, shared by the reader and by the packer so both refuse the same names.
TNameProblem CheckEntryComponents(const QString& decodedName);
QString NameProblemText(TNameProblem problem);

// Reads and validates the whole table. Every record's name and data must lie inside the
// image, every name must decode and stay below the install folder, and no path may be both
// a file and a folder. Raises EPayloadFormatError naming the first bad entry; nothing is
// returned for a table that has any bad entry.
std::vector<TPayloadEntry> ReadPayloadTable(QByteArrayView image);

// Entry names decoded where possible, raw bytes escaped otherwise: for log lines.
QString DisplayName(QByteArrayView rawName);

} // namespace velmora
