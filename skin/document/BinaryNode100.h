#pragma once

#include "skin/document/VariableNodes100.h"

#include <QIODevice>

namespace velmora {

// Raw bytes, typically a PNG or JPEG file.
class TBinaryNode100 final : public TBufferNode100 {
public:
    TBinaryNode100(TBinTreeNode100* AParentNode, const QString& ANodeName)
        : TBufferNode100(AParentNode, ANodeName, nt100_Binary) {}
    // Unlike the string kinds, an empty write leaves the node empty.
    void WriteBuffer(const void* ASource, std::int64_t ACount) override;
    const std::uint8_t* DataBuf() const noexcept;
    // Reads the rest of the stream; callers hand over streams positioned at their start.
    void LoadFromStream(QIODevice& AStream);
    void SaveToStream(QIODevice& AStream) const;
    void LoadFromFile(const QString& AFileName);
    void SaveToFile(const QString& AFileName) const;
};

} // namespace velmora
