#pragma once

namespace velmora {

// Processes pending window messages n + 1 times in a row; a negative n does nothing.
// Long work on the GUI thread calls this between steps so the window repaints and reacts.
void PumpMessages(int n);

} // namespace velmora
