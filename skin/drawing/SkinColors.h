#pragma once

#include "skin/drawing/SkinTypes.h"

namespace velmora {

// The top bit of a framework colour marks a system colour whose index is the low byte.
constexpr quint32 SystemColorFlag = 0x80000000u;

// The system colour of a classic colour index (0 scroll bar ... 30 menu bar), taken from
// the application palette; unknown indexes are black, as the system reports them.
TGPColor SystemColor(int index);

// Framework colour (0x00BBGGRR or system colour) to an opaque ARGB colour.
TGPColor ColorToGPColor(quint32 frameworkColor);

// Opaque ARGB to a framework colour (alpha dropped).
constexpr quint32 GPColorToColor(TGPColor color) {
    return ((color >> 16) & 0xFFu) | (color & 0xFF00u) | ((color & 0xFFu) << 16);
}

// Black when the colour's mean channel is above 126, else white: readable text over it.
constexpr TGPColor GetTextColorByGPColor(TGPColor color) {
    const quint32 mean = (((color >> 16) & 0xFFu) + ((color >> 8) & 0xFFu) + (color & 0xFFu)) / 3;
    return mean > 126 ? 0xFF000000u : 0xFFFFFFFFu;
}

} // namespace velmora
