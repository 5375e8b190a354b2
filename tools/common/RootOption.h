#pragma once

#include <QStringList>
#include <optional>

namespace velmora {

struct TSystemRoots;

// Takes "--root DIR" or "--machine-root DIR" out of args. Without either the real system's
// roots are used. With --root every platform root (registry store, program files, desktop,
// menus) and the log folder move below DIR, for staging and tests; with --machine-root only
// the machine-wide ones and the log do, and the desktop stays the real one of the person
// (the desktop user when root acts for one). Nothing when DIR is missing or both are given.
std::optional<TSystemRoots> TakeRootOption(QStringList& args);

} // namespace velmora
