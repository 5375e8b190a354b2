#include "skin/data/SkinStyleItems.h"

#include "skin/drawing/GdiSkinHelper.h"

namespace velmora {

const std::array<const char*, KPageControlImageCount> KPageControlImageNodes = {
    "TabBtnImg_Hover.png",       "TabBtnImg_Down.png",          "TabBtnImg_Normal.png",
    "TabBackGround.png",         "AttachButton_Hover.png",      "AttachButton_Down.png",
    "AttachButton_Normal.png",   "CustomButton_Hover.png",      "CustomButton_Down.png",
    "CustomButton_Normal.png",   "CloseButton_Hover.png",       "CloseButton_Down.png",
    "CloseButton_Normal.png",    "PageDownButton_Hover.png",    "PageDownButton_Down.png",
    "PageDownButton_Normal.png", "PageDownButton_Disabled.png", "PageUpButton_Hover.png",
    "PageUpButton_Down.png",     "PageUpButton_Normal.png",     "PageUpButton_Disabled.png",
};

const std::array<const char*, KScrollBarImageCount> KScrollBarImageNodes = {
    "Horizontal\\Up.png", "Horizontal\\Scroll.png", "Horizontal\\Down.png",
    "Vertical\\Up.png",   "Vertical\\Scroll.png",   "Vertical\\Down.png",
};

void TSkinButtonStyleItem::SetBitmap(TSkinButtonState AState, const IGPBitmap& AValue) {
    TSkinBitmapSlot& slot = FSlots[AState];
    if (slot.Bitmap == AValue)
        return;
    slot.Bitmap = AValue;
    TSkinHelper::InitGdiImgAdv(slot.Element.get(), AValue, FHorzBitmapMargin, FVertBitmapMargin);
}

void TSkinDropDownButtonStyleItem::SetBitmap(TSkinButtonState AState, const IGPBitmap& AValue) {
    if (FWhole[AState] == AValue)
        return;
    FWhole[AState] = AValue;
    TSkinHelper::InitRightGdiImgAdv(FRight[AState].Element.get(), AValue, FDropDownWidth);
    TSkinHelper::InitLeftGdiImgAdv(FLeft[AState].Element.get(), AValue, FDropDownWidth);
}

void TSkinDropDownButtonStyleItem::SetLeftBitmap(TSkinButtonState AState, const IGPBitmap& AValue) {
    TSkinBitmapSlot& slot = FLeft[AState];
    if (slot.Bitmap == AValue)
        return;
    slot.Bitmap = AValue;
    TSkinHelper::InitGdiImgAdv(slot.Element.get(), AValue, 8, 8);
}

void TSkinDropDownButtonStyleItem::SetRightBitmap(TSkinButtonState AState,
                                                  const IGPBitmap& AValue) {
    TSkinBitmapSlot& slot = FRight[AState];
    if (slot.Bitmap == AValue)
        return;
    slot.Bitmap = AValue;
    TSkinHelper::InitGdiImgAdv(slot.Element.get(), AValue, 8, 8);
}

void TSkinPageControlStyleItem::SetImage(TPageControlImage AImage, const IGPBitmap& AValue) {
    if (FImages[AImage] == AValue)
        return;
    FImages[AImage] = AValue;
    if (TGDIIMGADV* element = ImageElement(AImage))
        TSkinHelper::InitGdiImgAdv(element, AValue, 8, 8);
}

TGDIIMGADV* TSkinPageControlStyleItem::ImageElement(TPageControlImage AImage) const {
    switch (AImage) {
    case pciTabBtnHover:
        return FTabElements[0].get();
    case pciTabBtnDown:
        return FTabElements[1].get();
    case pciTabBtnNormal:
        return FTabElements[2].get();
    case pciTabBackGround:
        return FTabElements[3].get();
    default:
        return nullptr;
    }
}

TSkinHeadFrameStyleItem::TSkinHeadFrameStyleItem() {
    FActive.Element->SetMargin(FFrameMargin, FFrameMargin, FFrameMargin, FFrameMargin);
    FNormal.Element->SetMargin(FFrameMargin, FFrameMargin, FFrameMargin, FFrameMargin);
}

void TSkinHeadFrameStyleItem::SetFrameActive(const IGPBitmap& AValue) {
    if (FActive.Bitmap == AValue)
        return;
    FActive.Bitmap = AValue;
    TSkinHelper::InitGdiImgAdv(FActive.Element.get(), AValue, FFrameMargin, FFrameMargin);
}

void TSkinHeadFrameStyleItem::SetFrameNormal(const IGPBitmap& AValue) {
    if (FNormal.Bitmap == AValue)
        return;
    FNormal.Bitmap = AValue;
    TSkinHelper::InitGdiImgAdv(FNormal.Element.get(), AValue, FFrameMargin, FFrameMargin);
}

void TSkinHeadFrameStyleItem::SetFrameMargin(int AValue) {
    if (FFrameMargin == AValue)
        return;
    FFrameMargin = AValue;
    FActive.Element->SetMargin(AValue, AValue, AValue, AValue);
    FNormal.Element->SetMargin(AValue, AValue, AValue, AValue);
}

} // namespace velmora
