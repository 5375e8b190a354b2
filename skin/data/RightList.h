#pragma once

#include <functional>
#include <vector>

namespace velmora {

class TBaseSkinItem;

// An ordered list of item references.
class TRightList {
public:
    using TCompare = std::function<int(const TBaseSkinItem*, const TBaseSkinItem*)>;
    int Count() const { return static_cast<int>(FItems.size()); }
    TBaseSkinItem* Items(int AIndex) const { return FItems.at(static_cast<size_t>(AIndex)); }
    void Add(TBaseSkinItem* AItem) { FItems.push_back(AItem); }
    void Insert(int AIndex, TBaseSkinItem* AItem);
    int IndexOf(const TBaseSkinItem* AItem) const;
    // Removes the first occurrence; -1 when absent.
    int Remove(const TBaseSkinItem* AItem);
    void Clear() { FItems.clear(); }
    // Quick sort around the middle element; not stable. ACompare < 0 puts the first first.
    void Sort(const TCompare& ACompare);
    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    void QuickSort(int ALow, int AHigh, const TCompare& ACompare);
    std::vector<TBaseSkinItem*> FItems;
};

} // namespace velmora
