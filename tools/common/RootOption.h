#pragma once

#include <QStringList>
#include <optional>

namespace velmora {

struct TSystemRoots;

// Takes "--root DIR" out of args. Without it the real system's roots are used; with it
// every platform root (registry store, program files, desktop, menus) and the log folder
// move below DIR, for staging and tests. Nothing when DIR is missing.
std::optional<TSystemRoots> TakeRootOption(QStringList& args);

} // namespace velmora
