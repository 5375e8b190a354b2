#include "skin/drawing/TextGlow.h"

#include "platform/graphics/GPBitmap.h"

#include <cmath>
#include <numbers>

namespace velmora {

std::vector<int> GlowKernel(int radius) {
    double sigma = radius / 2.0;
    if (sigma == 0)
        sigma = 1.45;
    const int size = 2 * radius + 1;
    std::vector<int> weights(static_cast<size_t>(size) * size);
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const double value = 1000.0 * std::exp(-(dx * dx + dy * dy) / (2 * sigma * sigma)) /
                                 (2 * std::numbers::pi * sigma * sigma);
            weights[static_cast<size_t>((dy + radius) * size + dx + radius)] =
                static_cast<int>(std::lround(value));
        }
    return weights;
}

void BlurAlpha(QImage& image, int radius, TGPColor shadowColor) {
    if (image.format() != QImage::Format_ARGB32 || image.width() <= 2 * radius ||
        image.height() <= 2 * radius)
        return;
    const std::vector<int> weights = GlowKernel(radius);
    qint64 total = 0;
    for (const int weight : weights)
        total += weight;
    if (total == 0)
        return;
    const QImage source = image.copy();
    const int size = 2 * radius + 1;
    const QRgb tint = shadowColor & 0x00FFFFFFu;
    for (int y = radius; y < image.height() - radius; ++y) {
        auto* target = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = radius; x < image.width() - radius; ++x) {
            qint64 sum = 0;
            for (int dy = -radius; dy <= radius; ++dy) {
                const auto* row = reinterpret_cast<const QRgb*>(source.constScanLine(y + dy));
                const int* weightRow = &weights[static_cast<size_t>((dy + radius) * size)];
                for (int dx = -radius; dx <= radius; ++dx)
                    sum += qint64(weightRow[dx + radius]) * qAlpha(row[x + dx]);
            }
            target[x] = tint | (static_cast<QRgb>(sum / total) << 24);
        }
    }
}

void DrawTextGlow(TGPGraphics& graphics, const QString& text, const QFont& font, TGPColor brush,
                  const QPointF& origin, const TGPStringFormat* format, TGPColor shadowColor) {
    const int r = GlowRadius;
    const QRectF box = graphics.MeasureString(text, font, origin, format);
    const int W = static_cast<int>(std::ceil(box.width()));
    const int H = static_cast<int>(std::ceil(box.height()));
    if (W <= 0 || H <= 0)
        return;
    TGPBitmap glow(W + 4 * r, H + 4 * r);
    {
        TGPGraphics glowGraphics(glow);
        glowGraphics.DrawString(text, font, brush, QRectF(2 * r, 2 * r, W, H), format);
    }
    BlurAlpha(glow.Image(), r, shadowColor);
    // Distance 0 at 60 degrees: the glow sits exactly under the text.
    const QPointF destination(std::ceil(box.x()), std::ceil(box.y()));
    graphics.DrawImage(glow, QRectF(destination, QSizeF(W, H)), QRectF(2 * r, 2 * r, W, H));
}

} // namespace velmora
