#pragma once

// Measures of how a picture was scaled, for tests of drawing at more than one device pixel
// per logical pixel.

#include <QImage>
#include <QRect>

namespace velmora::fixtures {

// Of the aligned block x block squares of area that are not flat (the square's pixels, or a
// pixel just right of or below it, differ from its first pixel), the share whose own pixels
// are all the same. A picture enlarged by repeating pixels gives 1; smooth scaling gives little.
double UniformBlockShare(const QImage& image, const QRect& area, int block = 2);

// How steep the picture's edges are: the mean grey-level step between neighbouring pixels,
// each step weighted by itself (sum of squares over sum). A sharp edge is one large step, the
// same at any resolution; a blurred one is several small steps. 0 for a flat picture.
double EdgeSteepness(const QImage& image, const QRect& area);

} // namespace velmora::fixtures
