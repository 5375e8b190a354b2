#include "skin/widgets/SkinTabStripLayout.h"

#include <algorithm>

namespace velmora {

namespace {

// The strip seen along its length (the direction tabs follow) and across it.
struct TStripAxes {
    bool Vertical = false;
    int AlongStart = 0;
    int AlongEnd = 0;
    int AcrossStart = 0;
    int AcrossSize = 0;

    explicit TStripAxes(const TTabStripInput& AInput)
        : Vertical(IsVerticalStrip(AInput.Orientation)),
          AlongStart(Vertical ? AInput.Strip.Y : AInput.Strip.X),
          AlongEnd(AlongStart + std::max(0, Vertical ? AInput.Strip.Height : AInput.Strip.Width)),
          AcrossStart(Vertical ? AInput.Strip.X : AInput.Strip.Y),
          AcrossSize(std::max(0, Vertical ? AInput.Strip.Width : AInput.Strip.Height)) {}

    TGPRect Make(int AAlong, int ALength, int AAcross, int AThickness) const {
        if (ALength <= 0 || AThickness <= 0)
            return {};
        return Vertical ? TGPRect{AAcross, AAlong, AThickness, ALength}
                        : TGPRect{AAlong, AAcross, ALength, AThickness};
    }
    TGPRect Tab(int AAlong, int ALength) const {
        return Make(AAlong, ALength, AcrossStart, AcrossSize);
    }
    // A button is centred across the strip by its picture's size.
    TGPRect Button(int AAlong, const TTabStripButton& AButton) const {
        const int inset = (AcrossSize - AButton.Across) / 2;
        return Make(AAlong, AButton.Along, AcrossStart + inset, AcrossSize - 2 * inset);
    }
};

// Places buttons from the strip's far end back towards its start.
class TButtonPlacer {
public:
    TButtonPlacer(const TStripAxes& AAxes, const TTabStripInput& AInput, TTabStripLayout& ALayout)
        : FAxes(AAxes), FInput(AInput), FLayout(ALayout) {}
    void Place(TSkinTabCtrlBtn AButton) {
        const TTabStripButton& button = FInput.Buttons[TabCtrlBtnSlot(AButton)];
        FUsed += std::max(0, button.Along);
        FLayout.Buttons[TabCtrlBtnSlot(AButton)] = FAxes.Button(FAxes.AlongEnd - FUsed, button);
    }
    void PlaceIfShown(TSkinTabCtrlBtn AButton) {
        if (FInput.Buttons[TabCtrlBtnSlot(AButton)].Shown)
            Place(AButton);
    }
    int Used() const { return FUsed; }

private:
    const TStripAxes& FAxes;
    const TTabStripInput& FInput;
    TTabStripLayout& FLayout;
    int FUsed = 0;
};

} // namespace

bool RectContains(const TGPRect& ARect, const QPoint& APoint) {
    return ARect.Width > 0 && ARect.Height > 0 && ARect.ToQRect().contains(APoint);
}

bool TTabStripLayout::TabPlaced(int AIndex) const {
    return AIndex >= 0 && AIndex < static_cast<int>(Tabs.size()) && Tabs[AIndex].Width > 0 &&
           Tabs[AIndex].Height > 0;
}

TSkinTabCtrlBtn TTabStripLayout::ButtonAt(const QPoint& APoint) const {
    for (TSkinTabCtrlBtn button : {cbClose, cbCustom, cbAttach, cbPageUp, cbPageDown})
        if (RectContains(Button(button), APoint))
            return button;
    return cbNone;
}

int TTabStripLayout::TabAt(const QPoint& APoint) const {
    if (ButtonAt(APoint) != cbNone)
        return -1;
    for (int i = 0; i < static_cast<int>(Tabs.size()); ++i)
        if (RectContains(Tabs[i], APoint))
            return i;
    return -1;
}

TTabStripLayout TTabStripLayouter::Layout(const TTabStripInput& AInput) {
    TTabStripLayout layout;
    layout.Tabs.assign(AInput.TabLengths.size(), TGPRect{});
    if (AInput.FillInRow)
        LayoutRow(AInput, layout);
    else
        LayoutScroll(AInput, layout);
    return layout;
}

void TTabStripLayouter::LayoutRow(const TTabStripInput& AInput, TTabStripLayout& ALayout) {
    const TStripAxes axes(AInput);
    TButtonPlacer placer(axes, AInput, ALayout);
    placer.PlaceIfShown(cbClose);
    placer.PlaceIfShown(cbCustom);
    placer.PlaceIfShown(cbAttach);
    // Every tab fits in a row, so there is nothing to page and the scroll start keeps its
    // value for when the strip goes back to scrolling.
    ALayout.PageScrollStart = AInput.PageScrollStart;
    const int n = static_cast<int>(AInput.TabLengths.size());
    if (n == 0)
        return;
    const int area = std::max(0, axes.AlongEnd - placer.Used() - axes.AlongStart);
    const int each = area / n;
    for (int i = 0; i < n; ++i) {
        const int length = i == n - 1 ? area - each * (n - 1) : each;
        ALayout.Tabs[i] = axes.Tab(axes.AlongStart + each * i, length);
    }
    ALayout.Drawn = n;
}

void TTabStripLayouter::LayoutScroll(const TTabStripInput& AInput, TTabStripLayout& ALayout) {
    const TStripAxes axes(AInput);
    const auto& lengths = AInput.TabLengths;
    const int n = static_cast<int>(lengths.size());
    const bool first = AInput.AlwaysShowFirstPage;
    const int minStart = first ? 1 : 0;
    int start = std::max(AInput.PageScrollStart, minStart);
    if (n > 0 && start > n - 1)
        start = n - 1;

    const TTabStripButton& attach = AInput.Buttons[TabCtrlBtnSlot(cbAttach)];
    long long need = first && n > 0 ? lengths[0] : 0;
    for (int i = std::max(0, start); i < n; ++i)
        need += lengths[i];
    if (attach.Shown)
        need += attach.Along;

    TButtonPlacer placer(axes, AInput, ALayout);
    placer.PlaceIfShown(cbClose);
    placer.PlaceIfShown(cbCustom);
    const int stripLength = axes.AlongEnd - axes.AlongStart;
    const bool paging = stripLength - placer.Used() < need || start > minStart;
    if (paging) {
        placer.PlaceIfShown(cbAttach);
        placer.Place(cbPageDown);
        placer.Place(cbPageUp);
    }

    const int area = stripLength - placer.Used();
    int x = 0;
    int drawnEnd = 0;
    int drawn = 0;
    for (int i = 0; i < n; ++i) {
        if (!(first && i == 0) && i < start)
            continue;
        const int length = lengths[i];
        const int along = axes.AlongStart + x;
        x += length;
        // A tab reaching exactly the end of the area is left out like one running past it.
        if (x >= area)
            break;
        ALayout.Tabs[i] = axes.Tab(along, length);
        drawnEnd = x;
        ++drawn;
    }
    // Without paging the attach button follows the last tab drawn.
    if (!paging && attach.Shown)
        ALayout.Buttons[TabCtrlBtnSlot(cbAttach)] = axes.Button(axes.AlongStart + drawnEnd, attach);

    ALayout.PageScrollVisible = paging;
    ALayout.MinScrollStart = minStart;
    ALayout.PageScrollStart = start;
    ALayout.Drawn = drawn;
    ALayout.MaxPageScrollStart = n - drawn + (first ? 1 : 0);
}

} // namespace velmora
