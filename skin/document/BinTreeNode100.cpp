#include "skin/document/BinTreeNode100.h"

#include "skin/document/BinaryTreeErrors100.h"

namespace velmora {

namespace {

bool IsBlank(QChar c) {
    return c.unicode() <= 0x20 || c.isSpace() || c.category() == QChar::Other_Control;
}

const QString& CheckedName(const QString& ANodeName) {
    if (TrimBlanks(ANodeName).isEmpty())
        throw EInvalidNodeName(QString::fromLatin1(KInvalidNodeName));
    return ANodeName;
}

} // namespace

QString TrimBlanks(const QString& AText) {
    qsizetype first = 0;
    qsizetype last = AText.size();
    while (first < last && IsBlank(AText[first]))
        ++first;
    while (last > first && IsBlank(AText[last - 1]))
        --last;
    return AText.mid(first, last - first);
}

TBinTreeNode100::TBinTreeNode100(TBinTreeNode100* AParentNode, const QString& ANodeName,
                                 TNodeType100 AType, std::uint32_t AFixedSize)
    : FNodeName(CheckedName(ANodeName)), FChildNodes(this), FNodeType(AType),
      FDataSize(AFixedSize) {
    SetParentNode(AParentNode);
}

TBinTreeNode100::~TBinTreeNode100() {
    // A node deleted directly (not through its list) still leaves no dangling entry behind.
    if (FParentNode != nullptr)
        FParentNode->FChildNodes.Unlink(this);
    FChildNodes.Clear();
}

void TBinTreeNode100::SetNodeName(const QString& AValue) {
    QString name = AValue;
    name.remove(QChar(u'\r'));
    FNodeName = std::move(name);
}

void TBinTreeNode100::SetParentNode(TBinTreeNode100* AValue) {
    if (AValue == FParentNode)
        return;
    // A node must not become its own ancestor: the subtree would own itself and be lost.
    for (const TBinTreeNode100* up = AValue; up != nullptr; up = up->FParentNode)
        BtdAssert(up != this);
    if (FParentNode != nullptr)
        FParentNode->FChildNodes.Unlink(this);
    FParentNode = AValue;
    if (AValue != nullptr)
        AValue->FChildNodes.FItems.push_back(this);
}

} // namespace velmora
