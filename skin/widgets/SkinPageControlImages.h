#pragma once

#include "skin/widgets/SkinPageControlTypes.h"

namespace velmora {

// The page control's own pictures, in the order of the style item's page-control pictures.
enum TPageCtrlImage : int {
    pgiTabHover,
    pgiTabDown,
    pgiTabNormal,
    pgiTabBackGround,
    pgiAttachHover,
    pgiAttachDown,
    pgiAttachNormal,
    pgiCustomHover,
    pgiCustomDown,
    pgiCustomNormal,
    pgiCloseHover,
    pgiCloseDown,
    pgiCloseNormal,
    pgiPageDownHover,
    pgiPageDownDown,
    pgiPageDownNormal,
    pgiPageDownDisabled,
    pgiPageUpHover,
    pgiPageUpDown,
    pgiPageUpNormal,
    pgiPageUpDisabled,
};
inline constexpr int KPageCtrlImageCount = 21;

// The slot of a picture's own nine-slice element (the three tab pictures and the strip
// background), or -1 for a picture drawn whole.
constexpr int PageCtrlElementSlot(TPageCtrlImage AImage) {
    switch (AImage) {
    case pgiTabHover:
        return 0;
    case pgiTabDown:
        return 1;
    case pgiTabNormal:
        return 2;
    case pgiTabBackGround:
        return 3;
    default:
        return -1;
    }
}
inline constexpr int KPageCtrlElementCount = 4;

// The pictures of a control button by state (the paging pair has a disabled one besides).
struct TPageCtrlButtonImages {
    TPageCtrlImage Normal, Hover, Down;
};

constexpr TPageCtrlButtonImages PageCtrlButtonImages(TSkinTabCtrlBtn AButton) {
    switch (AButton) {
    case cbAttach:
        return {pgiAttachNormal, pgiAttachHover, pgiAttachDown};
    case cbCustom:
        return {pgiCustomNormal, pgiCustomHover, pgiCustomDown};
    case cbClose:
        return {pgiCloseNormal, pgiCloseHover, pgiCloseDown};
    case cbPageDown:
        return {pgiPageDownNormal, pgiPageDownHover, pgiPageDownDown};
    case cbPageUp:
    default:
        return {pgiPageUpNormal, pgiPageUpHover, pgiPageUpDown};
    }
}

} // namespace velmora
