#include "skin/document/BinaryTreeDocument100.h"

#include "skin/document/BinTreeStreams100.h"
#include "skin/document/BinTreeWriter100.h"

#include <QFile>
#include <vector>

namespace velmora {

namespace {

// Tries equal-named siblings in order until one holds the rest of the path. Every node sits
// at exactly one depth, so each is visited at most once however the names repeat.
TBinTreeNode100* ResolvePath(const TBinTreeNode100& ANode, QStringView APath) {
    const qsizetype split = APath.indexOf(u'\\');
    const QStringView head = split < 0 ? APath : APath.left(split);
    const QStringView rest = split < 0 ? QStringView() : APath.mid(split + 1);
    if (head.isEmpty())
        return nullptr;
    for (TBinTreeNode100* child : ANode.ChildNodes()) {
        if (child->NodeName() != head)
            continue;
        if (split < 0)
            return child;
        if (TBinTreeNode100* found = ResolvePath(*child, rest))
            return found;
    }
    return nullptr;
}

template <typename Match> TBinTreeNode100* FindFromLast(const TBinTreeNode100& ATop, Match AMatch) {
    // Children are pushed first to last, so the last child is compared first and its
    // subtree is searched before its previous sibling.
    std::vector<TBinTreeNode100*> pending(ATop.ChildNodes().begin(), ATop.ChildNodes().end());
    while (!pending.empty()) {
        TBinTreeNode100* node = pending.back();
        pending.pop_back();
        if (AMatch(*node))
            return node;
        pending.insert(pending.end(), node->ChildNodes().begin(), node->ChildNodes().end());
    }
    return nullptr;
}

} // namespace

TBinaryTreeDocument100::TBinaryTreeDocument100()
    : FTopNode(std::make_unique<TDirectoryNode100>(nullptr, QStringLiteral("ROOT"))) {}

TBinaryTreeDocument100::~TBinaryTreeDocument100() = default;

void TBinaryTreeDocument100::SetTopNode(std::unique_ptr<TBinTreeNode100> ANode) {
    BtdAssert(ANode != nullptr && ANode->ParentNode() == nullptr);
    FTopNode = std::move(ANode);
}

void TBinaryTreeDocument100::Clear() {
    FTopNode->ChildNodes().Clear();
}

TBinTreeNode100* TBinaryTreeDocument100::CreateNode(std::uint32_t ANodeType,
                                                    TBinTreeNode100* AParentNode,
                                                    const QString& ANodeName) {
    return CreateNodeOfType(ANodeType, AParentNode, ANodeName);
}

TBinTreeNode100* TBinaryTreeDocument100::FindNode(std::uint32_t ANodeID) const {
    return FindFromLast(
        *FTopNode, [ANodeID](const TBinTreeNode100& node) { return node.NodeID() == ANodeID; });
}

TBinTreeNode100* TBinaryTreeDocument100::FindNode(const QString& ANodeName) const {
    return FindFromLast(*FTopNode, [&ANodeName](const TBinTreeNode100& node) {
        return node.NodeName() == ANodeName;
    });
}

TBinTreeNode100* TBinaryTreeDocument100::FindNodeByPath(const QString& ANodePath) const {
    const QString trimmed = TrimBlanks(ANodePath);
    QStringView path(trimmed);
    while (path.startsWith(u'\\'))
        path = path.mid(1);
    while (path.endsWith(u'\\'))
        path.chop(1);
    return ResolvePath(*FTopNode, path);
}

std::uint64_t TBinaryTreeDocument100::DataSize() const {
    return SerializedSize100(*FTopNode);
}

void TBinaryTreeDocument100::ReadBuffer(void* ABuffer, std::int64_t ACount) const {
    const std::uint64_t size = DataSize();
    if (ACount < 0 || static_cast<std::uint64_t>(ACount) < size)
        throw EBufferOverflow(QString::fromLatin1(KBufferOverflow));
    BtdAssert(ABuffer != nullptr);
    Serialize100(*FTopNode, FVersion, static_cast<std::uint8_t*>(ABuffer));
}

void TBinaryTreeDocument100::WriteBuffer(const void* ABuffer, std::int64_t ACount) {
    if (ACount < 4 || ABuffer == nullptr)
        throw EInvalidBinaryTreeDocument(QString::fromLatin1(KInvalidBinaryTreeDocument));
    Clear();
    TBinTreeReader100 reader(static_cast<const std::uint8_t*>(ABuffer),
                             static_cast<std::size_t>(ACount), FLimits);
    reader.ReadVersion();
    FVersion = KVersion100;
    reader.ReadTree([this](std::unique_ptr<TBinTreeNode100> top) { SetTopNode(std::move(top)); });
}

QByteArray TBinaryTreeDocument100::SaveToByteArray() const {
    const std::uint64_t size = DataSize();
    BtdAssert(size <= static_cast<std::uint64_t>(std::numeric_limits<qsizetype>::max()));
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

void TBinaryTreeDocument100::LoadFromStream(QIODevice& AStream) {
    if (!AStream.isSequential() && AStream.size() - AStream.pos() < 4)
        throw EInvalidBinaryTreeDocument(QString::fromLatin1(KInvalidBinaryTreeDocument));
    const QByteArray bytes = ReadRestOfDevice(AStream);
    WriteBuffer(bytes.constData(), bytes.size());
}

void TBinaryTreeDocument100::SaveToStream(QIODevice& AStream) const {
    const QByteArray bytes = SaveToByteArray();
    WriteToDevice(AStream, bytes.constData(), bytes.size());
}

void TBinaryTreeDocument100::LoadFromFile(const QString& AFileName) {
    LoadFromNamedFile(AFileName, [this](QIODevice& AFile) { LoadFromStream(AFile); });
}

void TBinaryTreeDocument100::SaveToFile(const QString& AFileName) const {
    SaveToNamedFile(AFileName, [this](QIODevice& AFile) { SaveToStream(AFile); });
}

} // namespace velmora
