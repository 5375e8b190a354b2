#include "skin/data/SkinZoneViewStyleItem.h"

#include "skin/drawing/DefaultSkinFont.h"
#include "skin/drawing/GdiSkinHelper.h"

namespace velmora {

const std::array<const char*, KZoneViewImageCount> KZoneViewImageNodes = {
    "ZoneNodeStateIcons\\Expand",
    "ZoneNodeStateIcons\\Collapse",
    "ZoneBackImage\\Active",
    "ZoneBackImage\\Hover",
    "ZoneBackImage\\Normal",
    "ZoneHeadFrame\\FrameActive",
    "ZoneHeadFrame\\FrameNormal",
    "ZoneNodeBackImage\\CollapseBackImage",
    "ZoneNodeBackImage\\ExpandBackImage",
    "ZoneNodeBackImage\\Hover",
};

const std::array<const char*, KZoneViewFontCount> KZoneViewFontNodes = {
    "ZoneFont\\NodeNormalFont", "ZoneFont\\NodeActiveFont", "ZoneFont\\NodeHoverFont",
    "ZoneFont\\NickNormalFont", "ZoneFont\\NickActiveFont", "ZoneFont\\NickHoverFont",
    "ZoneFont\\InfoNormalFont", "ZoneFont\\InfoActiveFont", "ZoneFont\\InfoHoverFont",
    "ZoneFont\\MainNormalFont", "ZoneFont\\MainActiveFont", "ZoneFont\\MainHoverFont",
};

namespace {

bool HasElement(TZoneViewImage AImage) {
    switch (AImage) {
    case zviZoneActive:
    case zviZoneHover:
    case zviZoneNormal:
    case zviNodeCollapseBackImage:
    case zviNodeExpandBackImage:
    case zviNodeHover:
        return true;
    default:
        return false;
    }
}

} // namespace

TSkinZoneViewStyleItem::TSkinZoneViewStyleItem() {
    for (int i = 0; i < KZoneViewImageCount; ++i)
        if (HasElement(static_cast<TZoneViewImage>(i)))
            FElements[i] = std::make_unique<TGDIIMGADV>();
    const TDefaultSkinFont face = DefaultSkinFont();
    for (TFrameworkFont& font : FFonts) {
        font.Name = face.Family;
        font.Size = face.Size;
        font.Color = KDefaultTextColor;
    }
    for (TZoneViewFont f : {zvfNodeNormal, zvfNodeActive, zvfNodeHover})
        FFonts[f].Color = 0x363636;
    for (TZoneViewFont f : {zvfInfoNormal, zvfInfoActive, zvfInfoHover})
        FFonts[f].Color = 0xA5A5A5;
    for (TZoneViewFont f : {zvfNickActive, zvfNickHover, zvfMainActive, zvfMainHover})
        FFonts[f].Color = 0;
}

void TSkinZoneViewStyleItem::SetImage(TZoneViewImage AImage, const IGPBitmap& AValue) {
    if (FImages[AImage] == AValue)
        return;
    FImages[AImage] = AValue;
    if (TGDIIMGADV* element = ImageElement(AImage))
        TSkinHelper::InitGdiImgAdv(element, AValue, 8, 8);
}

TGDIIMGADV* TSkinZoneViewStyleItem::ImageElement(TZoneViewImage AImage) const {
    return FElements[AImage].get();
}

} // namespace velmora
