#include "skin/widgets/SkinPageControlAccessible.h"

#include "skin/widgets/SkinPageControl.h"
#include "skin/widgets/SkinTabSheet.h"

#include <QWindow>
#include <map>

namespace velmora {

namespace {

// One interface per sheet, so a tab keeps its identity between queries; an entry whose sheet
// has gone is replaced when asked for again.
std::map<const TSkinTabSheet*, QAccessible::Id>& TabInterfaces() {
    static std::map<const TSkinTabSheet*, QAccessible::Id> ids;
    return ids;
}

QAccessibleInterface* TabInterface(TSkinPageControl* AControl, TSkinTabSheet* ASheet) {
    auto& ids = TabInterfaces();
    if (const auto it = ids.find(ASheet); it != ids.end()) {
        auto* known =
            static_cast<TPageTabAccessible*>(QAccessible::accessibleInterface(it->second));
        if (known != nullptr && known->isValid() && known->Sheet() == ASheet)
            return known;
        if (known != nullptr)
            QAccessible::deleteAccessibleInterface(it->second);
        ids.erase(it);
    }
    auto* made = new TPageTabAccessible(AControl, ASheet);
    ids[ASheet] = QAccessible::registerAccessibleInterface(made);
    return made;
}

QAccessibleInterface* Factory(const QString&, QObject* AObject) {
    if (auto* control = dynamic_cast<TSkinPageControl*>(AObject))
        return new TPageControlAccessible(control);
    return nullptr;
}

} // namespace

TPageControlAccessible::TPageControlAccessible(TSkinPageControl* AControl)
    : QAccessibleWidget(AControl, QAccessible::PageTabList) {}

void TPageControlAccessible::Install() {
    static const bool installed = (QAccessible::installFactory(&Factory), true);
    (void)installed;
}

TSkinPageControl* TPageControlAccessible::Control() const {
    return static_cast<TSkinPageControl*>(widget());
}

int TPageControlAccessible::childCount() const {
    return Control()->VisiblePageCount() + QAccessibleWidget::childCount();
}

QAccessibleInterface* TPageControlAccessible::child(int index) const {
    const int tabs = Control()->VisiblePageCount();
    if (index < 0)
        return nullptr;
    if (index < tabs)
        return TabInterface(Control(), Control()->VisiblePage(index));
    return QAccessibleWidget::child(index - tabs);
}

int TPageControlAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (child != nullptr && child->role() == QAccessible::PageTab && child->object() == nullptr) {
        const auto* tab = static_cast<const TPageTabAccessible*>(child);
        return Control()->IndexOfVisiblePage(tab->Sheet());
    }
    const int index = QAccessibleWidget::indexOfChild(child);
    return index < 0 ? -1 : index + Control()->VisiblePageCount();
}

TPageTabAccessible::TPageTabAccessible(TSkinPageControl* AControl, TSkinTabSheet* ASheet)
    : FControl(AControl), FSheet(ASheet) {}

bool TPageTabAccessible::isValid() const {
    return FControl != nullptr && FSheet != nullptr && FSheet->PageControl() == FControl &&
           FSheet->TabVisible();
}

QWindow* TPageTabAccessible::window() const {
    return FControl != nullptr ? FControl->window()->windowHandle() : nullptr;
}

QAccessibleInterface* TPageTabAccessible::parent() const {
    return FControl != nullptr ? QAccessible::queryAccessibleInterface(FControl.data()) : nullptr;
}

QString TPageTabAccessible::text(QAccessible::Text t) const {
    if (!isValid())
        return {};
    switch (t) {
    case QAccessible::Name:
        return FSheet->Caption();
    case QAccessible::Description:
        return FSheet->Hint();
    default:
        return {};
    }
}

QRect TPageTabAccessible::rect() const {
    if (!isValid())
        return {};
    const QRect local = FSheet->DisplayRect().ToQRect();
    return QRect(FControl->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::State TPageTabAccessible::state() const {
    QAccessible::State s;
    if (!isValid())
        return s;
    s.selectable = true;
    s.selected = FControl->ActivePage() == FSheet;
    s.disabled = !FSheet->TabEnabled();
    s.invisible = FSheet->DisplayRect().Width <= 0;
    return s;
}

} // namespace velmora
