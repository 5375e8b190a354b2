#include "skin/widgets/SkinPageControl.h"
#include "skin/widgets/SkinTabSheet.h"

#include <algorithm>

// Where the strip, the page area, the tabs and the control buttons are. The layout is kept
// until something it depends on changes; painting, hover and clicks all read that one layout.

namespace velmora {

TGPRect TSkinPageControl::GetTabAreaRect() const {
    const int w = std::max(0, width());
    const int h = std::max(0, height());
    switch (FTabOrientation) {
    case toLeft:
        return TGPRect{0, 0, std::min(FTabHeight, w), h};
    case toRight:
        return TGPRect{std::max(0, w - FTabHeight), 0, std::min(FTabHeight, w), h};
    case toBottom:
        return TGPRect{0, std::max(0, h - FTabHeight), w, std::min(FTabHeight, h)};
    case toTop:
    default:
        return TGPRect{0, 0, w, std::min(FTabHeight, h)};
    }
}

TGPRect TSkinPageControl::GetPageAreaRect() const {
    const int w = std::max(0, width());
    const int h = std::max(0, height());
    if (!FShowCard)
        return TGPRect{0, 0, w, h};
    const TGPRect strip = GetTabAreaRect();
    switch (FTabOrientation) {
    case toLeft:
        return TGPRect{strip.Width, 0, w - strip.Width, h};
    case toRight:
        return TGPRect{0, 0, w - strip.Width, h};
    case toBottom:
        return TGPRect{0, 0, w, h - strip.Height};
    case toTop:
    default:
        return TGPRect{0, strip.Height, w, h - strip.Height};
    }
}

void TSkinPageControl::AlignSheets() {
    const QRect area = GetPageAreaRect().ToQRect();
    for (TSkinTabSheet* page : FPages)
        page->setGeometry(area);
}

void TSkinPageControl::LayoutChanged() {
    FLayoutStale = true;
}

bool TSkinPageControl::CaptionShown(const TSkinTabSheet* APage) const {
    return !FOnlyShowActivePageCaption || APage == FActivePage;
}

int TSkinPageControl::TabLength(TSkinTabSheet* APage, TGPGraphics& AMeasure) const {
    const bool icon = APage->ImageIndex() >= 0;
    const bool vertical = IsVerticalStrip(FTabOrientation);
    if (!CaptionShown(APage) || APage->Caption().isEmpty())
        return (vertical ? FIconHeight : FIconWidth) + 8;
    const int text = FCaptionText->GetFontWidth(AMeasure, APage->Caption());
    switch (FTabOrientation) {
    case toTop:
        return icon ? text + FIconWidth + 20 : text + 16;
    case toBottom:
        return icon ? text + FIconWidth + 12 : text + 8;
    default:
        return icon ? text + FIconHeight + 12 : text + 8;
    }
}

TTabStripInput TSkinPageControl::MakeLayoutInput() {
    TTabStripInput input;
    input.Orientation = FTabOrientation;
    input.Strip = GetTabAreaRect();
    input.FillInRow = FFillInRow;
    input.AlwaysShowFirstPage = FAlwaysShowFirstPage;
    input.PageScrollStart = FPageScrollStart;
    QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
    TGPGraphics measure(scratch);
    for (TSkinTabSheet* page : FVisiblePages)
        input.TabLengths.push_back(TabLength(page, measure));
    const bool vertical = IsVerticalStrip(FTabOrientation);
    // A button without its picture still gets a square to mark its place.
    const int placeholder = std::max(1, FTabHeight - 6);
    const std::pair<TSkinTabCtrlBtn, bool> buttons[] = {{cbAttach, FShowAttachButton},
                                                        {cbPageUp, true},
                                                        {cbPageDown, true},
                                                        {cbCustom, FShowCustomButton},
                                                        {cbClose, FShowCloseButton}};
    for (const auto& [button, shown] : buttons) {
        const IGPBitmap& image = FImages[PageCtrlButtonImages(button).Normal];
        TTabStripButton& entry = input.Buttons[TabCtrlBtnSlot(button)];
        entry.Shown = shown;
        entry.Along = image ? (vertical ? image->Height() : image->Width()) : placeholder;
        entry.Across = image ? (vertical ? image->Width() : image->Height()) : placeholder;
    }
    return input;
}

const TTabStripLayout& TSkinPageControl::TabLayout() {
    if (!FLayoutStale)
        return FLayout;
    if (FShowCard) {
        FLayout = TTabStripLayouter::Layout(MakeLayoutInput());
    } else {
        FLayout = TTabStripLayout{};
        FLayout.Tabs.assign(FVisiblePages.size(), TGPRect{});
        FLayout.PageScrollStart = FPageScrollStart;
    }
    FPageScrollVisible = FLayout.PageScrollVisible;
    FPageScrollStart = FLayout.PageScrollStart;
    FMaxPageScrollStart = FLayout.MaxPageScrollStart;
    for (TSkinTabSheet* page : FPages)
        page->SetDisplayRect(TGPRect{});
    for (size_t i = 0; i < FVisiblePages.size(); ++i)
        FVisiblePages[i]->SetDisplayRect(FLayout.Tabs[i]);
    FLayoutStale = false;
    return FLayout;
}

int TSkinPageControl::TabAtPos(int X, int Y) {
    return TabLayout().TabAt(QPoint(X, Y));
}

} // namespace velmora
