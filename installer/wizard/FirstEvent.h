#pragma once

#include <QEvent>
#include <functional>

class QWidget;

namespace velmora {

// Runs AAction once, when AWidget first receives an event of AType (after the widget has
// handled nothing of it yet), then stops watching: work that waits until a widget is first
// shown or painted.
void OnFirstEvent(QWidget& AWidget, QEvent::Type AType, std::function<void()> AAction);

} // namespace velmora
