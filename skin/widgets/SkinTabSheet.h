#pragma once

#include "skin/controls/SkinControl.h"
#include "skin/widgets/SkinPageControlTypes.h"

#include <QString>

namespace velmora {

class TSkinPageControl;

// One page of a TSkinPageControl. Its tab is drawn by the control; the sheet itself paints
// nothing, so the form's background shows through the page area.
class TSkinTabSheet : public TSkinCustomControl {
    friend class TSkinPageControl;

public:
    // A sheet created on a page control joins its page list.
    explicit TSkinTabSheet(QWidget* parent = nullptr);
    ~TSkinTabSheet() override;

    QString ClassName() const override { return QStringLiteral("TSkinTabSheet"); }

    TSkinPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TSkinPageControl* APageControl);
    // Position in the control's page list, -1 without a control.
    int PageIndex() const;
    // Throws EInvalidPageIndex beyond the last index; see the README for values below 0.
    void SetPageIndex(int Value);
    // Visible sheets before this one, -1 when its tab is hidden or it has no control.
    int TabIndex() const;

    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    bool TabEnabled() const { return FTabEnabled; }
    void SetTabEnabled(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int DisabledIndex() const { return FDisabledIndex; }
    void SetDisabledIndex(int Value);
    const QString& Hint() const { return FHint; }
    void SetHint(const QString& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }
    // The tab's rectangle as the control last laid it out; empty while the tab is not shown.
    const TGPRect& DisplayRect() const { return FDisplayRect; }
    void SetDisplayRect(const TGPRect& Value) { FDisplayRect = Value; }

    void* Data = nullptr;
    TSkinSheetNotifyEvent OnShow;
    TSkinSheetNotifyEvent OnHide;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    void TabChanged();
    void FireShowing(const TSkinSheetNotifyEvent& AEvent);

    TSkinPageControl* FPageControl = nullptr;
    QString FCaption;
    int FDisabledIndex = -1;
    bool FTabEnabled = true;
    int FImageIndex = -1;
    bool FTabVisible = true;
    QString FHint;
    bool FShowHint = true;
    TGPRect FDisplayRect;
    bool FReparenting = false;
};

} // namespace velmora
