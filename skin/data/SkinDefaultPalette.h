#pragma once

#include <QtGlobal>
#include <array>

namespace velmora {

// The default background colours as system colours (0x00BBGGRR), in the order they are shown.
inline constexpr int KDefaultPaletteCount = 102;
extern const std::array<quint32, KDefaultPaletteCount> KDefaultBackColors;

} // namespace velmora
