#include "skin/document/VariableNodes100.h"

#include "skin/document/BinaryTreeErrors100.h"
#include "skin/document/LittleEndian100.h"

#include <cstring>
#include <limits>

namespace velmora {

void TBufferNode100::ClearData() {
    FData.clear();
    SetDataSize(0);
}

void TBufferNode100::ReadBuffer(void* ADest) const {
    if (!FData.isEmpty())
        std::memcpy(ADest, FData.constData(), static_cast<std::size_t>(FData.size()));
}

void TBufferNode100::WriteBuffer(const void* ASource, std::int64_t ACount) {
    if (ACount <= 0)
        return;
    // DataSize is a 32-bit field of the format; a larger value could never be written back.
    BtdAssert(ASource != nullptr && ACount <= std::numeric_limits<std::uint32_t>::max());
    Assign(QByteArray(static_cast<const char*>(ASource), static_cast<qsizetype>(ACount)));
}

void TBufferNode100::Assign(QByteArray AData) {
    BtdAssert(AData.size() <= static_cast<qsizetype>(std::numeric_limits<std::uint32_t>::max()));
    FData = std::move(AData);
    SetDataSize(static_cast<std::uint32_t>(FData.size()));
}

QString TAnsiStringNode100::Data() const {
    const QByteArray& bytes = Bytes();
    const qsizetype end = bytes.indexOf('\0');
    return QString::fromUtf8(bytes.constData(), end < 0 ? bytes.size() : end);
}

void TAnsiStringNode100::SetData(const QString& AValue) {
    ClearData();
    if (AValue.isEmpty())
        return;
    QByteArray bytes = AValue.toUtf8();
    bytes.append('\0');
    Assign(std::move(bytes));
}

QString TWideStringNode100::Data() const {
    // An odd trailing byte (possible in a crafted record) is no code unit and is ignored.
    const QByteArray& bytes = Bytes();
    const qsizetype units = bytes.size() / 2;
    QString text;
    text.reserve(units);
    for (qsizetype i = 0; i < units; ++i) {
        const auto unit =
            le::Load<char16_t>(reinterpret_cast<const std::uint8_t*>(bytes.constData()) + 2 * i);
        if (unit == 0)
            break;
        text.append(QChar(unit));
    }
    return text;
}

void TWideStringNode100::SetData(const QString& AValue) {
    ClearData();
    if (AValue.isEmpty())
        return;
    QByteArray bytes(2 * AValue.size() + 2, '\0');
    auto* out = reinterpret_cast<std::uint8_t*>(bytes.data());
    for (qsizetype i = 0; i < AValue.size(); ++i)
        le::Store<char16_t>(out + 2 * i, AValue[i].unicode());
    Assign(std::move(bytes));
}

} // namespace velmora
