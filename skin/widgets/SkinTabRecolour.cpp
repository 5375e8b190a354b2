#include "skin/widgets/SkinTabRecolour.h"

#include <optional>

namespace velmora {

namespace {
constexpr int KTransparentAlpha = 9;
}

void RecolourTabBackGround(TGPBitmap& ABitmap, TGPColor AAverageColor) {
    const int w = ABitmap.Width();
    const int h = ABitmap.Height();
    std::optional<QRgb> fill;
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y) {
            const QRgb pixel = ABitmap.GetPixel(x, y);
            if (qAlpha(pixel) <= KTransparentAlpha)
                continue;
            const bool border = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            // Rewritten pixels keep their side of the alpha threshold, so the pixel above
            // still tells where the shape starts.
            if (border || qAlpha(ABitmap.GetPixel(x, y - 1)) <= KTransparentAlpha) {
                ABitmap.SetPixel(x, y, 0xFFFFFFFFu);
                continue;
            }
            if (!fill)
                fill = qRgba(TabFillChannel(qRed(AAverageColor)),
                             TabFillChannel(qGreen(AAverageColor)),
                             TabFillChannel(qBlue(AAverageColor)), qAlpha(pixel));
            ABitmap.SetPixel(x, y, *fill);
        }
}

} // namespace velmora
