#pragma once

#include "skin/drawing/SkinTypes.h"
#include "skin/widgets/SkinPageControlTypes.h"

#include <QPoint>
#include <array>
#include <vector>

namespace velmora {

// A control button as the layout sees it: whether it is shown and the size of its normal
// picture along and across the strip.
struct TTabStripButton {
    bool Shown = false;
    int Along = 0;
    int Across = 0;
};

// Everything the tab strip's geometry depends on; plain values, so the layout can be checked
// without a window or a picture.
struct TTabStripInput {
    TSkinTabOrientation Orientation = toTop;
    TGPRect Strip;
    bool FillInRow = false;
    bool AlwaysShowFirstPage = false;
    // One length per visible tab (along the strip); row mode only counts them.
    std::vector<int> TabLengths;
    int PageScrollStart = 0;
    // Indexed by TabCtrlBtnSlot. The paging pair is shown whenever paging is needed.
    std::array<TTabStripButton, KTabCtrlBtnCount> Buttons;
};

// Where the tabs and buttons of one strip lie. A tab or button that is not placed has an
// empty rectangle and can be neither drawn nor hit.
struct TTabStripLayout {
    std::vector<TGPRect> Tabs;
    std::array<TGPRect, KTabCtrlBtnCount> Buttons{};
    bool PageScrollVisible = false;
    int MinScrollStart = 0;
    int PageScrollStart = 0;
    int MaxPageScrollStart = 0;
    int Drawn = 0;

    bool TabPlaced(int AIndex) const;
    const TGPRect& Button(TSkinTabCtrlBtn AButton) const {
        return Buttons[TabCtrlBtnSlot(AButton)];
    }
    // The one hit test of the strip, shared by hover, press and release: a placed control
    // button first (so a tab never lies under one), then the placed tabs.
    TSkinTabCtrlBtn ButtonAt(const QPoint& APoint) const;
    int TabAt(const QPoint& APoint) const;
};

// Lays the strip out: row mode shares the strip between all tabs, scroll mode places tabs by
// their own lengths from the scroll start and adds paging buttons when they do not fit.
class TTabStripLayouter {
public:
    static TTabStripLayout Layout(const TTabStripInput& AInput);

private:
    static void LayoutRow(const TTabStripInput& AInput, TTabStripLayout& ALayout);
    static void LayoutScroll(const TTabStripInput& AInput, TTabStripLayout& ALayout);
};

bool RectContains(const TGPRect& ARect, const QPoint& APoint);

} // namespace velmora
