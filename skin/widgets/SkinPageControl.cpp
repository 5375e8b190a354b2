#include "skin/widgets/SkinPageControl.h"

#include "skin/data/SkinBackGroundItems.h"
#include "skin/data/SkinMng.h"
#include "skin/data/SkinStyleItems.h"
#include "skin/drawing/GdiSkinHelper.h"
#include "skin/drawing/SkinEngineLog.h"
#include "skin/widgets/SkinPageControlAccessible.h"
#include "skin/widgets/SkinTabRecolour.h"
#include "skin/widgets/SkinTabSheet.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QToolTip>
#include <algorithm>

namespace velmora {

namespace {

constexpr int KElementMargin = 8;
constexpr TGPColor KPlaceholderColor = 0xFF00FFFFu;
constexpr TGPColor KDisabledCaptionColor = 0xFF808080u;
constexpr int KNoTabImage = -1;

bool IsVertical(TSkinTabOrientation AOrientation) {
    return AOrientation == toLeft || AOrientation == toRight;
}

int ElementSlot(TPageCtrlImage AImage) {
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

TGPRect Inset(const TGPRect& r, int dx, int dy) {
    return TGPRect{r.X + dx, r.Y + dy, r.Width - 2 * dx, r.Height - 2 * dy};
}

// The three pictures of a control button: normal, hover, down (and disabled for paging).
struct TButtonImages {
    TPageCtrlImage Normal, Hover, Down;
};

TButtonImages ImagesOf(TSkinTabCtrlBtn AButton) {
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

TSkinPageControl::TSkinPageControl(QWidget* parent) : TSkinCustomControl(parent) {
    TPageControlAccessible::Install();
    resize(300, 200);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    SetColor(palette().color(QPalette::Button));
    for (auto& element : FElements)
        element = std::make_unique<TGDIIMGADV>();
    FCaptionText = std::make_unique<TGDIText>();
    FCaptionText->SetPrintStyle(psLayoutRect);
    FIconList.OnChange = [this](TSkinImageList*) { UpdateVisiblePages(); };
    TakeFont();
    // A control made in code wears the current skin at once, not only after the next one.
    LoadSkinImages();
}

TSkinPageControl::~TSkinPageControl() {
    FDestroying = true;
    FIconList.OnChange = nullptr;
    const std::vector<TSkinTabSheet*> pages = FPages;
    for (TSkinTabSheet* page : pages)
        delete page;
}

// ---- page list ------------------------------------------------------------------------------

TSkinTabSheet* TSkinPageControl::GetPage(int AIndex) const {
    return AIndex >= 0 && AIndex < PageCount() ? FPages[AIndex] : nullptr;
}

TSkinTabSheet* TSkinPageControl::VisiblePage(int AIndex) const {
    return AIndex >= 0 && AIndex < VisiblePageCount() ? FVisiblePages[AIndex] : nullptr;
}

int TSkinPageControl::IndexOfPage(const TSkinTabSheet* APage) const {
    const auto it = std::find(FPages.begin(), FPages.end(), APage);
    return it == FPages.end() ? -1 : static_cast<int>(it - FPages.begin());
}

int TSkinPageControl::IndexOfVisiblePage(const TSkinTabSheet* APage) const {
    if (APage == nullptr)
        return -1;
    const auto it = std::find(FVisiblePages.begin(), FVisiblePages.end(), APage);
    return it == FVisiblePages.end() ? -1 : static_cast<int>(it - FVisiblePages.begin());
}

void TSkinPageControl::InsertPage(TSkinTabSheet* APage) {
    FPages.push_back(APage);
    APage->FPageControl = this;
    APage->setGeometry(GetPageAreaRect().ToQRect());
    UpdateVisiblePages();
}

void TSkinPageControl::RemovePage(TSkinTabSheet* APage) {
    if (FActivePage == APage)
        FActivePage = nullptr;
    if (FInitActivePage == APage)
        FInitActivePage = nullptr;
    FPages.erase(std::remove(FPages.begin(), FPages.end(), APage), FPages.end());
    APage->FPageControl = nullptr;
    if (FDestroying) {
        FVisiblePages.erase(std::remove(FVisiblePages.begin(), FVisiblePages.end(), APage),
                            FVisiblePages.end());
        return;
    }
    UpdateVisiblePages();
}

void TSkinPageControl::MovePage(TSkinTabSheet* APage, int AIndex) {
    const int from = IndexOfPage(APage);
    if (from < 0 || from == AIndex)
        return;
    FPages.erase(FPages.begin() + from);
    FPages.insert(FPages.begin() + AIndex, APage);
    UpdateVisiblePages();
}

void TSkinPageControl::PageTabChanged() {
    UpdateVisiblePages();
}

void TSkinPageControl::UpdateVisiblePages() {
    FVisiblePages.clear();
    for (TSkinTabSheet* page : FPages)
        if (page->TabVisible())
            FVisiblePages.push_back(page);
    LayoutChanged();
    if (FActivePage != nullptr) {
        const int index = IndexOfVisiblePage(FActivePage);
        if (FActivePage->TabVisible() && index >= 0) {
            if (index != FTabIndex)
                SetTabIndex(index);
        } else if (!FActivePage->TabVisible()) {
            SelectNextPage(true);
        }
    } else if (!FVisiblePages.empty()) {
        SetTabIndex(0);
    }
    RepaintSelfImage();
}

TSkinTabSheet* TSkinPageControl::FindNextPage(TSkinTabSheet* CurPage, bool GoForward,
                                              bool CheckTabVisible) const {
    const int n = PageCount();
    if (n == 0)
        return nullptr;
    int start = IndexOfPage(CurPage);
    if (start < 0)
        start = GoForward ? n - 1 : 0;
    int i = start;
    do {
        i = GoForward ? (i + 1) % n : (i + n - 1) % n;
        if (!CheckTabVisible || FPages[i]->TabVisible())
            return FPages[i];
    } while (i != start);
    return nullptr;
}

void TSkinPageControl::SelectNextPage(bool GoForward) {
    if (TSkinTabSheet* page = FindNextPage(FActivePage, GoForward, true))
        SetActivePage(page);
}

void TSkinPageControl::MakeControlVisible(QWidget* AControl) {
    TSkinTabSheet* found = nullptr;
    for (TSkinTabSheet* page : FPages)
        if (AControl != nullptr && (page == AControl || page->isAncestorOf(AControl))) {
            found = page;
            break;
        }
    // The sheet holding the control is chosen as a sheet, not by its position in the full
    // list, so hidden tabs before it cannot make another sheet come up.
    if (found == nullptr) {
        if (ActivePageIndex() != 0)
            SetActivePageIndex(0);
        return;
    }
    if (found != FActivePage)
        SetActivePage(found);
}

void TSkinPageControl::HideAllTabs() {
    for (TSkinTabSheet* page : std::vector<TSkinTabSheet*>(FPages))
        page->SetTabVisible(false);
}

void TSkinPageControl::ShowAllTabs() {
    for (TSkinTabSheet* page : std::vector<TSkinTabSheet*>(FPages))
        page->SetTabVisible(true);
}

int TSkinPageControl::TabAtPos(int X, int Y) {
    return TabLayout().TabAt(QPoint(X, Y));
}

// ---- changing the page ----------------------------------------------------------------------

void TSkinPageControl::DoSetTabIndex(int Value) {
    if (IsLoading()) {
        FTabIndex = Value;
        return;
    }
    if (Value < 0 || Value >= VisiblePageCount()) {
        FTabIndex = -1;
        RepaintSelfImage();
        return;
    }
    const int before = FTabIndex;
    bool allow = true;
    if (Value != FTabIndex && OnChanging)
        OnChanging(this, Value, allow);
    // The handler may have changed the page list.
    if (allow && Value < VisiblePageCount()) {
        FTabIndex = Value;
        ChangeActivePage(FVisiblePages[Value]);
        RepaintSelfImage();
    }
    if (FTabIndex != before)
        Change();
}

void TSkinPageControl::Change() {
    if (OnChange)
        OnChange(this);
}

void TSkinPageControl::SetActivePage(TSkinTabSheet* Value) {
    if (Value != nullptr && Value->PageControl() != this)
        return;
    if (IsLoading()) {
        FActivePage = Value;
        return;
    }
    const int index = Value != nullptr ? Value->TabIndex() : -1;
    if (index == -1)
        ChangeActivePage(Value);
    SetTabIndex(index);
}

int TSkinPageControl::ActivePageIndex() const {
    return IndexOfVisiblePage(FActivePage);
}

void TSkinPageControl::SetActivePageIndex(int Value) {
    if (Value < 0 || Value >= VisiblePageCount())
        SetTabIndex(-1);
    else
        SetActivePage(FVisiblePages[Value]);
}

namespace {

bool CanTakeFocus(const QWidget* w) {
    return w->isEnabled() && w->isVisible() && (w->focusPolicy() & Qt::TabFocus) != 0;
}

} // namespace

void TSkinPageControl::ChangeActivePage(TSkinTabSheet* APage) {
    if (FActivePage == APage)
        return;
    QWidget* form = window();
    QWidget* focused = form->focusWidget();
    if (FActivePage != nullptr && focused != nullptr && FActivePage->isAncestorOf(focused)) {
        FActivePage->setFocus();
        focused = FActivePage;
    }
    if (APage != nullptr) {
        APage->raise();
        APage->show();
        APage->Repaint();
        if (FActivePage != nullptr && focused == FActivePage) {
            if (CanTakeFocus(APage))
                APage->setFocus();
            else
                setFocus();
        }
    }
    if (FActivePage != nullptr) {
        FActivePage->hide();
        FActivePage->Repaint();
    }
    FActivePage = APage;
    if (FOnlyShowActivePageCaption)
        LayoutChanged();
    RepaintSelfImage();
    if (APage != nullptr && form->focusWidget() == APage)
        for (QWidget* w = APage->nextInFocusChain(); w != APage; w = w->nextInFocusChain())
            if (APage->isAncestorOf(w) && CanTakeFocus(w)) {
                w->setFocus();
                break;
            }
}

void TSkinPageControl::Loaded() {
    TSkinCustomControl::Loaded();
    LoadSkinImages();
    FTabIndex = -1;
    FInitActivePage = FActivePage;
    FActivePage = nullptr;
    UpdateVisiblePages();
    TSkinTabSheet* remembered = FInitActivePage;
    FInitActivePage = nullptr;
    // Without a remembered sheet the first visible one stays; clearing it would leave the
    // control without a page.
    if (remembered != nullptr)
        SetActivePage(remembered);
}

// ---- appearance -----------------------------------------------------------------------------

void TSkinPageControl::SetStyleName(const QString& Value) {
    if (FStyleName == Value)
        return;
    FStyleName = Value;
    ChangeSkinFile();
}

void TSkinPageControl::SetTabHeight(int Value) {
    // A negative strip would make the page area larger than the control.
    Value = std::max(0, Value);
    if (FTabHeight == Value)
        return;
    FTabHeight = Value;
    AlignSheets();
    UpdateVisiblePages();
}

void TSkinPageControl::SetTabOrientation(TSkinTabOrientation Value) {
    if (FTabOrientation == Value)
        return;
    FTabOrientation = Value;
    LoadSkinImages();
    AlignSheets();
    UpdateVisiblePages();
}

void TSkinPageControl::SetShowCard(bool Value) {
    if (FShowCard == Value)
        return;
    FShowCard = Value;
    AlignSheets();
    UpdateVisiblePages();
}

void TSkinPageControl::SetAlwaysShowFirstPage(bool Value) {
    if (FAlwaysShowFirstPage == Value)
        return;
    FAlwaysShowFirstPage = Value;
    LayoutChanged();
    RepaintSelfImage();
}

// The following only change what the next paint draws; they repaint so the strip on screen
// and the strip the mouse acts on stay the same.
#define VELMORA_STRIP_SETTER(Name, Field, Type)                                                    \
    void TSkinPageControl::Set##Name(Type Value) {                                                 \
        if (Field == Value)                                                                        \
            return;                                                                                \
        Field = Value;                                                                             \
        LayoutChanged();                                                                           \
        RepaintSelfImage();                                                                        \
    }
VELMORA_STRIP_SETTER(OnlyShowActivePageCaption, FOnlyShowActivePageCaption, bool)
VELMORA_STRIP_SETTER(FillInRow, FFillInRow, bool)
VELMORA_STRIP_SETTER(IconWidth, FIconWidth, int)
VELMORA_STRIP_SETTER(IconHeight, FIconHeight, int)
VELMORA_STRIP_SETTER(DrawTabNormal, FDrawTabNormal, bool)
VELMORA_STRIP_SETTER(ShowAttachButton, FShowAttachButton, bool)
VELMORA_STRIP_SETTER(ShowCloseButton, FShowCloseButton, bool)
VELMORA_STRIP_SETTER(ShowCustomButton, FShowCustomButton, bool)
VELMORA_STRIP_SETTER(PageScrollStart, FPageScrollStart, int)
#undef VELMORA_STRIP_SETTER

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
    const bool vertical = IsVertical(FTabOrientation);
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
    const bool vertical = IsVertical(FTabOrientation);
    // A button without its picture still gets a square to mark its place.
    const int placeholder = std::max(1, FTabHeight - 6);
    const std::pair<TSkinTabCtrlBtn, bool> buttons[] = {{cbAttach, FShowAttachButton},
                                                        {cbPageUp, true},
                                                        {cbPageDown, true},
                                                        {cbCustom, FShowCustomButton},
                                                        {cbClose, FShowCloseButton}};
    for (const auto& [button, shown] : buttons) {
        const IGPBitmap& image = FImages[ImagesOf(button).Normal];
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

void TSkinPageControl::TakeFont() {
    if (!FCaptionText)
        return;
    const QFont f = font();
    FCaptionText->SetFontFamilyName(f.family());
    FCaptionText->SetFontSize(std::max(1, f.pointSize()));
    FCaptionText->SetFontStyle((f.bold() ? FontStyleBold : 0) | (f.italic() ? FontStyleItalic : 0) |
                               (f.underline() ? FontStyleUnderline : 0) |
                               (f.strikeOut() ? FontStyleStrikeout : 0));
    FCaptionText->SetFontColor(palette().color(QPalette::WindowText).rgba());
    LayoutChanged();
}

// ---- painting -------------------------------------------------------------------------------

void TSkinPageControl::CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) {
    TSkinCustomControl::CustomPaint(Graphics, ADrawRect);
    try {
        if (!FShowCard)
            return;
        DrawTabs(Graphics, GetTabAreaRect());
        if (FVisiblePages.empty())
            DrawPageArea(Graphics, GetPageAreaRect());
    } catch (const std::exception& error) {
        const QString name = objectName();
        LogSkinFailure(ClassName(), &name, &error, QStringLiteral("CustomPaint"));
    }
}

void TSkinPageControl::DrawTabs(TGPGraphics& Graphics, const TGPRect& ARect) {
    switch (FTabOrientation) {
    case toLeft:
        DrawTabsLeft(Graphics, ARect);
        break;
    case toRight:
        DrawTabsRight(Graphics, ARect);
        break;
    case toBottom:
        DrawTabsBottom(Graphics, ARect);
        break;
    case toTop:
    default:
        DrawTabsTop(Graphics, ARect);
        break;
    }
}

void TSkinPageControl::DrawTabsTop(TGPGraphics& Graphics, const TGPRect& ARect) {
    if (FImages[pgiTabBackGround])
        TSkinHelper::DrawButtonFrame(Graphics, ElementFor(pgiTabBackGround), ARect);
    DrawStrip(Graphics, ARect);
}

// Only the top strip has a background picture in the skin.
void TSkinPageControl::DrawTabsBottom(TGPGraphics& Graphics, const TGPRect& ARect) {
    DrawStrip(Graphics, ARect);
}

void TSkinPageControl::DrawTabsLeft(TGPGraphics& Graphics, const TGPRect& ARect) {
    DrawStrip(Graphics, ARect);
}

void TSkinPageControl::DrawTabsRight(TGPGraphics& Graphics, const TGPRect& ARect) {
    DrawStrip(Graphics, ARect);
}

void TSkinPageControl::DrawPageArea(TGPGraphics&, const TGPRect&) {}

void TSkinPageControl::DrawStrip(TGPGraphics& Graphics, const TGPRect&) {
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
    const TButtonImages images = ImagesOf(AButton);
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
    if (IsVertical(FTabOrientation)) {
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
    if (!IsVertical(FTabOrientation)) {
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
    const int slot = ElementSlot(AImage);
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

// ---- mouse, keyboard, focus -----------------------------------------------------------------

void TSkinPageControl::ResetMouseState() {
    FMouseOverPageIndex = -1;
    FMouseDown = false;
    FTabCtrlBtn = cbNone;
    RepaintSelfImage();
}

void TSkinPageControl::SetHover(int AIndex) {
    if (AIndex == FMouseOverPageIndex)
        return;
    FMouseOverPageIndex = AIndex;
    if (AIndex != -1)
        FTabCtrlBtn = cbNone;
}

void TSkinPageControl::enterEvent(QEnterEvent* event) {
    TSkinCustomControl::enterEvent(event);
    ResetMouseState();
}

void TSkinPageControl::leaveEvent(QEvent* event) {
    TSkinCustomControl::leaveEvent(event);
    ResetMouseState();
    FHint.clear();
    QToolTip::hideText();
}

void TSkinPageControl::mousePressEvent(QMouseEvent* event) {
    TSkinCustomControl::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    if (!hasFocus())
        return;
    FMouseDown = true;
    const int index = TabAtPos(event->position().toPoint().x(), event->position().toPoint().y());
    SetHover(index);
    SetTabIndex(index);
    RepaintSelfImage();
    if (event->button() == Qt::LeftButton && index >= 0 && index < VisiblePageCount())
        SetTabIndex(index);
}

void TSkinPageControl::mouseMoveEvent(QMouseEvent* event) {
    TSkinCustomControl::mouseMoveEvent(event);
    const QPoint pos = event->position().toPoint();
    const int index = TabAtPos(pos.x(), pos.y());
    if (index == FMouseOverPageIndex) {
        const TSkinTabCtrlBtn button = TabLayout().ButtonAt(pos);
        if (button == FTabCtrlBtn)
            return;
        FTabCtrlBtn = button;
        RepaintSelfImage();
        return;
    }
    SetHover(index);
    if (TSkinTabSheet* page = VisiblePage(index);
        page != nullptr && FShowHint && page->ShowHint()) {
        FHint = page->Hint();
        if (!FHint.isEmpty())
            QToolTip::showText(event->globalPosition().toPoint(), FHint, this);
    }
    RepaintSelfImage();
}

void TSkinPageControl::mouseReleaseEvent(QMouseEvent* event) {
    TSkinCustomControl::mouseReleaseEvent(event);
    const QPoint pos = event->position().toPoint();
    SetHover(TabAtPos(pos.x(), pos.y()));
    FMouseDown = false;
    RepaintSelfImage();
    const TTabStripLayout& layout = TabLayout();
    switch (layout.ButtonAt(pos)) {
    case cbClose:
        if (OnCloseBtnClick)
            OnCloseBtnClick(this);
        break;
    case cbCustom:
        if (OnCustomBtnClick)
            OnCustomBtnClick(this);
        break;
    case cbAttach:
        if (OnAttachBtnClick)
            OnAttachBtnClick(this);
        break;
    case cbPageUp:
        if (FPageScrollStart >= layout.MinScrollStart + 1)
            SetPageScrollStart(FPageScrollStart - 1);
        break;
    case cbPageDown:
        if (FPageScrollStart < FMaxPageScrollStart)
            SetPageScrollStart(FPageScrollStart + 1);
        break;
    case cbNone:
        break;
    }
}

void TSkinPageControl::resizeEvent(QResizeEvent* event) {
    TSkinCustomControl::resizeEvent(event);
    AlignSheets();
    LayoutChanged();
    const int minStart = FAlwaysShowFirstPage ? 1 : 0;
    if (FPageScrollVisible && FPageScrollStart > minStart)
        SetPageScrollStart(minStart);
}

void TSkinPageControl::keyPressEvent(QKeyEvent* event) {
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (tab && (event->modifiers() & Qt::ControlModifier) != 0) {
        const bool back =
            event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier) != 0;
        SelectNextPage(!back);
        event->accept();
        return;
    }
    TSkinCustomControl::keyPressEvent(event);
}

void TSkinPageControl::focusInEvent(QFocusEvent* event) {
    TSkinCustomControl::focusInEvent(event);
    if (FActivePage == nullptr || FActivePage->TabVisible())
        return;
    for (QObject* child : FActivePage->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w != nullptr && !w->isWindow() && CanTakeFocus(w)) {
            w->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void TSkinPageControl::focusOutEvent(QFocusEvent* event) {
    TSkinCustomControl::focusOutEvent(event);
    if (!FMouseDown)
        return;
    FMouseDown = false;
    RepaintSelfImage();
}

bool TSkinPageControl::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::Hide:
        ResetMouseState();
        break;
    case QEvent::EnabledChange:
        if (!isEnabled())
            ResetMouseState();
        break;
    case QEvent::UngrabMouse:
    case QEvent::WindowDeactivate:
        if (FMouseDown) {
            FMouseDown = false;
            RepaintSelfImage();
        }
        break;
    case QEvent::FontChange:
    case QEvent::PaletteChange:
        TakeFont();
        RepaintSelfImage();
        break;
    default:
        break;
    }
    return TSkinCustomControl::event(event);
}

// ---- skin -----------------------------------------------------------------------------------

void TSkinPageControl::UpdateStyleItem() {
    FPageControlStyleItem = nullptr;
    if (FTabOrientation == toTop || FTabOrientation == toBottom)
        FPageControlStyleItem = SkinMng().HorzPageControlStyles().GetItem(FStyleName);
}

void TSkinPageControl::SetImage(TPageCtrlImage AImage, const IGPBitmap& AValue) {
    if (FImages[AImage] == AValue)
        return;
    FImages[AImage] = AValue;
    const int slot = ElementSlot(AImage);
    if (slot >= 0)
        TSkinHelper::InitGdiImgAdv(FElements[slot].get(), AValue, KElementMargin, KElementMargin);
    LayoutChanged();
}

void TSkinPageControl::LoadSkinImages() {
    if (!SkinMng().Loaded())
        return;
    UpdateStyleItem();
    // Without a style the strip has no pictures at all; keeping the previous style's would
    // draw horizontal tab pictures into a vertical strip.
    for (int i = 0; i < KPageCtrlImageCount; ++i)
        SetImage(static_cast<TPageCtrlImage>(i),
                 FPageControlStyleItem != nullptr
                     ? FPageControlStyleItem->Image(static_cast<TPageControlImage>(i))
                     : IGPBitmap());
    RepaintSelfImage();
}

void TSkinPageControl::ChangeSkinFile() {
    TSkinCustomControl::ChangeSkinFile();
    LoadSkinImages();
    UpdateVisiblePages();
}

void TSkinPageControl::ChangeSkinBackGroundItem(TBaseSkinItem* AItem) {
    TSkinCustomControl::ChangeSkinBackGroundItem(AItem);
    if (FPageControlStyleItem == nullptr || AItem == nullptr)
        return;
    // Every control of the style shows the shared picture, so each one redraws even when
    // another control has already tinted it.
    RepaintSelfImage();
    const TGPColor average = AItem->AverageGPColor();
    if (FPageControlStyleItem->AverageGPColor() == average)
        return;
    const IGPBitmap bitmap = FPageControlStyleItem->Image(pciTabBackGround);
    if (!bitmap)
        return;
    RecolourTabBackGround(*bitmap, average);
    TGDIIMGADV* shared = FPageControlStyleItem->ImageElement(pciTabBackGround);
    shared->UnBuild();
    shared->SetImage(bitmap);
    if (FImages[pgiTabBackGround] == bitmap) {
        FElements[ElementSlot(pgiTabBackGround)]->UnBuild();
        FElements[ElementSlot(pgiTabBackGround)]->SetImage(bitmap);
    }
    FPageControlStyleItem->SetAverageGPColor(average);
}

} // namespace velmora
