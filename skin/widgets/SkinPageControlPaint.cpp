#include "skin/data/SkinStyleItems.h"
#include "skin/drawing/GdiSkinHelper.h"
#include "skin/drawing/SkinEngineLog.h"
#include "skin/widgets/SkinPageControl.h"
#include "skin/widgets/SkinTabSheet.h"

// Painting the strip from the control's state and the layout: tab backgrounds by state,
// icons, captions and the control buttons.

namespace velmora {

namespace {

constexpr TGPColor KPlaceholderColor = 0xFF00FFFFu;
constexpr TGPColor KDisabledCaptionColor = 0xFF808080u;
constexpr int KNoTabImage = -1;

TGPRect Inset(const TGPRect& r, int dx, int dy) {
    return TGPRect{r.X + dx, r.Y + dy, r.Width - 2 * dx, r.Height - 2 * dy};
}

// Restores the caption colour however the drawing ends.
class TCaptionColourScope {
public:
    TCaptionColourScope(TGDIText& AText, bool AGrey) : FText(AText), FOld(AText.FontColor()) {
        if (AGrey)
            FText.SetFontColor(KDisabledCaptionColor);
    }
    ~TCaptionColourScope() { FText.SetFontColor(FOld); }
    TCaptionColourScope(const TCaptionColourScope&) = delete;
    TCaptionColourScope& operator=(const TCaptionColourScope&) = delete;

private:
    TGDIText& FText;
    TGPColor FOld;
};

} // namespace

void TSkinPageControl::CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) {
    TSkinCustomControl::CustomPaint(Graphics, ADrawRect);
    try {
        // The page area is the sheets' own: the form shows through where none is.
        if (FShowCard)
            DrawTabs(Graphics, GetTabAreaRect());
    } catch (const std::exception& error) {
        const QString name = objectName();
        LogSkinFailure(ClassName(), &name, &error, QStringLiteral("CustomPaint"));
    }
}

void TSkinPageControl::DrawTabs(TGPGraphics& Graphics, const TGPRect& ARect) {
    // The layout places tabs and buttons for every side, so one painter serves them all.
    if (FTabOrientation == toTop)
        DrawTabsTop(Graphics, ARect);
    else
        DrawStrip(Graphics);
}

// Only the top strip has a background picture in the skin.
void TSkinPageControl::DrawTabsTop(TGPGraphics& Graphics, const TGPRect& ARect) {
    if (FImages[pgiTabBackGround])
        TSkinHelper::DrawButtonFrame(Graphics, ElementFor(pgiTabBackGround), ARect);
    DrawStrip(Graphics);
}

void TSkinPageControl::DrawStrip(TGPGraphics& Graphics) {
    const TTabStripLayout& layout = TabLayout();
    for (int i = 0; i < static_cast<int>(layout.Tabs.size()); ++i)
        if (layout.TabPlaced(i))
            DrawTab(Graphics, i, layout.Tabs[i]);
    for (TSkinTabCtrlBtn button : {cbAttach, cbClose, cbCustom})
        DrawCtrlButton(Graphics, ButtonImageFor(button), layout.Button(button));
    if (!layout.PageScrollVisible)
        return;
    DrawCtrlButton(Graphics,
                   FPageScrollStart == FMaxPageScrollStart ? FImages[pgiPageDownDisabled]
                                                           : ButtonImageFor(cbPageDown),
                   layout.Button(cbPageDown));
    DrawCtrlButton(Graphics,
                   FPageScrollStart == layout.MinScrollStart ? FImages[pgiPageUpDisabled]
                                                             : ButtonImageFor(cbPageUp),
                   layout.Button(cbPageUp));
}

void TSkinPageControl::DrawCtrlButton(TGPGraphics& Graphics, const IGPBitmap& AImage,
                                      const TGPRect& ARect) {
    if (ARect.Width <= 0 || ARect.Height <= 0)
        return;
    if (AImage)
        Graphics.DrawImage(*AImage, QRectF(ARect.ToQRect()));
    else
        Graphics.DrawRectangle(KPlaceholderColor, 1,
                               QRectF(ARect.X, ARect.Y, ARect.Width - 1, ARect.Height - 1));
}

const IGPBitmap& TSkinPageControl::ButtonImageFor(TSkinTabCtrlBtn AButton) const {
    const TPageCtrlButtonImages images = PageCtrlButtonImages(AButton);
    if (FTabCtrlBtn != AButton)
        return FImages[images.Normal];
    return FImages[FMouseDown ? images.Down : images.Hover];
}

int TSkinPageControl::TabImageFor(int AVisibleIndex) const {
    const bool hovered = AVisibleIndex == FMouseOverPageIndex;
    if (AVisibleIndex == ActivePageIndex())
        return pgiTabDown;
    if (hovered && FTabCtrlBtn == cbNone)
        return FMouseDown ? pgiTabDown : pgiTabHover;
    return FDrawTabNormal ? pgiTabNormal : KNoTabImage;
}

void TSkinPageControl::DrawTab(TGPGraphics& Graphics, int AVisibleIndex, const TGPRect& ARect) {
    TSkinTabSheet* page = FVisiblePages[AVisibleIndex];
    const int image = TabImageFor(AVisibleIndex);
    if (image != KNoTabImage && FImages[image])
        TSkinHelper::DrawButtonFrame(Graphics, ElementFor(static_cast<TPageCtrlImage>(image)),
                                     ARect);
    DrawTabIcon(Graphics, page, ARect);
    DrawTabCaption(Graphics, page, ARect);
}

void TSkinPageControl::DrawTabIcon(TGPGraphics& Graphics, TSkinTabSheet* APage,
                                   const TGPRect& ARect) {
    const int index = APage->ImageIndex();
    if (index < 0 || index >= FIconList.Count() || FIconWidth <= 0 || FIconHeight <= 0)
        return;
    const IGPBitmap icon = FIconList.GetImage(index);
    if (!icon)
        return;
    const bool captioned = !APage->Caption().isEmpty();
    TGPRect r;
    if (IsVerticalStrip(FTabOrientation)) {
        r = Inset(ARect, (FTabHeight - FIconWidth) / 2,
                  captioned ? 4 : (ARect.Height - FIconHeight) / 2);
        r.Height = FIconHeight;
    } else {
        r = Inset(ARect, captioned ? 4 : (ARect.Width - FIconWidth) / 2,
                  (FTabHeight - FIconHeight) / 2);
        r.Width = FIconWidth;
    }
    if (r.Width > 0 && r.Height > 0)
        Graphics.DrawImage(*icon, QRectF(r.ToQRect()));
}

void TSkinPageControl::DrawTabCaption(TGPGraphics& Graphics, TSkinTabSheet* APage,
                                      const TGPRect& ARect) {
    if (!CaptionShown(APage) || APage->Caption().isEmpty())
        return;
    const int fontHeight = FCaptionText->GetFontHeight(Graphics);
    const bool icon = APage->ImageIndex() >= 0;
    const TCaptionColourScope colour(*FCaptionText, !APage->TabEnabled());
    if (!IsVerticalStrip(FTabOrientation)) {
        TGPRect r = Inset(ARect, 4, (FTabHeight - fontHeight) / 2);
        if (icon) {
            r.X += FIconWidth + 4;
            r.Width -= FIconWidth + 4;
        }
        TSkinHelper::DrawRectText(Graphics, FCaptionText.get(), APage->Caption(), r.X, r.Y, r.Width,
                                  r.Height);
        return;
    }
    TGPRect r = Inset(ARect, (FTabHeight - fontHeight) / 2, 4);
    if (icon) {
        r.Y += FIconHeight + 4;
        r.Height -= FIconHeight + 4;
    }
    // Vertical captions run along the strip, reading away from the page on the left and
    // towards it on the right.
    QPainter& painter = Graphics.Painter();
    painter.save();
    painter.translate(r.X + r.Width / 2.0, r.Y + r.Height / 2.0);
    painter.rotate(FTabOrientation == toLeft ? -90 : 90);
    TSkinHelper::DrawRectText(Graphics, FCaptionText.get(), APage->Caption(), -r.Height / 2,
                              -r.Width / 2, r.Height, r.Width);
    painter.restore();
}

TGDIIMGADV* TSkinPageControl::ElementFor(TPageCtrlImage AImage) const {
    const int slot = PageCtrlElementSlot(AImage);
    if (slot < 0)
        return nullptr;
    const auto styleImage = static_cast<TPageControlImage>(AImage);
    // The style's element is already built for its picture; it serves while the control
    // shows that very picture.
    if (FPageControlStyleItem != nullptr && FImages[AImage] &&
        FPageControlStyleItem->Image(styleImage) == FImages[AImage])
        return FPageControlStyleItem->ImageElement(styleImage);
    return FElements[slot].get();
}

} // namespace velmora
