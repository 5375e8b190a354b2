#pragma once

class QWidget;

namespace velmora {

// Holds back (or releases) the layout of widget's children. On release the layout catches
// up at once with the sizes that changed while it was held.
void SetLayoutHeld(QWidget& widget, bool held);

} // namespace velmora
