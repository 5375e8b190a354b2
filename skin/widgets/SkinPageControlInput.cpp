#include "skin/widgets/SkinPageControl.h"
#include "skin/widgets/SkinTabSheet.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QToolTip>

// Mouse, keys and focus. Hover and clicks ask the same layout the paint drew, and every way
// the mouse stops acting on the control forgets hover and press.

namespace velmora {

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

} // namespace velmora
