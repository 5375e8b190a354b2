#include "installer/PayloadTable.h"

#include "platform/system/GbkCodec.h"

#include <QSet>
#include <QtEndian>

namespace velmora {
namespace {

const QString kTableTruncated = QStringLiteral("payload table is truncated");
const QString kNameOutside = QStringLiteral("entry name lies outside the payload");
const QString kDataOutside = QStringLiteral("entry data lies outside the payload");
const QString kFileAndFolder = QStringLiteral("entry path is both a file and a folder");

quint16 ReadU16(const char* p) {
    return qFromLittleEndian<quint16>(p);
}
quint32 ReadU32(const char* p) {
    return qFromLittleEndian<quint32>(p);
}

// Layer 1: bytes to records, never reading past the image.
std::vector<TPayloadRecord> ReadRecords(QByteArrayView image) {
    if (image.size() < 2)
        throw EPayloadFormatError(kTableTruncated);
    const quint16 count = ReadU16(image.data());
    if ((image.size() - 2) / kPayloadRecordSize < count)
        throw EPayloadFormatError(kTableTruncated);
    std::vector<TPayloadRecord> records(count);
    for (quint16 i = 0; i < count; ++i) {
        const char* p = image.data() + 2 + kPayloadRecordSize * i;
        records[i] = {ReadU16(p), ReadU32(p + 2), ReadU32(p + 6), ReadU32(p + 10)};
    }
    return records;
}

// Ranges are compared in 64 bits: offset + size of two 32-bit values cannot overflow.
bool InsideImage(quint32 offset, quint32 size, QByteArrayView image) {
    return quint64(offset) + quint64(size) <= quint64(image.size());
}

QString EntryError(qsizetype index, const QString& name, const QString& problem) {
    return QStringLiteral("entry %1 (%2): %3").arg(index).arg(name, problem);
}

bool IsDriveLetter(const QString& component) {
    return component.size() == 2 && component.at(1) == u':' && component.at(0).isLetter();
}

} // namespace

QString DisplayName(QByteArrayView rawName) {
    if (const auto decoded = DecodeGbk(rawName))
        return *decoded;
    QString escaped;
    for (const char c : rawName) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F)
            escaped += QChar(byte);
        else
            escaped += QStringLiteral("\\x%1").arg(byte, 2, 16, QChar(u'0'));
    }
    return escaped;
}

TNameProblem CheckEntryComponents(const QString& name) {
    if (name.isEmpty())
        return TNameProblem::Empty;
    if (name.startsWith(u'\\') || name.startsWith(u'/'))
        return TNameProblem::Absolute;
    const QStringList components = name.split(u'\\');
    if (IsDriveLetter(components.first()))
        return TNameProblem::Absolute;
    for (const QString& component : components) {
        if (component.isEmpty())
            return TNameProblem::EmptyComponent;
        if (component == u"." || component == u"..")
            return TNameProblem::DotComponent;
        // '/' would be a separator on this system, and NUL ends a path early.
        if (component.contains(u'/') || component.contains(QChar(0)))
            return TNameProblem::BadCharacter;
    }
    return TNameProblem::Ok;
}

QString NameProblemText(TNameProblem problem) {
    switch (problem) {
    case TNameProblem::Ok:
        return {};
    case TNameProblem::Empty:
        return QStringLiteral("entry name is empty");
    case TNameProblem::NotGbk:
        return QStringLiteral("entry name is not valid GBK");
    case TNameProblem::Absolute:
        return QStringLiteral("entry name is an absolute path");
    case TNameProblem::EmptyComponent:
        return QStringLiteral("entry name has an empty folder or file name");
    case TNameProblem::DotComponent:
        return QStringLiteral("entry name has a '.' or '..' component");
    case TNameProblem::BadCharacter:
        return QStringLiteral("entry name has a '/' or NUL character");
    }
    return {};
}

std::vector<TPayloadEntry> ReadPayloadTable(QByteArrayView image) {
    const std::vector<TPayloadRecord> records = ReadRecords(image);

    // Layer 2: every record checked before anything is built or written.
    std::vector<TPayloadEntry> entries;
    entries.reserve(records.size());
    QSet<QString> files;
    QSet<QString> folders;
    for (size_t i = 0; i < records.size(); ++i) {
        const TPayloadRecord& r = records[i];
        const auto index = static_cast<qsizetype>(i);
        if (!InsideImage(r.NameOffset, r.NameLength, image))
            throw EPayloadFormatError(EntryError(index, QStringLiteral("?"), kNameOutside));
        const QByteArrayView raw = image.sliced(r.NameOffset, r.NameLength);
        if (!InsideImage(r.DataOffset, r.DataSize, image))
            throw EPayloadFormatError(EntryError(index, DisplayName(raw), kDataOutside));

        // Decode first, then split: a GBK trailing byte may be 0x5C and is no separator.
        const std::optional<QString> decoded = DecodeGbk(raw);
        const TNameProblem problem =
            raw.isEmpty() ? TNameProblem::Empty
                          : (decoded ? CheckEntryComponents(*decoded) : TNameProblem::NotGbk);
        if (problem != TNameProblem::Ok)
            throw EPayloadFormatError(
                EntryError(index, DisplayName(raw), NameProblemText(problem)));

        TPayloadEntry entry;
        entry.RawName = raw.toByteArray();
        entry.Name = *decoded;
        entry.Components = decoded->split(u'\\');
        entry.DataOffset = r.DataOffset;
        entry.DataSize = r.DataSize;

        // A path cannot be written both as a file and as a folder holding other entries.
        QString prefix;
        for (qsizetype c = 0; c + 1 < entry.Components.size(); ++c) {
            prefix += entry.Components.at(c);
            if (files.contains(prefix))
                throw EPayloadFormatError(EntryError(index, entry.Name, kFileAndFolder));
            folders.insert(prefix);
            prefix += u'\\';
        }
        if (folders.contains(entry.Name))
            throw EPayloadFormatError(EntryError(index, entry.Name, kFileAndFolder));
        files.insert(entry.Name);
        entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace velmora
