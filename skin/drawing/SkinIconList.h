#pragma once

#include "platform/graphics/GPBitmap.h"

#include <functional>
#include <memory>
#include <vector>

namespace velmora {

// One entry of the image list: a shared reference to a bitmap.
class TIconBitmapItem {
public:
    explicit TIconBitmapItem(IGPBitmap bitmap) : FBufferGPBitmap(std::move(bitmap)) {}
    const IGPBitmap& BufferGPBitmap() const { return FBufferGPBitmap; }
    void SetBufferGPBitmap(const IGPBitmap& value) { FBufferGPBitmap = value; }

private:
    IGPBitmap FBufferGPBitmap;
};

// An ordered list of bitmaps that a control indexes (tab icons). Every change raises OnChange;
// an index outside the list (negative included) changes nothing and raises nothing.
class TSkinImageList {
public:
    TSkinImageList() = default;
    ~TSkinImageList();
    TSkinImageList(const TSkinImageList&) = delete;
    TSkinImageList& operator=(const TSkinImageList&) = delete;

    int Count() const { return static_cast<int>(FBitmaps.size()); }
    int AddImage(const IGPBitmap& AImage);
    // Index may equal Count (append).
    void InsertImage(int Index, const IGPBitmap& AImage);
    void ReplaceImage(int Index, const IGPBitmap& AImage);
    void Delete(int Index);
    void Clear();
    IGPBitmap GetImage(int Index) const;
    void GetImage(int Index, IGPBitmap& AImage) const;

    std::function<void(TSkinImageList* Sender)> OnChange;

private:
    bool Holds(int Index) const { return Index >= 0 && Index < Count(); }
    void Changed();

    std::vector<std::unique_ptr<TIconBitmapItem>> FBitmaps;
};

} // namespace velmora
