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

// What the file system takes (in the UTF-8 the names are written in): one folder or file
// name, and a whole path below the install folder.
inline constexpr qsizetype kMaxComponentBytes = 255;
inline constexpr qsizetype kMaxEntryPathBytes = 4095;

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

// Why a name cannot be extracted safely; Ok when it can.
enum class TNameProblem {
    Ok,
    Empty,
    NotGbk,
    Absolute,
    EmptyComponent,
    DotComponent,
    BadCharacter,
    ControlCharacter,
    ReservedName,
    TooLong,
    OutsideProduct,
};

// Pure checks, shared by the reader and by the packer so both refuse the same names.
// CheckEntryComponents looks at the name alone; CheckEntryName also requires it to lie
// below the product folder (first component productFolder, at least one more after it).
TNameProblem CheckEntryComponents(const QString& decodedName);
TNameProblem CheckEntryName(const QString& decodedName, const QString& productFolder);
QString NameProblemText(TNameProblem problem);

// The names under which the extraction writes a file before renaming it into place
// (".<name>.velmora-new", or ".velmora-new-<hash>" for long names): no entry may carry
// one, or writing its neighbour would replace or remove it. Compared without regard to
// ASCII letter case, so a case-folding file system cannot make them meet either.
bool IsReservedTemporaryName(const QString& component);

// C0 controls, DEL and C1 controls: what a terminal or log viewer would act on.
bool IsControlCharacter(char16_t c);
// Text with every control character shown as \xHH: for anything printed that carries a
// name from an archive or a tree being packed.
QString EscapeControlCharacters(const QString& text);

// Reads and validates the whole table. Every record's name and data must lie inside the
// image, the names together no longer than the image, every name must decode and stay
// below productFolder, and no path may be both a file and a folder. Raises
// EPayloadFormatError naming the first bad entry; nothing is returned for a table that
// has any bad entry. Time and memory grow linearly with the image.
std::vector<TPayloadEntry> ReadPayloadTable(QByteArrayView image, const QString& productFolder);

// How long the image starting with prefix may be: the end of its furthest name or data
// range (at least the table's own end), once prefix holds the count and every record;
// -1 while it does not yet. Inflation stops a stream that grows past it.
qint64 DeclaredImageSize(QByteArrayView prefix);
// How much of the image the table and every name in it take, as far as prefix tells: the
// count's two bytes before it holds them, the end of the records before it holds them all,
// then the end of the table and its names. What must be there before the table can be read
// while the rest of the image is still coming; done once prefix holds as much as it says.
qint64 TableBytesNeeded(QByteArrayView prefix);

// Entry names decoded where possible, raw bytes escaped otherwise, control characters
// escaped either way: for log lines.
QString DisplayName(QByteArrayView rawName);

} // namespace velmora
