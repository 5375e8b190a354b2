#include "skin/drawing/SkinIconList.h"

namespace velmora {

TSkinImageList::~TSkinImageList() {
    // The owner may already be gone; destruction releases the bitmaps without notifying.
    FBitmaps.clear();
}

void TSkinImageList::Changed() {
    if (OnChange)
        OnChange(this);
}

int TSkinImageList::AddImage(const IGPBitmap& AImage) {
    FBitmaps.push_back(std::make_unique<TIconBitmapItem>(AImage));
    Changed();
    return Count() - 1;
}

void TSkinImageList::InsertImage(int Index, const IGPBitmap& AImage) {
    if (Index < 0 || Index > Count())
        return;
    FBitmaps.insert(FBitmaps.begin() + Index, std::make_unique<TIconBitmapItem>(AImage));
    Changed();
}

void TSkinImageList::ReplaceImage(int Index, const IGPBitmap& AImage) {
    if (!Holds(Index))
        return;
    FBitmaps[static_cast<size_t>(Index)]->SetBufferGPBitmap(AImage);
    Changed();
}

void TSkinImageList::Delete(int Index) {
    if (!Holds(Index))
        return;
    FBitmaps.erase(FBitmaps.begin() + Index);
    Changed();
}

void TSkinImageList::Clear() {
    FBitmaps.clear();
    Changed();
}

IGPBitmap TSkinImageList::GetImage(int Index) const {
    if (!Holds(Index))
        return {};
    return FBitmaps[static_cast<size_t>(Index)]->BufferGPBitmap();
}

void TSkinImageList::GetImage(int Index, IGPBitmap& AImage) const {
    AImage.reset();
    AImage = GetImage(Index);
}

} // namespace velmora
