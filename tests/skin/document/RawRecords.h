#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>
#include <cstdint>
#include <optional>

namespace velmora::testing {

// Hand-made records, so that malformed heads can be written as easily as sound ones.
struct RawRecord {
    std::uint32_t Id = 0;
    std::uint32_t Type = 0;
    std::uint32_t SubType = 0;
    std::uint32_t Children = 0;
    QString Name;
    QByteArray Data;
    std::optional<std::uint32_t> NameSize; // overrides the true name length
    std::optional<std::uint32_t> DataSize; // overrides the true value length
};

inline QByteArray U32(std::uint32_t value) {
    QByteArray bytes(4, '\0');
    qToLittleEndian<std::uint32_t>(value, bytes.data());
    return bytes;
}

inline QByteArray NameBytes(const QString& name) {
    if (name.isEmpty())
        return {};
    QByteArray bytes;
    for (QChar c : name) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes + QByteArray(2, '\0');
}

inline QByteArray Encode(const RawRecord& r) {
    const QByteArray name = NameBytes(r.Name);
    return U32(r.Id) + U32(r.Type) + U32(r.SubType) + U32(r.Children) +
           U32(r.NameSize.value_or(static_cast<std::uint32_t>(name.size()))) +
           U32(r.DataSize.value_or(static_cast<std::uint32_t>(r.Data.size()))) + name + r.Data;
}

inline QByteArray Version(std::uint32_t version = 100) {
    return U32(version);
}

} // namespace velmora::testing
