#pragma once

#include "skin/controls/SkinForms.h"
#include "tests/support/WindowTestSupport.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <memory>

namespace velmora::testing {

// Widget tests: a shown 400 x 300 skinned form to put controls on.
using WidgetTest = FormTest;

inline void SendEnter(QWidget& widget) {
    QEnterEvent event(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(&widget, &event);
}

inline void SendLeave(QWidget& widget) {
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&widget, &event);
}

inline void SendMouse(QWidget& widget, QEvent::Type type, QPoint at = QPoint(3, 3)) {
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

inline void SendClick(QWidget& widget, QPoint at = QPoint(3, 3)) {
    SendMouse(widget, QEvent::MouseButtonPress, at);
    SendMouse(widget, QEvent::MouseButtonRelease, at);
}

// Whether the skin engine log holds an entry with that additional message.
inline bool LogHas(const QStringList& lines, const QString& tag) {
    for (const QString& line : lines)
        if (line.contains(QStringLiteral("AdditionalMsg:") + tag))
            return true;
    return false;
}

} // namespace velmora::testing
