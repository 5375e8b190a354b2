#pragma once

#include "skin/drawing/GDIIMGADV.h"
#include "skin/drawing/SkinTypes.h"

#include <memory>

namespace velmora {

// The drawing settings the skinned popup menu shares, refilled by the manager with every skin.
// The values of a new set are the defaults the manager falls back to.
struct TSkinPopupMenuSettings {
    bool SkinPopupMenu = false;
    std::unique_ptr<TGDIIMGADV> ArrowElement = std::make_unique<TGDIIMGADV>();
    std::unique_ptr<TGDIIMGADV> BkgElement = std::make_unique<TGDIIMGADV>();
    std::unique_ptr<TGDIIMGADV> CheckElement = std::make_unique<TGDIIMGADV>();
    std::unique_ptr<TGDIIMGADV> CutlingElement = std::make_unique<TGDIIMGADV>();
    std::unique_ptr<TGDIIMGADV> HighLightElement = std::make_unique<TGDIIMGADV>();
    std::unique_ptr<TGDIIMGADV> CoverElement = std::make_unique<TGDIIMGADV>();
    int MenuBkgBitmapTopMargin = 9;
    int MenuBkgBitmapLeftMargin = 33;
    int MenuBkgBitmapRightMargin = 8;
    int MenuBkgBitmapBottomMargin = 9;
    int MenuCutlingDrawLeftMargin = 33;
    int MenuCutlingDrawRightMargin = 8;
    int MenuCutlingHeight = 3;
    int MenuCutlingDrawHeight = 1;
    TStretchMode MenuBkgBitmapStretchMode = smStretchBoth;
    int MenuHighLightDrawLeftMargin = 7;
    int MenuHighLightDrawRightMargin = 7;
    int MenuHighLightDrawTopMargin = -1;
    int MenuHighLightDrawBottomMargin = 0;
    int MenuIconDrawLeftMargin = 7;
    int MenuArrowBitmapDrawRightMargin = 20;
    int MenuCaptionDrawLeftMargin = 33;
    int MenuItemsDrawTopMargin = 8;
    int MenuOtherHeight = 14;
    int MenuOtherWidth = 74;
};

// The one set of the process.
TSkinPopupMenuSettings& SkinPopupMenuSettings();

} // namespace velmora
