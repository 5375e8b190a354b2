#include "skin/drawing/StretchFill.h"

#include "platform/graphics/GPBitmap.h"

#include <algorithm>
#include <utility>

namespace velmora {
namespace {

constexpr int FadeLines = 26;
constexpr double FadeStep = 0.04;

// The faded layer is made at the target's ratio, so the picture under the fade stays as sharp
// as the target can show it; fade and average work on logical pixels.
void FillAverageColour(TGPGraphics& graphics, const QImage& source, const QRect& tile,
                       const QRect& area) {
    TGPBitmap layer(area.width(), area.height(), graphics.Ratio());
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
        !LogicalRect(source).contains(tile))
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
    const QSize logical = LogicalSize(image);
    const int width = logical.width();
    const int height = logical.height();
    if (width <= 25 || height <= 25 || image.format() != QImage::Format_ARGB32)
        return;
    auto scale = [](QRgb& pixel, double factor) {
        const int alpha = static_cast<int>(qAlpha(pixel) * factor);
        pixel = (pixel & 0x00FFFFFFu) | (static_cast<QRgb>(alpha) << 24);
    };
    // The device columns (rows) of a logical column (row); the last takes any pixels left over.
    auto span = [&image](int line, int lines, bool columns) {
        const QRect first = PixelRect(columns ? QRect(line, 0, 1, 1) : QRect(0, line, 1, 1), image);
        const int begin = columns ? first.left() : first.top();
        int end = columns ? first.right() + 1 : first.bottom() + 1;
        if (line == lines - 1)
            end = columns ? image.width() : image.height();
        return std::pair<int, int>(begin, end);
    };
    double factor = 1.0;
    for (int x = width - FadeLines; x < width; ++x) {
        const auto [begin, end] = span(x, width, true);
        for (int px = begin; px < end; ++px)
            for (int y = 0; y < image.height(); ++y)
                scale(reinterpret_cast<QRgb*>(image.scanLine(y))[px], factor);
        if (!(factor < FadeStep))
            factor -= FadeStep;
    }
    factor = 1.0;
    for (int y = height - FadeLines; y < height; ++y) {
        const auto [begin, end] = span(y, height, false);
        for (int py = begin; py < end; ++py) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(py));
            for (int x = 0; x < image.width(); ++x)
                scale(row[x], factor);
        }
        if (!(factor < FadeStep))
            factor -= FadeStep;
    }
}

TGPColor AverageColor(const QImage& image, int startX, int stepY, int stepX, int height, int width,
                      int startY) {
    if (stepX < 1 || stepY < 1 || image.isNull())
        return 0;
    qint64 red = 0, green = 0, blue = 0, count = 0;
    // Positions are logical; a picture of a higher ratio is read at the first device pixel of
    // each logical pixel.
    const QSize logical = LogicalSize(image);
    for (int x = startX; x < width; x += stepX) {
        for (int y = startY; y < height; y += stepY) {
            if (x < 0 || y < 0 || x >= logical.width() || y >= logical.height())
                continue;
            const QPoint at = PixelRect(QRect(x, y, 1, 1), image).topLeft();
            const QRgb pixel = image.pixelColor(at).rgba();
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
