#include "skin/document/BinTreeWriter100.h"

#include "skin/document/BinTreeReader100.h"
#include "skin/document/BinaryTreeErrors100.h"
#include "skin/document/LittleEndian100.h"

#include <limits>
#include <vector>

namespace velmora {

namespace {

// Walks the tree in file order without recursion, so a tree built deep in code cannot
// exhaust the stack while it is saved.
template <typename Visit> void ForEachPreOrder(const TBinTreeNode100& ATop, Visit AVisit) {
    std::vector<const TBinTreeNode100*> pending{&ATop};
    while (!pending.empty()) {
        const TBinTreeNode100* node = pending.back();
        pending.pop_back();
        AVisit(*node);
        const TBinTreeNodeList100& children = node->ChildNodes();
        for (int i = children.Count() - 1; i >= 0; --i)
            pending.push_back(children[i]);
    }
}

std::uint32_t Field32(std::uint64_t AValue) {
    BtdAssert(AValue <= std::numeric_limits<std::uint32_t>::max());
    return static_cast<std::uint32_t>(AValue);
}

} // namespace

std::uint64_t NameFieldSize100(const TBinTreeNode100& ANode) {
    const auto units = static_cast<std::uint64_t>(ANode.NodeName().size());
    return units == 0 ? 0 : 2 * units + 2;
}

std::uint64_t SerializedSize100(const TBinTreeNode100& ATop) {
    std::uint64_t total = 4;
    ForEachPreOrder(ATop, [&total](const TBinTreeNode100& node) {
        total += KRecordHeadSize100 + NameFieldSize100(node) + node.DataSize();
    });
    return total;
}

void Serialize100(const TBinTreeNode100& ATop, std::uint32_t AVersion, std::uint8_t* AOut) {
    std::uint8_t* out = AOut;
    le::Store<std::uint32_t>(out, AVersion);
    out += 4;
    ForEachPreOrder(ATop, [&out](const TBinTreeNode100& node) {
        const std::uint32_t nameSize = Field32(NameFieldSize100(node));
        const std::uint32_t head[] = {
            node.NodeID(),      node.NodeType(),
            node.NodeSubType(), Field32(static_cast<std::uint64_t>(node.ChildNodes().Count())),
            nameSize,           node.DataSize()};
        for (const std::uint32_t field : head) {
            le::Store<std::uint32_t>(out, field);
            out += 4;
        }
        if (nameSize != 0) {
            const QString& name = node.NodeName();
            for (qsizetype i = 0; i < name.size(); ++i) {
                le::Store<char16_t>(out, name[i].unicode());
                out += 2;
            }
            le::Store<char16_t>(out, 0);
            out += 2;
        }
        node.ReadBuffer(out);
        out += node.DataSize();
    });
}

} // namespace velmora
