#pragma once

#include <QAccessibleWidget>
#include <QPointer>

namespace velmora {

class TSkinPageControl;
class TSkinTabSheet;

// Assistive technology sees the control as a page-tab list whose first children are its
// visible tabs, followed by its ordinary child widgets (the sheets and what they hold).
class TPageControlAccessible : public QAccessibleWidget {
public:
    explicit TPageControlAccessible(TSkinPageControl* AControl);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

    // Installs the factory that gives page controls this interface; safe to call again.
    static void Install();

private:
    TSkinPageControl* Control() const;
};

// One visible tab: a page tab named by the sheet's caption, selected while its sheet is the
// active page.
class TPageTabAccessible : public QAccessibleInterface {
public:
    TPageTabAccessible(TSkinPageControl* AControl, TSkinTabSheet* ASheet);

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override;
    TSkinTabSheet* Sheet() const { return FSheet; }

private:
    QPointer<TSkinPageControl> FControl;
    QPointer<TSkinTabSheet> FSheet;
};

} // namespace velmora
