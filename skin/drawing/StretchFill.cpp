#include "skin/drawing/StretchFill.h"

#include "platform/graphics/GPBitmap.h"

#include <algorithm>

namespace velmora {
namespace {

constexpr int FadeLines = 26;
constexpr double FadeStep = 0.04;

void FillAverageColour(TGPGraphics& graphics, const QImage& source, const QRect& tile,
                       const QRect& area) {
    TGPBitmap layer(area.width(), area.height());
    {
        TGPGraphics layerGraphics(layer);
        layerGraphics.DrawImage(source, QRectF(0, 0, area.width(), area.height()), QRectF(tile));
    }
    FadeTrailingEdges(layer.Image());
    const TGPColor mean =
        AverageColor(layer.Image(), area.width() - 25, 5, 5, area.height(), area.width(), 0);
    QPainter& painter = graphics.Painter();
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(area, QColor::fromRgba(mean));
    painter.restore();
    graphics.DrawImage(layer.Image(), area.x(), area.y());
}

} // namespace

void FillCentre(TGPGraphics& graphics, const QImage& source, const QRect& tile, const QRect& area,
                TStretchMode mode) {
    if (area.width() <= 0 || area.height() <= 0 || tile.width() <= 0 || tile.height() <= 0 ||
        !source.rect().contains(tile))
        return;
    const int tw = tile.width();
    const int th = tile.height();
    switch (mode) {
    case smTileHorz:
        for (int x = 0; x < area.width(); x += tw) {
            const int w = std::min(tw, area.width() - x);
            graphics.DrawImage(source, QRectF(area.x() + x, area.y(), w, area.height()),
                               QRectF(tile));
        }
        break;
    case smTileVert:
        for (int y = 0; y < area.height(); y += th) {
            const int h = std::min(th, area.height() - y);
            graphics.DrawImage(source, QRectF(area.x(), area.y() + y, area.width(), h),
                               QRectF(tile));
        }
        break;
    case smTileBoth:
        for (int x = 0; x < area.width(); x += tw) {
            const int w = std::min(tw, area.width() - x);
            for (int y = 0; y < area.height(); y += th) {
                const int h = std::min(th, area.height() - y);
                graphics.DrawImage(source, QRectF(area.x() + x, area.y() + y, w, h),
                                   QRectF(tile.x(), tile.y(), w, h));
            }
        }
        break;
    case smAvgColor:
        FillAverageColour(graphics, source, tile, area);
        break;
    case smStretchBoth:
    default:
        graphics.DrawImage(source, QRectF(area), QRectF(tile));
        break;
    }
}

void FadeTrailingEdges(QImage& image) {
    const int width = image.width();
    const int height = image.height();
    if (width <= 25 || height <= 25 || image.format() != QImage::Format_ARGB32)
        return;
    auto scale = [](QRgb& pixel, double factor) {
        const int alpha = static_cast<int>(qAlpha(pixel) * factor);
        pixel = (pixel & 0x00FFFFFFu) | (static_cast<QRgb>(alpha) << 24);
    };
    double factor = 1.0;
    for (int x = width - FadeLines; x < width; ++x) {
        for (int y = 0; y < height; ++y)
            scale(reinterpret_cast<QRgb*>(image.scanLine(y))[x], factor);
        if (!(factor < FadeStep))
            factor -= FadeStep;
    }
    factor = 1.0;
    for (int y = height - FadeLines; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            scale(row[x], factor);
        if (!(factor < FadeStep))
            factor -= FadeStep;
    }
}

TGPColor AverageColor(const QImage& image, int startX, int stepY, int stepX, int height, int width,
                      int startY) {
    if (stepX < 1 || stepY < 1 || image.isNull())
        return 0;
    qint64 red = 0, green = 0, blue = 0, count = 0;
    for (int x = startX; x < width; x += stepX) {
        for (int y = startY; y < height; y += stepY) {
            if (!image.valid(x, y))
                continue;
            const QRgb pixel = image.pixelColor(x, y).rgba();
            red += qRed(pixel);
            green += qGreen(pixel);
            blue += qBlue(pixel);
            ++count;
        }
    }
    if (count == 0)
        return 0;
    return 0xFF000000u | static_cast<TGPColor>((red / count) << 16) |
           static_cast<TGPColor>((green / count) << 8) | static_cast<TGPColor>(blue / count);
}

} // namespace velmora
