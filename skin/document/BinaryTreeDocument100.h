#pragma once

#include "skin/document/BinTreeNode100.h"
#include "skin/document/BinTreeReader100.h"
#include "skin/document/BinaryNode100.h"
#include "skin/document/BinaryTreeErrors100.h"
#include "skin/document/FixedNodes100.h"
#include "skin/document/NodeCast100.h"
#include "skin/document/NodeFactory100.h"
#include "skin/document/VariableNodes100.h"

#include <QByteArray>
#include <QIODevice>
#include <memory>

namespace velmora {

// The skin's container: a tree of named, typed nodes held as one contiguous byte buffer.
class TBinaryTreeDocument100 {
public:
    TBinaryTreeDocument100();
    ~TBinaryTreeDocument100();
    TBinaryTreeDocument100(const TBinaryTreeDocument100&) = delete;
    TBinaryTreeDocument100& operator=(const TBinaryTreeDocument100&) = delete;

    std::uint32_t Version() const noexcept { return FVersion; }
    TBinTreeNode100* TopNode() const noexcept { return FTopNode.get(); }
    TBinTreeNodeList100& Nodes() noexcept { return FTopNode->ChildNodes(); }
    // Puts a parentless node in place of the top node, which is destroyed with its tree.
    void SetTopNode(std::unique_ptr<TBinTreeNode100> ANode);

    // Destroys every child of the top node; the top node keeps its name and kind.
    void Clear();
    TBinTreeNode100* CreateNode(std::uint32_t ANodeType, TBinTreeNode100* AParentNode,
                                const QString& ANodeName);

    // Whole-tree searches below the top node: children from last to first, each child's
    // subtree before its previous sibling.
    TBinTreeNode100* FindNode(std::uint32_t ANodeID) const;
    TBinTreeNode100* FindNode(const QString& ANodeName) const;
    // Resolves a backslash-separated path below the top node ("SkinInfo\SkinName").
    TBinTreeNode100* FindNodeByPath(const QString& ANodePath) const;

    std::uint64_t DataSize() const;
    // Serializes into ABuffer; fails with "Buffer Overflow" and writes nothing when ACount
    // is smaller than DataSize.
    void ReadBuffer(void* ABuffer, std::int64_t ACount) const;
    // Replaces the content with the document held in the buffer.
    void WriteBuffer(const void* ABuffer, std::int64_t ACount);
    QByteArray SaveToByteArray() const;

    void LoadFromStream(QIODevice& AStream);
    void SaveToStream(QIODevice& AStream) const;
    void LoadFromFile(const QString& AFileName);
    void SaveToFile(const QString& AFileName) const;

    const TBinTreeLimits100& ReadLimits() const noexcept { return FLimits; }
    void SetReadLimits(const TBinTreeLimits100& ALimits) noexcept { FLimits = ALimits; }

private:
    std::uint32_t FVersion = KVersion100;
    std::unique_ptr<TBinTreeNode100> FTopNode;
    TBinTreeLimits100 FLimits;
};

} // namespace velmora
