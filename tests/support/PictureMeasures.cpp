#include "tests/support/PictureMeasures.h"

#include <cstdlib>

namespace velmora::fixtures {

double UniformBlockShare(const QImage& image, const QRect& area, int block) {
    const QImage rgb = image.convertToFormat(QImage::Format_ARGB32);
    const QRect inside = area & rgb.rect();
    qint64 edges = 0;
    qint64 uniform = 0;
    // The pixels right of and below a square must lie inside too.
    for (int by = inside.top(); by + block <= inside.bottom(); by += block)
        for (int bx = inside.left(); bx + block <= inside.right(); bx += block) {
            const QRgb first = rgb.pixel(bx, by);
            bool same = true;
            bool edge = false;
            for (int y = by; y < by + block; ++y) {
                edge = edge || rgb.pixel(bx + block, y) != first;
                for (int x = bx; x < bx + block; ++x)
                    same = same && rgb.pixel(x, y) == first;
            }
            for (int x = bx; x < bx + block; ++x)
                edge = edge || rgb.pixel(x, by + block) != first;
            if (!edge && same)
                continue;
            ++edges;
            uniform += same ? 1 : 0;
        }
    return edges == 0 ? 0.0 : double(uniform) / double(edges);
}

double EdgeSteepness(const QImage& image, const QRect& area) {
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    const QRect inside = area & grey.rect();
    double sum = 0;
    double squares = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        const uchar* row = grey.constScanLine(y);
        const uchar* below = y < inside.bottom() ? grey.constScanLine(y + 1) : nullptr;
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (x < inside.right()) {
                const double step = std::abs(int(row[x + 1]) - int(row[x]));
                sum += step;
                squares += step * step;
            }
            if (below != nullptr) {
                const double step = std::abs(int(below[x]) - int(row[x]));
                sum += step;
                squares += step * step;
            }
        }
    }
    return sum == 0 ? 0.0 : squares / sum;
}

} // namespace velmora::fixtures
