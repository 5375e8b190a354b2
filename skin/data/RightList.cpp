#include "skin/data/RightList.h"

#include <algorithm>

namespace velmora {

void TRightList::Insert(int AIndex, TBaseSkinItem* AItem) {
    const int index = std::clamp(AIndex, 0, Count());
    FItems.insert(FItems.begin() + index, AItem);
}

int TRightList::IndexOf(const TBaseSkinItem* AItem) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i] == AItem)
            return static_cast<int>(i);
    return -1;
}

int TRightList::Remove(const TBaseSkinItem* AItem) {
    const int index = IndexOf(AItem);
    if (index >= 0)
        FItems.erase(FItems.begin() + index);
    return index;
}

void TRightList::Sort(const TCompare& ACompare) {
    if (Count() > 1)
        QuickSort(0, Count() - 1, ACompare);
}

void TRightList::QuickSort(int ALow, int AHigh, const TCompare& ACompare) {
    while (ALow < AHigh) {
        int i = ALow;
        int j = AHigh;
        TBaseSkinItem* const pivot = FItems[static_cast<size_t>(ALow + (AHigh - ALow) / 2)];
        while (i <= j) {
            while (ACompare(FItems[static_cast<size_t>(i)], pivot) < 0)
                ++i;
            while (ACompare(FItems[static_cast<size_t>(j)], pivot) > 0)
                --j;
            if (i <= j) {
                std::swap(FItems[static_cast<size_t>(i)], FItems[static_cast<size_t>(j)]);
                ++i;
                --j;
            }
        }
        // Recurse into the smaller part so that the depth stays logarithmic.
        if (j - ALow < AHigh - i) {
            QuickSort(ALow, j, ACompare);
            ALow = i;
        } else {
            QuickSort(i, AHigh, ACompare);
            AHigh = j;
        }
    }
}

} // namespace velmora
