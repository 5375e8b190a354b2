#pragma once

#include "platform/graphics/GPGraphics.h"

#include <QRect>

namespace velmora {

// The keyboard focus cue of skinned controls: two thin rounded rings inside ARect, a light one
// outside a dark one, so it shows on the dark teal bars as on white pages and over any picture.
// Drawn in logical pixels; at a higher device pixel ratio the rings stay thin and sharp.
void DrawFocusCue(TGPGraphics& AGraphics, const QRect& ARect);

// The colours, for tests and for controls that draw a cue of their own.
constexpr QRgb KFocusCueOuter = 0xF0FFFFFFu;
constexpr QRgb KFocusCueInner = 0xFF1C5A80u;

} // namespace velmora
