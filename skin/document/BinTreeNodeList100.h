#pragma once

#include <QString>
#include <vector>

namespace velmora {

class TBinTreeNode100;

// The children of one node, in file order. The list owns its nodes: a node in a list dies
// only through Delete or Clear (or the owner's death), so no list ever keeps a dangling entry.
class TBinTreeNodeList100 {
public:
    explicit TBinTreeNodeList100(TBinTreeNode100* AOwnerNode);
    ~TBinTreeNodeList100();
    TBinTreeNodeList100(const TBinTreeNodeList100&) = delete;
    TBinTreeNodeList100& operator=(const TBinTreeNodeList100&) = delete;

    // Appends ANode and makes the owner its parent; a node already here keeps its index.
    int Add(TBinTreeNode100* ANode);
    // Inserts ANode at Index (0..Count) unless it is already in the list.
    void Insert(int Index, TBinTreeNode100* ANode);
    // Hands ANode back to the caller without a parent; -1 when it was not here.
    int Remove(TBinTreeNode100* ANode);
    void Delete(int Index);
    void Clear();

    int IndexOf(const TBinTreeNode100* ANode) const;
    int Count() const noexcept { return static_cast<int>(FItems.size()); }
    TBinTreeNode100* GetItems(int Index) const;
    TBinTreeNode100* operator[](int Index) const { return GetItems(Index); }
    // Puts a parentless node into the slot; the node it displaces is destroyed, because a
    // reference dropped from an owning list would otherwise leak or dangle.
    void SetItems(int Index, TBinTreeNode100* Value);
    void Move(int CurIndex, int NewIndex);

    // The direct child with exactly this name, searched from the last child, so that among
    // equal names the last one wins.
    TBinTreeNode100* FindByNodeName(const QString& ANodeName) const;

    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    friend class TBinTreeNode100;
    void CheckIndex(int Index, int Limit) const;
    // Takes ANode out of the list without touching its parent field.
    void Unlink(TBinTreeNode100* ANode);
    void Destroy(TBinTreeNode100* ANode);

    TBinTreeNode100* FOwnerNode;
    std::vector<TBinTreeNode100*> FItems;
};

} // namespace velmora
