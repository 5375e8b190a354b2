#pragma once

#include "platform/system/Errors.h"
#include "skin/controls/SkinControl.h"
#include "skin/drawing/GDIIMGADV.h"
#include "skin/drawing/GDIText.h"
#include "skin/drawing/SkinIconList.h"
#include "skin/widgets/SkinPageControlImages.h"
#include "skin/widgets/SkinPageControlTypes.h"
#include "skin/widgets/SkinTabStripLayout.h"

#include <array>
#include <memory>
#include <vector>

namespace velmora {

class TSkinPageControlStyleItem;
class TSkinTabSheet;

VELMORA_DECLARE_ERROR(EInvalidPageIndex, EVelmoraError);

// A skinned page control: a strip of tabs drawn from the skin's horizontal page-control style
// and a page area in which the active sheet is shown.
class TSkinPageControl : public TSkinCustomControl {
    friend class TSkinTabSheet;

public:
    explicit TSkinPageControl(QWidget* parent = nullptr);
    ~TSkinPageControl() override;

    QString ClassName() const override { return QStringLiteral("TSkinPageControl"); }

    // Page list.
    int PageCount() const { return static_cast<int>(FPages.size()); }
    int VisiblePageCount() const { return static_cast<int>(FVisiblePages.size()); }
    TSkinTabSheet* GetPage(int AIndex) const;
    TSkinTabSheet* VisiblePage(int AIndex) const;
    int IndexOfPage(const TSkinTabSheet* APage) const;
    int IndexOfVisiblePage(const TSkinTabSheet* APage) const;
    TSkinTabSheet* FindNextPage(TSkinTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const;
    void SelectNextPage(bool GoForward);
    void MakeControlVisible(QWidget* AControl);
    virtual void HideAllTabs();
    virtual void ShowAllTabs();
    int TabAtPos(int X, int Y);

    // Changing the page.
    int TabIndex() const { return FTabIndex; }
    void SetTabIndex(int Value) { DoSetTabIndex(Value); }
    TSkinTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TSkinTabSheet* Value);
    int ActivePageIndex() const;
    void SetActivePageIndex(int Value);

    // Appearance.
    const QString& StyleName() const { return FStyleName; }
    void SetStyleName(const QString& Value);
    TSkinPageControlStyleItem* StyleItem() const { return FPageControlStyleItem; }
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int Value);
    TSkinTabOrientation TabOrientation() const { return FTabOrientation; }
    void SetTabOrientation(TSkinTabOrientation Value);
    bool ShowCard() const { return FShowCard; }
    void SetShowCard(bool Value);
    bool AlwaysShowFirstPage() const { return FAlwaysShowFirstPage; }
    void SetAlwaysShowFirstPage(bool Value);
    bool OnlyShowActivePageCaption() const { return FOnlyShowActivePageCaption; }
    void SetOnlyShowActivePageCaption(bool Value);
    bool FillInRow() const { return FFillInRow; }
    void SetFillInRow(bool Value);
    int IconWidth() const { return FIconWidth; }
    void SetIconWidth(int Value);
    int IconHeight() const { return FIconHeight; }
    void SetIconHeight(int Value);
    bool DrawTabNormal() const { return FDrawTabNormal; }
    void SetDrawTabNormal(bool Value);
    bool ShowAttachButton() const { return FShowAttachButton; }
    void SetShowAttachButton(bool Value);
    bool ShowCloseButton() const { return FShowCloseButton; }
    void SetShowCloseButton(bool Value);
    bool ShowCustomButton() const { return FShowCustomButton; }
    void SetShowCustomButton(bool Value);
    const QString& Hint() const { return FHint; }
    void SetHint(const QString& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }
    TSkinImageList& IconList() { return FIconList; }
    const IGPBitmap& Image(TPageCtrlImage AImage) const { return FImages[AImage]; }

    // Geometry, in client coordinates.
    virtual TGPRect GetTabAreaRect() const;
    virtual TGPRect GetPageAreaRect() const;
    TGPRect DisplayRect() const { return GetPageAreaRect(); }
    // The strip as the next paint draws it; hover and clicks use the same.
    const TTabStripLayout& TabLayout();

    // State of the mouse and of paging, for inspection.
    int MouseOverPageIndex() const { return FMouseOverPageIndex; }
    bool MouseDown() const { return FMouseDown; }
    TSkinTabCtrlBtn TabCtrlBtn() const { return FTabCtrlBtn; }
    int PageScrollStart() const { return FPageScrollStart; }
    void SetPageScrollStart(int Value);

    // The image list's pictures are pictures the control will draw; it keeps no copy.
    void LoadSkinImages();

    TSkinNotifyEvent OnChange;
    TSkinTabChangingEvent OnChanging;
    TSkinNotifyEvent OnCloseBtnClick;
    TSkinNotifyEvent OnCustomBtnClick;
    TSkinNotifyEvent OnAttachBtnClick;

protected:
    virtual void UpdateStyleItem();
    virtual void UpdateVisiblePages();
    virtual void DoSetTabIndex(int Value);
    virtual void DrawCtrlButton(TGPGraphics& Graphics, const IGPBitmap& AImage,
                                const TGPRect& ARect);
    // The top strip: its background picture, then the tabs and buttons.
    virtual void DrawTabsTop(TGPGraphics& Graphics, const TGPRect& ARect);
    // The strip of the current side; every side but the top draws no background.
    virtual void DrawTabs(TGPGraphics& Graphics, const TGPRect& ARect);
    virtual void Change();

    void CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) override;
    void ChangeSkinFile() override;
    void ChangeSkinBackGroundItem(TBaseSkinItem* AItem) override;
    void Loaded() override;

    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Page list changes, called by the sheets.
    void InsertPage(TSkinTabSheet* APage);
    void RemovePage(TSkinTabSheet* APage);
    void MovePage(TSkinTabSheet* APage, int AIndex);
    void PageTabChanged();
    void ChangeActivePage(TSkinTabSheet* APage);

    void AlignSheets();
    void LayoutChanged();
    TTabStripInput MakeLayoutInput();
    int TabLength(TSkinTabSheet* APage, TGPGraphics& AMeasure) const;
    bool CaptionShown(const TSkinTabSheet* APage) const;
    void SetImage(TPageCtrlImage AImage, const IGPBitmap& AValue);
    TGDIIMGADV* ElementFor(TPageCtrlImage AImage) const;
    // The tab picture for the hover, press and active state, or -1 for none.
    int TabImageFor(int AVisibleIndex) const;
    const IGPBitmap& ButtonImageFor(TSkinTabCtrlBtn AButton) const;
    // The tabs and control buttons where the layout put them, on any side.
    void DrawStrip(TGPGraphics& Graphics);
    void DrawTab(TGPGraphics& Graphics, int AVisibleIndex, const TGPRect& ARect);
    void DrawTabIcon(TGPGraphics& Graphics, TSkinTabSheet* APage, const TGPRect& ARect);
    void DrawTabCaption(TGPGraphics& Graphics, TSkinTabSheet* APage, const TGPRect& ARect);
    void TakeFont();
    // Forgets hover and press; every way the mouse can stop acting on the control ends here.
    void ResetMouseState();
    void SetHover(int AIndex);
    static bool CanTakeFocus(const QWidget* AWidget);

    TSkinPageControlStyleItem* FPageControlStyleItem = nullptr;
    std::vector<TSkinTabSheet*> FPages;
    TSkinTabSheet* FActivePage = nullptr;
    int FTabHeight = 26;
    TSkinTabOrientation FTabOrientation = toTop;
    bool FAlwaysShowFirstPage = false;
    bool FOnlyShowActivePageCaption = false;
    bool FShowCard = true;
    bool FFillInRow = false;
    int FTabIndex = -1;
    int FIconWidth = 16;
    int FIconHeight = 16;
    bool FDrawTabNormal = true;
    TSkinImageList FIconList;
    QString FStyleName = QStringLiteral("0");
    TSkinTabSheet* FInitActivePage = nullptr;
    std::vector<TSkinTabSheet*> FVisiblePages;
    std::array<IGPBitmap, KPageCtrlImageCount> FImages;
    // Own nine-slice elements of the three tab pictures and the strip background.
    std::array<std::unique_ptr<TGDIIMGADV>, 4> FElements;
    std::unique_ptr<TGDIText> FCaptionText;
    bool FShowAttachButton = false;
    bool FShowCloseButton = false;
    bool FShowCustomButton = false;
    int FMouseOverPageIndex = -1;
    bool FMouseDown = false;
    bool FPageScrollVisible = false;
    int FPageScrollStart = 0;
    int FMaxPageScrollStart = 0;
    TSkinTabCtrlBtn FTabCtrlBtn = cbNone;
    QString FHint;
    bool FShowHint = true;
    TTabStripLayout FLayout;
    bool FLayoutStale = true;
    bool FDestroying = false;
};

} // namespace velmora
