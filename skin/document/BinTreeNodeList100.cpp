#include "skin/document/BinTreeNodeList100.h"

#include "skin/document/BinTreeNode100.h"
#include "skin/document/BinaryTreeErrors100.h"

#include <algorithm>

namespace velmora {

TBinTreeNodeList100::TBinTreeNodeList100(TBinTreeNode100* AOwnerNode) : FOwnerNode(AOwnerNode) {
    BtdAssert(AOwnerNode != nullptr);
}

TBinTreeNodeList100::~TBinTreeNodeList100() {
    Clear();
}

int TBinTreeNodeList100::Add(TBinTreeNode100* ANode) {
    BtdAssert(ANode != nullptr);
    const int index = IndexOf(ANode);
    if (index >= 0)
        return index;
    // A node whose parent is the owner always sits in this list, so this appends.
    ANode->SetParentNode(FOwnerNode);
    return Count() - 1;
}

void TBinTreeNodeList100::Insert(int Index, TBinTreeNode100* ANode) {
    BtdAssert(ANode != nullptr);
    if (IndexOf(ANode) >= 0)
        return;
    CheckIndex(Index, Count() + 1);
    ANode->SetParentNode(FOwnerNode);
    Unlink(ANode);
    FItems.insert(FItems.begin() + Index, ANode);
}

int TBinTreeNodeList100::Remove(TBinTreeNode100* ANode) {
    const int index = IndexOf(ANode);
    if (index < 0)
        return -1;
    FItems.erase(FItems.begin() + index);
    ANode->FParentNode = nullptr;
    return index;
}

void TBinTreeNodeList100::Delete(int Index) {
    CheckIndex(Index, Count());
    TBinTreeNode100* node = FItems[static_cast<std::size_t>(Index)];
    FItems.erase(FItems.begin() + Index);
    Destroy(node);
}

void TBinTreeNodeList100::Clear() {
    while (!FItems.empty()) {
        TBinTreeNode100* node = FItems.back();
        FItems.pop_back();
        Destroy(node);
    }
}

int TBinTreeNodeList100::IndexOf(const TBinTreeNode100* ANode) const {
    const auto it = std::find(FItems.begin(), FItems.end(), ANode);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TBinTreeNode100* TBinTreeNodeList100::GetItems(int Index) const {
    CheckIndex(Index, Count());
    return FItems[static_cast<std::size_t>(Index)];
}

void TBinTreeNodeList100::SetItems(int Index, TBinTreeNode100* Value) {
    CheckIndex(Index, Count());
    TBinTreeNode100* old = FItems[static_cast<std::size_t>(Index)];
    if (old == Value)
        return;
    BtdAssert(Value != nullptr && Value->ParentNode() == nullptr);
    for (const TBinTreeNode100* up = FOwnerNode; up != nullptr; up = up->ParentNode())
        BtdAssert(up != Value);
    FItems[static_cast<std::size_t>(Index)] = Value;
    Value->FParentNode = FOwnerNode;
    Destroy(old);
}

void TBinTreeNodeList100::Move(int CurIndex, int NewIndex) {
    CheckIndex(CurIndex, Count());
    CheckIndex(NewIndex, Count());
    const auto cur = FItems.begin() + CurIndex;
    const auto dest = FItems.begin() + NewIndex;
    if (CurIndex < NewIndex)
        std::rotate(cur, cur + 1, dest + 1);
    else
        std::rotate(dest, cur, cur + 1);
}

TBinTreeNode100* TBinTreeNodeList100::FindByNodeName(const QString& ANodeName) const {
    for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) {
        if ((*it)->NodeName() == ANodeName)
            return *it;
    }
    return nullptr;
}

void TBinTreeNodeList100::CheckIndex(int Index, int Limit) const {
    if (Index < 0 || Index >= Limit)
        throw EListIndexError(QString::fromLatin1(KListIndexOutOfBounds));
}

void TBinTreeNodeList100::Unlink(TBinTreeNode100* ANode) {
    const auto it = std::find(FItems.begin(), FItems.end(), ANode);
    if (it != FItems.end())
        FItems.erase(it);
}

void TBinTreeNodeList100::Destroy(TBinTreeNode100* ANode) {
    ANode->FParentNode = nullptr;
    delete ANode;
}

} // namespace velmora
