#pragma once

#include "platform/graphics/GPGraphics.h"
#include "skin/drawing/SkinTypes.h"

#include <QImage>
#include <QRect>

namespace velmora {

// Fills area with the tile rectangle of source as the stretch mode says: stretched, in
// columns or rows each receiving the whole tile stretched to its size, in cells receiving
// the tile's top-left part unscaled, or as the average-colour fade. Nothing happens when the
// area or the tile is empty or the tile does not lie on the source, so a zero-sized tile can
// never loop forever.
void FillCentre(TGPGraphics& graphics, const QImage& source, const QRect& tile, const QRect& area,
                TStretchMode mode);

// Fades the last 26 columns, then the last 26 rows, of a straight-ARGB image whose sides
// both exceed 25 pixels: alpha times a factor from 1.0 falling by 0.04 per line.
void FadeTrailingEdges(QImage& image);

// The mean red, green and blue of the pixels at x = startX, startX + stepX, ... below width
// and y = startY, startY + stepY, ... below height, as an opaque colour; 0 when nothing was
// sampled. Positions outside the image are skipped and steps below 1 sample nothing.
TGPColor AverageColor(const QImage& image, int startX, int stepY, int stepX, int height, int width,
                      int startY);

} // namespace velmora
