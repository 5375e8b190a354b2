#include "skin/document/BinTreeReader100.h"

#include "skin/document/BinaryTreeErrors100.h"
#include "skin/document/LittleEndian100.h"
#include "skin/document/NodeFactory100.h"

#include <algorithm>
#include <vector>

namespace velmora {

namespace {

[[noreturn]] void FailDocument() {
    throw EInvalidBinaryTreeDocument(QString::fromLatin1(KInvalidBinaryTreeDocument));
}

struct TOpenParent {
    TBinTreeNode100* Node;
    std::uint32_t ChildrenLeft;
};

} // namespace

const std::uint8_t* TByteCursor100::Take(std::size_t ACount) {
    BtdAssert(Has(ACount));
    const std::uint8_t* start = FData + FPos;
    FPos += ACount;
    return start;
}

std::uint32_t TByteCursor100::TakeUInt32() {
    return le::Load<std::uint32_t>(Take(4));
}

void CheckRecord100(const TRecordHead100& AHead, std::size_t ARemainingAfterHead) {
    if (AHead.NodeType >= KNodeTypeCount100)
        throw EInvalidNode(QString::fromLatin1(KInvalidNode));
    // Name and value must lie wholly inside the buffer; compared without adding, so no
    // announced size can wrap around.
    if (AHead.NameSize > ARemainingAfterHead)
        FailDocument();
    if (AHead.DataSize > ARemainingAfterHead - AHead.NameSize)
        FailDocument();
    const int width = FixedWidthOf(AHead.NodeType);
    if (width >= 0 && AHead.DataSize != 0 && AHead.DataSize != static_cast<std::uint32_t>(width))
        throw EAssertionFailed(QString::fromLatin1(KAssertionFailure));
}

void TBinTreeReader100::ReadVersion() {
    if (!FCursor.Has(4))
        FailDocument();
    if (FCursor.TakeUInt32() != KVersion100)
        throw EUnknownVersion(QString::fromLatin1(KUnknownVersion));
}

void TBinTreeReader100::ReadTree(const TTopSink& ASink) {
    // A top node whose head is cut off is no document at all, unlike a missing child.
    if (!FCursor.Has(KRecordHeadSize100))
        FailDocument();
    const TRecordHead100 head = ReadHead();
    std::unique_ptr<TBinTreeNode100> top = ReadRecord(head);
    TBinTreeNode100* topNode = top.get();
    ASink(std::move(top));

    // Iterative pre-order: the stack holds the ancestors still owed children, so its size is
    // the depth of the next record.
    std::vector<TOpenParent> open;
    if (head.ChildCount > 0)
        open.push_back({topNode, head.ChildCount});
    while (!open.empty()) {
        TOpenParent& parent = open.back();
        if (parent.ChildrenLeft == 0) {
            open.pop_back();
            continue;
        }
        // More children announced than the buffer holds: the document ends here.
        if (!FCursor.Has(KRecordHeadSize100))
            return;
        --parent.ChildrenLeft;
        if (open.size() > FLimits.MaxDepth)
            throw EBinaryTreeLimit(QString::fromLatin1(KNestingTooDeep));
        TBinTreeNode100* parentNode = parent.Node;
        const TRecordHead100 childHead = ReadHead();
        std::unique_ptr<TBinTreeNode100> child = ReadRecord(childHead);
        child->SetParentNode(parentNode);
        TBinTreeNode100* childNode = child.release();
        if (childHead.ChildCount > 0)
            open.push_back({childNode, childHead.ChildCount});
    }
}

TRecordHead100 TBinTreeReader100::ReadHead() {
    TRecordHead100 head;
    head.NodeID = FCursor.TakeUInt32();
    head.NodeType = FCursor.TakeUInt32();
    head.NodeSubType = FCursor.TakeUInt32();
    head.ChildCount = FCursor.TakeUInt32();
    head.NameSize = FCursor.TakeUInt32();
    head.DataSize = FCursor.TakeUInt32();
    return head;
}

std::unique_ptr<TBinTreeNode100> TBinTreeReader100::ReadRecord(const TRecordHead100& AHead) {
    CheckRecord100(AHead, FCursor.Remaining());
    if (FNodeCount >= FLimits.MaxNodes)
        throw EBinaryTreeLimit(QString::fromLatin1(KTooManyNodes));
    ++FNodeCount;

    std::unique_ptr<TBinTreeNode100> node(
        CreateNodeOfType(AHead.NodeType, nullptr, QStringLiteral("NONAME")));
    node->SetNodeID(AHead.NodeID);
    node->SetNodeSubType(AHead.NodeSubType);
    if (AHead.NameSize != 0)
        node->SetNodeName(DecodeName(FCursor.Take(AHead.NameSize), AHead.NameSize));
    if (AHead.DataSize != 0)
        node->WriteBuffer(FCursor.Take(AHead.DataSize), AHead.DataSize);
    return node;
}

QString TBinTreeReader100::DecodeName(const std::uint8_t* ABytes, std::size_t ASize) const {
    // Up to the first NUL and at most 64 code units; an odd last byte is no code unit.
    const std::size_t units = std::min(ASize / 2, KMaxNameUnits100);
    QString name;
    name.reserve(static_cast<qsizetype>(units));
    for (std::size_t i = 0; i < units; ++i) {
        const auto unit = le::Load<char16_t>(ABytes + 2 * i);
        if (unit == 0)
            break;
        name.append(QChar(unit));
    }
    return name;
}

} // namespace velmora
