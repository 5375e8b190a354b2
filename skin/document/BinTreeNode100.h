#pragma once

#include "skin/document/BinTreeNodeList100.h"

#include <QString>
#include <cstdint>

namespace velmora {

// The ordinal is the type tag stored in the file; tags from 24 on do not exist.
enum TNodeType100 : std::uint32_t {
    nt100_Directory,
    nt100_AnsiChar,
    nt100_WideChar,
    nt100_AnsiString,
    nt100_WideString,
    nt100_Int8,
    nt100_Int16,
    nt100_Int32,
    nt100_Int64,
    nt100_UInt8,
    nt100_UInt16,
    nt100_UInt32,
    nt100_Real32,
    nt100_Real48,
    nt100_Real64,
    nt100_Real80,
    nt100_Currency,
    nt100_DateTime,
    nt100_TimeStamp,
    nt100_Bool8,
    nt100_Bool16,
    nt100_Bool32,
    nt100_Guid,
    nt100_Binary,
};
inline constexpr std::uint32_t KNodeTypeCount100 = 24;

// Removes white space and control characters from both ends, as names and paths are compared.
QString TrimBlanks(const QString& AText);

// One named node of a binary tree document. Directories only have children; every other kind
// holds one typed value of DataSize bytes.
class TBinTreeNode100 {
public:
    virtual ~TBinTreeNode100();
    TBinTreeNode100(const TBinTreeNode100&) = delete;
    TBinTreeNode100& operator=(const TBinTreeNode100&) = delete;

    std::uint32_t NodeID() const noexcept { return FNodeID; }
    void SetNodeID(std::uint32_t AValue) noexcept { FNodeID = AValue; }
    const QString& NodeName() const noexcept { return FNodeName; }
    // Carriage returns never survive into a name set here; the constructor keeps its name as
    // given.
    void SetNodeName(const QString& AValue);
    TBinTreeNode100* ParentNode() const noexcept { return FParentNode; }
    // Moves the node to the end of the new parent's children; nullptr hands it to the caller.
    void SetParentNode(TBinTreeNode100* AValue);
    TBinTreeNodeList100& ChildNodes() noexcept { return FChildNodes; }
    const TBinTreeNodeList100& ChildNodes() const noexcept { return FChildNodes; }
    std::uint32_t NodeType() const noexcept { return FNodeType; }
    std::uint32_t NodeSubType() const noexcept { return FNodeSubType; }
    void SetNodeSubType(std::uint32_t AValue) noexcept { FNodeSubType = AValue; }
    std::uint32_t DataSize() const noexcept { return FDataSize; }

    virtual void ClearData() {}
    // Copies exactly DataSize value bytes to ADest.
    virtual void ReadBuffer(void* ADest) const { (void)ADest; }
    virtual void WriteBuffer(const void* ASource, std::int64_t ACount) {
        (void)ASource;
        (void)ACount;
    }

protected:
    // Fails with "Invalid NodeName" before anything is created when the name is blank.
    TBinTreeNode100(TBinTreeNode100* AParentNode, const QString& ANodeName, TNodeType100 AType,
                    std::uint32_t AFixedSize);
    void SetDataSize(std::uint32_t AValue) noexcept { FDataSize = AValue; }

private:
    friend class TBinTreeNodeList100;

    std::uint32_t FNodeID = 0;
    QString FNodeName;
    TBinTreeNode100* FParentNode = nullptr;
    TBinTreeNodeList100 FChildNodes;
    std::uint32_t FNodeType;
    std::uint32_t FNodeSubType = 0;
    std::uint32_t FDataSize;
};

class TDirectoryNode100 : public TBinTreeNode100 {
public:
    TDirectoryNode100(TBinTreeNode100* AParentNode, const QString& ANodeName)
        : TBinTreeNode100(AParentNode, ANodeName, nt100_Directory, 0) {}
};

} // namespace velmora
