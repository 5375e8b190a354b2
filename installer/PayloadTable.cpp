#include "installer/PayloadTable.h"

#include "platform/system/GbkCodec.h"

#include <QHash>
#include <QtEndian>
#include <algorithm>

namespace velmora {
namespace {

const QString kTableTruncated = QStringLiteral("payload table is truncated");
const QString kNameOutside = QStringLiteral("entry name lies outside the payload");
const QString kNamesTooLong =
    QStringLiteral("entry names together are longer than the payload (names overlap)");
const QString kDataOutside = QStringLiteral("entry data lies outside the payload");
const QString kFileAndFolder = QStringLiteral("entry path is both a file and a folder");
constexpr qsizetype kMaxDisplayedName = 300; // characters of a name shown in a line
const QString kTemporarySuffix = QStringLiteral(".velmora-new");
const QString kTemporaryHashedPrefix = QStringLiteral(".velmora-new-");

quint16 ReadU16(const char* p) {
    return qFromLittleEndian<quint16>(p);
}
quint32 ReadU32(const char* p) {
    return qFromLittleEndian<quint32>(p);
}

qsizetype TableEnd(quint16 count) {
    return 2 + kPayloadRecordSize * count;
}

TPayloadRecord RecordAt(QByteArrayView image, quint16 index) {
    const char* p = image.data() + TableEnd(index);
    return {ReadU16(p), ReadU32(p + 2), ReadU32(p + 6), ReadU32(p + 10)};
}

// Layer 1: bytes to records, never reading past the image.
std::vector<TPayloadRecord> ReadRecords(QByteArrayView image) {
    if (image.size() < 2)
        throw EPayloadFormatError(kTableTruncated);
    const quint16 count = ReadU16(image.data());
    if (image.size() < TableEnd(count))
        throw EPayloadFormatError(kTableTruncated);
    std::vector<TPayloadRecord> records(count);
    for (quint16 i = 0; i < count; ++i)
        records[i] = RecordAt(image, i);
    return records;
}

// Ranges are compared in 64 bits: offset + size of two 32-bit values cannot overflow.
quint64 RangeEnd(quint32 offset, quint32 size) {
    return quint64(offset) + quint64(size);
}
bool InsideImage(quint32 offset, quint32 size, QByteArrayView image) {
    return RangeEnd(offset, size) <= quint64(image.size());
}

QString EntryError(qsizetype index, const QString& name, const QString& problem) {
    return QStringLiteral("entry %1 (%2): %3").arg(index).arg(name, problem);
}

bool IsDriveLetter(const QString& component) {
    return component.size() == 2 && component.at(1) == u':' && component.at(0).isLetter();
}

// The length of text once written as a file name (UTF-8, lone surrogates replaced).
qsizetype Utf8Length(QStringView text) {
    qsizetype length = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            length += 1;
        } else if (c < 0x800) {
            length += 2;
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                   QChar::isLowSurrogate(text[i + 1].unicode())) {
            length += 4;
            ++i;
        } else {
            length += 3;
        }
    }
    return length;
}

// The checks of a whole name before it is split.
TNameProblem CheckWhole(const QString& name) {
    if (name.isEmpty())
        return TNameProblem::Empty;
    if (name.startsWith(u'\\') || name.startsWith(u'/'))
        return TNameProblem::Absolute;
    return TNameProblem::Ok;
}

TNameProblem CheckComponent(const QString& component) {
    if (component.isEmpty())
        return TNameProblem::EmptyComponent;
    if (component == u"." || component == u"..")
        return TNameProblem::DotComponent;
    // '/' would be a separator on this system.
    if (component.contains(u'/'))
        return TNameProblem::BadCharacter;
    // A NUL would end the path early, and escapes would reach terminals and logs.
    if (std::any_of(component.cbegin(), component.cend(),
                    [](QChar c) { return IsControlCharacter(c.unicode()); }))
        return TNameProblem::ControlCharacter;
    if (IsReservedTemporaryName(component))
        return TNameProblem::ReservedName;
    if (Utf8Length(component) > kMaxComponentBytes)
        return TNameProblem::TooLong;
    return TNameProblem::Ok;
}

TNameProblem CheckComponents(const QStringList& components) {
    if (IsDriveLetter(components.first()))
        return TNameProblem::Absolute;
    for (const QString& component : components) {
        if (const TNameProblem problem = CheckComponent(component); problem != TNameProblem::Ok)
            return problem;
    }
    return TNameProblem::Ok;
}

// Extraction fills the product folder and nothing beside it in the install folder (which
// may be a home folder holding the user's own files).
TNameProblem CheckPlacement(const QStringList& components, const QString& productFolder) {
    if (components.size() < 2 || components.first() != productFolder)
        return TNameProblem::OutsideProduct;
    return TNameProblem::Ok;
}

// Every folder and file the table names, as a tree of components (node 0 is the install
// folder). Each component is looked up once below its parent, so time and memory grow with
// the names' total length, where a set of every path prefix grows with the square of one
// deep name.
class TPathTree {
public:
    TPathTree() : FIsFile(1, false) {}

    // False when the path makes a node both a file and a folder. The same file twice is
    // no conflict: it is written twice.
    bool AddFile(const QStringList& components) {
        quint32 node = 0;
        for (qsizetype i = 0; i < components.size(); ++i) {
            const bool leaf = i + 1 == components.size();
            const TKey key{node, components.at(i)};
            const auto found = FChildren.constFind(key);
            if (found == FChildren.cend()) {
                node = static_cast<quint32>(FIsFile.size());
                FChildren.insert(key, node);
                FIsFile.push_back(leaf);
                continue;
            }
            // A node keeps the kind it was made with: a folder when a longer path passed
            // through it, a file when a path ended there.
            node = *found;
            if (FIsFile[node] != leaf)
                return false;
        }
        return true;
    }

private:
    struct TKey {
        quint32 Parent;
        QString Component; // shares the entry's own component text
        bool operator==(const TKey& other) const {
            return Parent == other.Parent && Component == other.Component;
        }
    };
    friend size_t qHash(const TKey& key, size_t seed) {
        return qHashMulti(seed, key.Parent, key.Component);
    }

    QHash<TKey, quint32> FChildren;
    std::vector<bool> FIsFile;
};

// Every rule on a decoded name, splitting it once into components; productFolder, when
// given, is where it must lie.
TNameProblem CheckName(const QString& name, const QString* productFolder, QStringList& components) {
    if (const TNameProblem problem = CheckWhole(name); problem != TNameProblem::Ok)
        return problem;
    components = name.split(u'\\');
    if (const TNameProblem problem = CheckComponents(components); problem != TNameProblem::Ok)
        return problem;
    if (productFolder != nullptr) {
        if (const TNameProblem problem = CheckPlacement(components, *productFolder);
            problem != TNameProblem::Ok)
            return problem;
    }
    return Utf8Length(name) > kMaxEntryPathBytes ? TNameProblem::TooLong : TNameProblem::Ok;
}

[[noreturn]] void RefuseName(qsizetype index, QByteArrayView raw, TNameProblem problem,
                             const QString& productFolder) {
    QString text = NameProblemText(problem);
    if (problem == TNameProblem::OutsideProduct)
        text += u' ' + productFolder + u'\\';
    throw EPayloadFormatError(EntryError(index, DisplayName(raw), text));
}

} // namespace

bool IsControlCharacter(char16_t c) {
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F);
}

QString EscapeControlCharacters(const QString& text) {
    if (std::none_of(text.cbegin(), text.cend(),
                     [](QChar c) { return IsControlCharacter(c.unicode()); }))
        return text;
    QString escaped;
    escaped.reserve(text.size() + 16);
    for (const QChar c : text) {
        if (IsControlCharacter(c.unicode()))
            escaped += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'));
        else
            escaped += c;
    }
    return escaped;
}

bool IsReservedTemporaryName(const QString& component) {
    return component.startsWith(u'.') &&
           (component.endsWith(kTemporarySuffix, Qt::CaseInsensitive) ||
            component.startsWith(kTemporaryHashedPrefix, Qt::CaseInsensitive));
}

QString DisplayName(QByteArrayView rawName) {
    // A name may be 65,535 bytes long: the line shows its start and says how long it is.
    const auto shortened = [&](const QString& shown) {
        return shown.size() <= kMaxDisplayedName
                   ? shown
                   : shown.left(kMaxDisplayedName) +
                         QStringLiteral("... [%1 bytes]").arg(rawName.size());
    };
    if (const auto decoded = DecodeGbk(rawName))
        return shortened(EscapeControlCharacters(*decoded));
    QString escaped;
    for (const char c : rawName.first(std::min(rawName.size(), kMaxDisplayedName + 1))) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F)
            escaped += QChar(byte);
        else
            escaped += QStringLiteral("\\x%1").arg(byte, 2, 16, QChar(u'0'));
    }
    return shortened(escaped);
}

TNameProblem CheckEntryComponents(const QString& name) {
    QStringList components;
    return CheckName(name, nullptr, components);
}

TNameProblem CheckEntryName(const QString& name, const QString& productFolder) {
    QStringList components;
    return CheckName(name, &productFolder, components);
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
        return QStringLiteral("entry name has a '/' character");
    case TNameProblem::ControlCharacter:
        return QStringLiteral("entry name has a control character");
    case TNameProblem::ReservedName:
        return QStringLiteral("entry name has the form of the installer's temporary files "
                              "(.<name>.velmora-new)");
    case TNameProblem::TooLong:
        return QStringLiteral("entry name is longer than the file system takes (%1 bytes a "
                              "folder or file name, %2 the whole name)")
            .arg(kMaxComponentBytes)
            .arg(kMaxEntryPathBytes);
    case TNameProblem::OutsideProduct:
        return QStringLiteral("entry lies outside the product folder");
    }
    return {};
}

namespace {

// The furthest end of the table and its records' names, and of their data too when withData.
qint64 FurthestEnd(QByteArrayView prefix, bool withData) {
    if (prefix.size() < 2)
        return -1;
    const quint16 count = ReadU16(prefix.data());
    if (prefix.size() < TableEnd(count))
        return -1;
    quint64 end = quint64(TableEnd(count));
    for (quint16 i = 0; i < count; ++i) {
        const TPayloadRecord r = RecordAt(prefix, i);
        end = std::max(end, RangeEnd(r.NameOffset, r.NameLength));
        if (withData)
            end = std::max(end, RangeEnd(r.DataOffset, r.DataSize));
    }
    return static_cast<qint64>(end); // below 2^33
}

} // namespace

qint64 DeclaredImageSize(QByteArrayView prefix) {
    return FurthestEnd(prefix, true);
}

qint64 TableBytesNeeded(QByteArrayView prefix) {
    if (prefix.size() < 2)
        return 2;
    const qsizetype records = TableEnd(ReadU16(prefix.data()));
    return prefix.size() < records ? records : FurthestEnd(prefix, false);
}

std::vector<TPayloadEntry> ReadPayloadTable(QByteArrayView image, const QString& productFolder) {
    const std::vector<TPayloadRecord> records = ReadRecords(image);

    // Layer 2: every record checked before anything is built or written.
    std::vector<TPayloadEntry> entries;
    entries.reserve(records.size());
    TPathTree tree;
    // Names may share bytes, but not so many that decoding them outgrows the image.
    quint64 nameBytes = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        const TPayloadRecord& r = records[i];
        const auto index = static_cast<qsizetype>(i);
        if (!InsideImage(r.NameOffset, r.NameLength, image))
            throw EPayloadFormatError(EntryError(index, QStringLiteral("?"), kNameOutside));
        nameBytes += r.NameLength;
        if (nameBytes > quint64(image.size()))
            throw EPayloadFormatError(EntryError(index, QStringLiteral("?"), kNamesTooLong));
        const QByteArrayView raw = image.sliced(r.NameOffset, r.NameLength);
        if (!InsideImage(r.DataOffset, r.DataSize, image))
            throw EPayloadFormatError(EntryError(index, DisplayName(raw), kDataOutside));

        // Decode first, then split: a GBK trailing byte may be 0x5C and is no separator.
        const std::optional<QString> decoded = DecodeGbk(raw);
        if (raw.isEmpty())
            RefuseName(index, raw, TNameProblem::Empty, productFolder);
        if (!decoded)
            RefuseName(index, raw, TNameProblem::NotGbk, productFolder);
        TPayloadEntry entry;
        if (const TNameProblem problem = CheckName(*decoded, &productFolder, entry.Components);
            problem != TNameProblem::Ok)
            RefuseName(index, raw, problem, productFolder);
        entry.RawName = raw.toByteArray();
        entry.Name = *decoded;
        entry.DataOffset = r.DataOffset;
        entry.DataSize = r.DataSize;

        // A path cannot be written both as a file and as a folder holding other entries.
        if (!tree.AddFile(entry.Components))
            throw EPayloadFormatError(EntryError(index, DisplayName(raw), kFileAndFolder));
        entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace velmora
