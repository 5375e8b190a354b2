#include "skin/widgets/SkinPageControl.h"

#include "skin/data/SkinBackGroundItems.h"
#include "skin/data/SkinMng.h"
#include "skin/data/SkinStyleItems.h"
#include "skin/drawing/GdiSkinHelper.h"
#include "skin/widgets/SkinPageControlAccessible.h"
#include "skin/widgets/SkinTabRecolour.h"
#include "skin/widgets/SkinTabSheet.h"

#include <algorithm>

// The control's state: the page list, which page is active, the appearance properties and the
// skin pictures. Geometry is in SkinPageControlGeometry.cpp, painting in
// SkinPageControlPaint.cpp, mouse, keys and focus in SkinPageControlInput.cpp.

namespace velmora {

namespace {

constexpr int KElementMargin = 8;

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

bool TSkinPageControl::CanTakeFocus(const QWidget* AWidget) {
    return AWidget->isEnabled() && AWidget->isVisible() &&
           (AWidget->focusPolicy() & Qt::TabFocus) != 0;
}

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
    const int slot = PageCtrlElementSlot(AImage);
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
        FElements[PageCtrlElementSlot(pgiTabBackGround)]->UnBuild();
        FElements[PageCtrlElementSlot(pgiTabBackGround)]->SetImage(bitmap);
    }
    FPageControlStyleItem->SetAverageGPColor(average);
}

} // namespace velmora
