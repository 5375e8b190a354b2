#pragma once

#include "platform/graphics/GPBitmap.h"
#include "skin/drawing/GDIIMGADV.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>

namespace velmora {

// What every named style item shares: its name, set when the catalogue adds it.
class TBaseSkinStyleItem {
public:
    TBaseSkinStyleItem() = default;
    virtual ~TBaseSkinStyleItem() = default;
    TBaseSkinStyleItem(const TBaseSkinStyleItem&) = delete;
    TBaseSkinStyleItem& operator=(const TBaseSkinStyleItem&) = delete;
    const QString& StyleName() const { return FStyleName; }
    void SetStyleName(const QString& AValue) { FStyleName = AValue; }

private:
    QString FStyleName;
};

// The five button states, in the order the skin names their pictures.
enum TSkinButtonState : int { sbsNormal, sbsHover, sbsDown, sbsDisabled, sbsFocused };
inline constexpr int KSkinButtonStateCount = 5;

// A picture with its nine-slice element; the element is prepared whenever the picture changes.
struct TSkinBitmapSlot {
    IGPBitmap Bitmap;
    std::unique_ptr<TGDIIMGADV> Element = std::make_unique<TGDIIMGADV>();
};

class TSkinButtonStyleItem : public TBaseSkinStyleItem {
public:
    const IGPBitmap& Bitmap(TSkinButtonState AState) const { return FSlots[AState].Bitmap; }
    TGDIIMGADV* BitmapElement(TSkinButtonState AState) const {
        return FSlots[AState].Element.get();
    }
    void SetBitmap(TSkinButtonState AState, const IGPBitmap& AValue);

    const IGPBitmap& NormalBitmap() const { return Bitmap(sbsNormal); }
    const IGPBitmap& HoverBitmap() const { return Bitmap(sbsHover); }
    const IGPBitmap& DownBitmap() const { return Bitmap(sbsDown); }
    const IGPBitmap& DisabledBitmap() const { return Bitmap(sbsDisabled); }
    const IGPBitmap& FocusedBitmap() const { return Bitmap(sbsFocused); }
    TGDIIMGADV* NormalBitmapElement() const { return BitmapElement(sbsNormal); }
    TGDIIMGADV* HoverBitmapElement() const { return BitmapElement(sbsHover); }
    TGDIIMGADV* DownBitmapElement() const { return BitmapElement(sbsDown); }
    TGDIIMGADV* DisabledBitmapElement() const { return BitmapElement(sbsDisabled); }
    TGDIIMGADV* FocusedBitmapElement() const { return BitmapElement(sbsFocused); }

private:
    std::array<TSkinBitmapSlot, KSkinButtonStateCount> FSlots;
    int FHorzBitmapMargin = 3;
    int FVertBitmapMargin = 3;
};

// A button with a drop-down part: either one picture cut into a left and a right part by
// DropDownWidth, or separate left and right pictures.
class TSkinDropDownButtonStyleItem : public TBaseSkinStyleItem {
public:
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int AValue) { FDropDownWidth = AValue; }
    bool IsLeftRightBitmapSeperate() const { return FIsLeftRightBitmapSeperate; }
    void SetIsLeftRightBitmapSeperate(bool AValue) { FIsLeftRightBitmapSeperate = AValue; }

    const IGPBitmap& Bitmap(TSkinButtonState AState) const { return FWhole[AState]; }
    const IGPBitmap& LeftBitmap(TSkinButtonState AState) const { return FLeft[AState].Bitmap; }
    const IGPBitmap& RightBitmap(TSkinButtonState AState) const { return FRight[AState].Bitmap; }
    TGDIIMGADV* LeftBitmapElement(TSkinButtonState AState) const {
        return FLeft[AState].Element.get();
    }
    TGDIIMGADV* RightBitmapElement(TSkinButtonState AState) const {
        return FRight[AState].Element.get();
    }
    // A whole picture prepares both part elements of its state, cut by DropDownWidth.
    void SetBitmap(TSkinButtonState AState, const IGPBitmap& AValue);
    void SetLeftBitmap(TSkinButtonState AState, const IGPBitmap& AValue);
    void SetRightBitmap(TSkinButtonState AState, const IGPBitmap& AValue);

    const IGPBitmap& NormalBitmap() const { return Bitmap(sbsNormal); }
    const IGPBitmap& LeftNormalBitmap() const { return LeftBitmap(sbsNormal); }
    const IGPBitmap& RightNormalBitmap() const { return RightBitmap(sbsNormal); }
    TGDIIMGADV* LeftNormalBitmapElement() const { return LeftBitmapElement(sbsNormal); }
    TGDIIMGADV* RightNormalBitmapElement() const { return RightBitmapElement(sbsNormal); }

private:
    int FDropDownWidth = 13;
    bool FIsLeftRightBitmapSeperate = false;
    std::array<IGPBitmap, KSkinButtonStateCount> FWhole;
    std::array<TSkinBitmapSlot, KSkinButtonStateCount> FLeft;
    std::array<TSkinBitmapSlot, KSkinButtonStateCount> FRight;
};

// The 21 pictures of a horizontal page control, in the order of KPageControlImageNodes.
enum TPageControlImage : int {
    pciTabBtnHover,
    pciTabBtnDown,
    pciTabBtnNormal,
    pciTabBackGround,
    pciAttachBtnHover,
    pciAttachBtnDown,
    pciAttachBtnNormal,
    pciCustomBtnHover,
    pciCustomBtnDown,
    pciCustomBtnNormal,
    pciCloseBtnHover,
    pciCloseBtnDown,
    pciCloseBtnNormal,
    pciPageDownBtnHover,
    pciPageDownBtnDown,
    pciPageDownBtnNormal,
    pciPageDownBtnDisabled,
    pciPageUpBtnHover,
    pciPageUpBtnDown,
    pciPageUpBtnNormal,
    pciPageUpBtnDisabled,
};
inline constexpr int KPageControlImageCount = 21;
extern const std::array<const char*, KPageControlImageCount> KPageControlImageNodes;

class TSkinPageControlStyleItem : public TBaseSkinStyleItem {
public:
    const IGPBitmap& Image(TPageControlImage AImage) const { return FImages[AImage]; }
    // The four tab pictures also prepare their elements.
    void SetImage(TPageControlImage AImage, const IGPBitmap& AValue);
    // Elements exist for the four tab pictures only; nullptr for the others.
    TGDIIMGADV* ImageElement(TPageControlImage AImage) const;

    const IGPBitmap& TabBtnImg_Normal() const { return Image(pciTabBtnNormal); }
    const IGPBitmap& TabBackGround() const { return Image(pciTabBackGround); }
    TGDIIMGADV* TabBtnImg_HoverElement() const { return FTabElements[0].get(); }
    TGDIIMGADV* TabBtnImg_DownElement() const { return FTabElements[1].get(); }
    TGDIIMGADV* TabBtnImg_NormalElement() const { return FTabElements[2].get(); }
    TGDIIMGADV* TabBackGroundElement() const { return FTabElements[3].get(); }

    std::uint32_t AverageGPColor() const { return FAverageGPColor; }
    void SetAverageGPColor(std::uint32_t AValue) { FAverageGPColor = AValue; }

private:
    std::array<IGPBitmap, KPageControlImageCount> FImages;
    std::array<std::unique_ptr<TGDIIMGADV>, 4> FTabElements{
        std::make_unique<TGDIIMGADV>(), std::make_unique<TGDIIMGADV>(),
        std::make_unique<TGDIIMGADV>(), std::make_unique<TGDIIMGADV>()};
    std::uint32_t FAverageGPColor = 0;
};

// Scroll bar pictures of the zone view, horizontal then vertical: up, scroll, down.
enum TScrollBarImage : int {
    sbiHorzTop,
    sbiHorzScroll,
    sbiHorzBottom,
    sbiVertTop,
    sbiVertScroll,
    sbiVertBottom
};
inline constexpr int KScrollBarImageCount = 6;
extern const std::array<const char*, KScrollBarImageCount> KScrollBarImageNodes;

class TSkinZoneViewScrollBarItem {
public:
    const QString& StyleName() const { return FStyleName; }
    void SetStyleName(const QString& AValue) { FStyleName = AValue; }
    const IGPBitmap& Bitmap(TScrollBarImage AImage) const { return FBitmaps[AImage]; }
    void SetBitmap(TScrollBarImage AImage, const IGPBitmap& AValue) { FBitmaps[AImage] = AValue; }
    const IGPBitmap& Bitmap_VertScrollBtn() const { return Bitmap(sbiVertScroll); }

private:
    QString FStyleName;
    std::array<IGPBitmap, KScrollBarImageCount> FBitmaps;
};

class TSkinPanelStyleItem {
public:
    const QString& StyleName() const { return FStyleName; }
    void SetStyleName(const QString& AValue) { FStyleName = AValue; }
    const IGPBitmap& FormClientPanelBackImage() const { return FFormClientPanelBackImage; }
    void SetFormClientPanelBackImage(const IGPBitmap& AValue) {
        FFormClientPanelBackImage = AValue;
    }

private:
    QString FStyleName;
    IGPBitmap FFormClientPanelBackImage;
};

class TSkinHeadFrameStyleItem : public TBaseSkinStyleItem {
public:
    TSkinHeadFrameStyleItem();
    const IGPBitmap& FrameActive() const { return FActive.Bitmap; }
    const IGPBitmap& FrameNormal() const { return FNormal.Bitmap; }
    void SetFrameActive(const IGPBitmap& AValue);
    void SetFrameNormal(const IGPBitmap& AValue);
    int FrameMargin() const { return FFrameMargin; }
    // Sets all four margins of both elements.
    void SetFrameMargin(int AValue);
    TGDIIMGADV* FrameActiveElement() const { return FActive.Element.get(); }
    TGDIIMGADV* FrameNormalElement() const { return FNormal.Element.get(); }

private:
    TSkinBitmapSlot FActive;
    TSkinBitmapSlot FNormal;
    int FFrameMargin = 4;
};

} // namespace velmora
