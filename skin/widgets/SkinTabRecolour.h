#pragma once

#include "platform/graphics/GPBitmap.h"
#include "skin/drawing/SkinTypes.h"

namespace velmora {

// Tints a tab-strip background to a window background's average colour: the outline (pixels
// on the border or below a transparent one) turns white, every other visible pixel takes one
// colour lighter than the average. Pixels with alpha up to 9 count as transparent.
void RecolourTabBackGround(TGPBitmap& ABitmap, TGPColor AAverageColor);

// The fill colour's channel for an average channel: black gives 165, white 250.
constexpr int TabFillChannel(int c) {
    return c + ((510 - 2 * c) / 3 - 5);
}

} // namespace velmora
