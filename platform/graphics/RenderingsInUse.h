#pragma once

#include <QtGlobal>
#include <vector>

namespace velmora {

// Pictures come as a 1x picture and renderings at higher ratios. Decoding a rendering no
// screen draws from costs start-up time for nothing (the 2x rendering alone has four times the
// pixels), so only the renderings the screens attached now draw from are read: for each screen
// of more than one device pixel per logical pixel, the smallest rendering of at least its
// ratio, else the largest. A screen attached later with a higher ratio is drawn from the 1x
// picture, smoothly scaled, until the next start.

// Of AAvailable (ratios above 1, any order), those screens of AScreenRatios draw from, in
// ascending order and each once.
std::vector<qreal> RenderingsFor(const std::vector<qreal>& AScreenRatios,
                                 const std::vector<qreal>& AAvailable);

// The same for the screens of this application now; none without a GUI application.
std::vector<qreal> RenderingsInUse(const std::vector<qreal>& AAvailable);

} // namespace velmora
