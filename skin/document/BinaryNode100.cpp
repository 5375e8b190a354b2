#include "skin/document/BinaryNode100.h"

#include "skin/document/BinTreeStreams100.h"
#include "skin/document/BinaryTreeErrors100.h"

#include <QFile>

namespace velmora {

void TBinaryNode100::WriteBuffer(const void* ASource, std::int64_t ACount) {
    if (ACount <= 0)
        ClearData();
    else
        TBufferNode100::WriteBuffer(ASource, ACount);
}

const std::uint8_t* TBinaryNode100::DataBuf() const noexcept {
    return Bytes().isEmpty() ? nullptr : reinterpret_cast<const std::uint8_t*>(Bytes().constData());
}

void TBinaryNode100::LoadFromStream(QIODevice& AStream) {
    ClearData();
    QByteArray bytes = ReadRestOfDevice(AStream);
    if (!bytes.isEmpty())
        Assign(std::move(bytes));
}

void TBinaryNode100::SaveToStream(QIODevice& AStream) const {
    if (!Bytes().isEmpty())
        WriteToDevice(AStream, Bytes().constData(), Bytes().size());
}

void TBinaryNode100::LoadFromFile(const QString& AFileName) {
    LoadFromNamedFile(AFileName, [this](QIODevice& AFile) { LoadFromStream(AFile); });
}

void TBinaryNode100::SaveToFile(const QString& AFileName) const {
    SaveToNamedFile(AFileName, [this](QIODevice& AFile) { SaveToStream(AFile); });
}

} // namespace velmora
