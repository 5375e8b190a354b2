#pragma once

class QWidget;

namespace velmora {

// Dialog results, as message boxes number them.
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
};

// Shows window modal to the whole application and runs the event loop until the window
// hides or closes; returns the result it was given, or mrCancel when it was closed without
// one. The window's own modality and visibility are restored afterwards.
int ShowModal(QWidget* window);

// Ends a modal display with AResult (the window hides); outside one, it only hides the window.
void SetModalResult(QWidget* window, int AResult);
int ModalResult(const QWidget* window);

// True while window is shown by ShowModal.
bool IsShownModal(const QWidget* window);

} // namespace velmora
