#include "skin/widgets/SkinTabSheet.h"

#include "skin/drawing/SkinEngineLog.h"
#include "skin/widgets/SkinPageControl.h"

#include <QEvent>

namespace velmora {

TSkinTabSheet::TSkinTabSheet(QWidget* parent) : TSkinCustomControl(parent) {
    // A sheet is shown only by becoming the active page.
    hide();
    setFocusPolicy(Qt::TabFocus);
    SetColor(palette().color(QPalette::Button));
    if (auto* control = dynamic_cast<TSkinPageControl*>(parent))
        control->InsertPage(this);
}

TSkinTabSheet::~TSkinTabSheet() {
    if (FPageControl != nullptr)
        FPageControl->RemovePage(this);
}

void TSkinTabSheet::SetPageControl(TSkinPageControl* APageControl) {
    if (FPageControl == APageControl)
        return;
    if (FPageControl != nullptr)
        FPageControl->RemovePage(this);
    FReparenting = true;
    setParent(APageControl);
    FReparenting = false;
    if (APageControl != nullptr)
        APageControl->InsertPage(this);
}

int TSkinTabSheet::PageIndex() const {
    return FPageControl != nullptr ? FPageControl->IndexOfPage(this) : -1;
}

void TSkinTabSheet::SetPageIndex(int Value) {
    if (FPageControl == nullptr)
        return;
    const int last = FPageControl->PageCount() - 1;
    // A negative position names no place in the list either, so it is refused the same way.
    if (Value < 0 || Value > last)
        throw EInvalidPageIndex(
            QStringLiteral("%1 is an invalid PageIndex value. PageIndex must be between 0 and %2")
                .arg(Value)
                .arg(last));
    FPageControl->MovePage(this, Value);
}

int TSkinTabSheet::TabIndex() const {
    if (FPageControl == nullptr || !FTabVisible)
        return -1;
    int index = 0;
    for (int i = 0; i < FPageControl->PageCount(); ++i) {
        const TSkinTabSheet* page = FPageControl->GetPage(i);
        if (page == this)
            return index;
        if (page->TabVisible())
            ++index;
    }
    return -1;
}

void TSkinTabSheet::SetCaption(const QString& Value) {
    if (FCaption == Value)
        return;
    FCaption = Value;
    TabChanged();
}

void TSkinTabSheet::SetTabVisible(bool Value) {
    if (FTabVisible == Value)
        return;
    FTabVisible = Value;
    TabChanged();
}

void TSkinTabSheet::SetTabEnabled(bool Value) {
    if (FTabEnabled == Value)
        return;
    FTabEnabled = Value;
    TabChanged();
}

void TSkinTabSheet::SetImageIndex(int Value) {
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    TabChanged();
}

void TSkinTabSheet::SetDisabledIndex(int Value) {
    if (FDisabledIndex == Value)
        return;
    FDisabledIndex = Value;
    TabChanged();
}

void TSkinTabSheet::TabChanged() {
    if (FPageControl != nullptr)
        FPageControl->PageTabChanged();
}

void TSkinTabSheet::FireShowing(const TSkinSheetNotifyEvent& AEvent) {
    if (!AEvent)
        return;
    try {
        AEvent(this);
    } catch (const std::exception& error) {
        const QString name = objectName();
        LogSkinFailure(ClassName(), &name, &error, QStringLiteral("CMShowingChanged"));
    }
}

void TSkinTabSheet::showEvent(QShowEvent* event) {
    TSkinCustomControl::showEvent(event);
    FireShowing(OnShow);
}

void TSkinTabSheet::hideEvent(QHideEvent* event) {
    TSkinCustomControl::hideEvent(event);
    FireShowing(OnHide);
}

bool TSkinTabSheet::event(QEvent* event) {
    // A sheet moved to another parent by plain widget calls still follows its page list.
    if (event->type() == QEvent::ParentChange && !FReparenting) {
        auto* control = dynamic_cast<TSkinPageControl*>(parentWidget());
        if (control != FPageControl) {
            if (FPageControl != nullptr)
                FPageControl->RemovePage(this);
            if (control != nullptr)
                control->InsertPage(this);
        }
    }
    return TSkinCustomControl::event(event);
}

} // namespace velmora
