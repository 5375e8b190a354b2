#pragma once

class QWidget;

namespace velmora {

class TSkinApplication;

// The installer's process start in its fixed order: shared drawing objects, skin manager,
// settings, the embedded skin, the application, the installer and product tests (each may
// stop the program after its dialog), then the main window and the licence viewer with the
// message loop. Returns the exit code of the message loop.
int RunVelmoraSetup(TSkinApplication& AApp);

// Once AWindow's first frame is painted, the heap prepared for start-up (PrepareImageHeap) is
// settled for the rest of the run (SettleImageHeap).
void SettleImageHeapAfterFirstPaint(QWidget& AWindow);

} // namespace velmora
