#pragma once

#include <QObject>
#include <functional>

namespace velmora {

class TSkinTabSheet;

// Stored by ordinal, so the numbers are part of the type.
enum TSkinTabOrientation : int { toLeft = 0, toTop = 1, toRight = 2, toBottom = 3 };

// Left and right strips run down the control; their tabs stack from the top.
constexpr bool IsVerticalStrip(TSkinTabOrientation AOrientation) {
    return AOrientation == toLeft || AOrientation == toRight;
}

// The control button under the mouse.
enum TSkinTabCtrlBtn : int {
    cbNone = 0,
    cbAttach = 1,
    cbPageUp = 2,
    cbPageDown = 3,
    cbCustom = 4,
    cbClose = 5
};
inline constexpr int KTabCtrlBtnCount = 5;

// Index of a button in per-button arrays; cbNone has none.
constexpr int TabCtrlBtnSlot(TSkinTabCtrlBtn AButton) {
    return static_cast<int>(AButton) - 1;
}

using TSkinNotifyEvent = std::function<void(QObject* Sender)>;
using TSkinTabChangingEvent = std::function<void(QObject* Sender, int NewIndex, bool& AllowChange)>;
using TSkinSheetNotifyEvent = std::function<void(TSkinTabSheet* Sender)>;

} // namespace velmora
