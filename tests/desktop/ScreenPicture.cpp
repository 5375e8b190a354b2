#include "tests/desktop/ScreenPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace velmora::testing {

namespace {

// Compositing managers and scaling round channels by a few levels.
constexpr int KChangeTolerance = 6;
// A pixel this dark counts as black.
constexpr int KNearBlack = 16;
// Strong edges rise or fall by at least this many grey levels.
constexpr double KStrongEdge = 64;
// Steps smaller than this are flat.
constexpr double KFlatStep = 3;

int Channel(QRgb APixel, int AIndex) {
    return AIndex == 0 ? qRed(APixel) : AIndex == 1 ? qGreen(APixel) : qBlue(APixel);
}

QImage Rgb32(const QImage& APicture) {
    return APicture.format() == QImage::Format_RGB32
               ? APicture
               : APicture.convertToFormat(QImage::Format_RGB32);
}

double Grey(QRgb APixel) {
    return 0.299 * qRed(APixel) + 0.587 * qGreen(APixel) + 0.114 * qBlue(APixel);
}

// The edges along one line of grey values: runs of steps of one sign, where a single flat
// step between two rising (or falling) ones belongs to the run, as a picture scaled up
// without smoothing repeats each intermediate value.
void EdgesAlong(const std::vector<double>& ALine, double& ASum, int& ACount) {
    const int n = static_cast<int>(ALine.size());
    int i = 0;
    while (i < n - 1) {
        const double step = ALine[i + 1] - ALine[i];
        if (std::abs(step) < KFlatStep) {
            ++i;
            continue;
        }
        const int sign = step > 0 ? 1 : -1;
        int end = i + 1;
        while (end < n - 1) {
            const double next = (ALine[end + 1] - ALine[end]) * sign;
            if (next >= KFlatStep) {
                ++end;
                continue;
            }
            if (std::abs(next) < KFlatStep && end + 2 < n &&
                (ALine[end + 2] - ALine[end + 1]) * sign >= KFlatStep) {
                end += 2;
                continue;
            }
            break;
        }
        const double low = ALine[i];
        const double contrast = (ALine[end] - low) * sign;
        if (contrast >= KStrongEdge) {
            // Where the run passes 10 % and 90 % of its rise, between pixel centres.
            const auto crossing = [&](double AShare) {
                const double level = contrast * AShare;
                for (int k = i; k < end; ++k) {
                    const double a = (ALine[k] - low) * sign;
                    const double b = (ALine[k + 1] - low) * sign;
                    if (b >= level && b > a)
                        return k + std::clamp((level - a) / (b - a), 0.0, 1.0);
                }
                return static_cast<double>(end);
            };
            const double width = std::max(crossing(0.9) - crossing(0.1), 0.05);
            ASum += contrast / width;
            ++ACount;
        }
        i = end;
    }
}

// The share of 2 x 2 blocks at strong edges that are one colour, the block grid starting at
// (AOffsetX, AOffsetY).
double DoubledShareAt(const std::vector<double>& AGrey, int AWidth, int AHeight, int AOffsetX,
                      int AOffsetY) {
    const auto at = [&](int x, int y) { return AGrey[static_cast<size_t>(y) * AWidth + x]; };
    qsizetype edges = 0;
    qsizetype single = 0;
    for (int y = AOffsetY; y + 1 < AHeight; y += 2)
        for (int x = AOffsetX; x + 1 < AWidth; x += 2) {
            const double block[4] = {at(x, y), at(x + 1, y), at(x, y + 1), at(x + 1, y + 1)};
            const double low = *std::min_element(block, block + 4);
            const double high = *std::max_element(block, block + 4);
            // The contrast to the neighbouring blocks, so that blocks on either side of a
            // step between blocks count too.
            double across = high - low;
            if (x + 2 < AWidth)
                across = std::max(across, std::abs(at(x + 2, y) - block[1]));
            if (y + 2 < AHeight)
                across = std::max(across, std::abs(at(x, y + 2) - block[2]));
            if (x > 0)
                across = std::max(across, std::abs(at(x - 1, y) - block[0]));
            if (y > 0)
                across = std::max(across, std::abs(at(x, y - 1) - block[0]));
            if (across < KStrongEdge / 2)
                continue;
            ++edges;
            if (high - low <= KFlatStep)
                ++single;
        }
    return edges == 0 ? 0.0 : static_cast<double>(single) / static_cast<double>(edges);
}

} // namespace

bool IsChanged(QRgb APixel, QRgb ADesktop) {
    for (int c = 0; c < 3; ++c)
        if (std::abs(Channel(APixel, c) - Channel(ADesktop, c)) > KChangeTolerance)
            return true;
    return false;
}

bool IsShadowOn(QRgb APixel, QRgb ADesktop) {
    double low = 2;
    double high = -1;
    int darkest = 255;
    for (int c = 0; c < 3; ++c) {
        const int pixel = Channel(APixel, c);
        const int desktop = Channel(ADesktop, c);
        if (pixel > desktop + 2 || desktop == 0)
            return false;
        const double keep = static_cast<double>(pixel) / desktop;
        low = std::min(low, keep);
        high = std::max(high, keep);
        darkest = std::min(darkest, desktop);
    }
    // Each channel keeps the same share of the desktop, give or take rounding.
    return high - low <= 0.04 + 3.0 / darkest;
}

QRect ChangedRegion(const QImage& AShot, const QImage& ADesktop) {
    const QImage shot = Rgb32(AShot);
    const QImage desktop = Rgb32(ADesktop);
    if (shot.size() != desktop.size())
        return QRect();
    int left = shot.width();
    int top = shot.height();
    int right = -1;
    int bottom = -1;
    for (int y = 0; y < shot.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(desktop.constScanLine(y));
        for (int x = 0; x < shot.width(); ++x)
            if (IsChanged(a[x], b[x])) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

qsizetype ChangedOutside(const QImage& AShot, const QImage& ADesktop, const QRect& AAllowed) {
    const QImage shot = Rgb32(AShot);
    const QImage desktop = Rgb32(ADesktop);
    if (shot.size() != desktop.size())
        return shot.width() * static_cast<qsizetype>(shot.height());
    qsizetype count = 0;
    for (int y = 0; y < shot.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(desktop.constScanLine(y));
        for (int x = 0; x < shot.width(); ++x)
            if (!AAllowed.contains(x, y) && IsChanged(a[x], b[x]))
                ++count;
    }
    return count;
}

QList<QRect> SurfacesIn(const QImage& AShot, const QImage& ADesktop) {
    const QImage shot = Rgb32(AShot);
    const QImage desktop = Rgb32(ADesktop);
    QList<QRect> surfaces;
    if (shot.size() != desktop.size())
        return surfaces;
    const int w = shot.width();
    const int h = shot.height();
    // 1: a surface's pixel not yet visited, 0 otherwise.
    std::vector<uint8_t> mask(static_cast<size_t>(w) * h, 0);
    for (int y = 0; y < h; ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(desktop.constScanLine(y));
        for (int x = 0; x < w; ++x)
            mask[static_cast<size_t>(y) * w + x] =
                IsChanged(a[x], b[x]) && !IsShadowOn(a[x], b[x]) ? 1 : 0;
    }
    std::vector<int> pending;
    QList<QPair<qsizetype, QRect>> found;
    for (int start = 0; start < w * h; ++start) {
        if (mask[static_cast<size_t>(start)] == 0)
            continue;
        mask[static_cast<size_t>(start)] = 0;
        pending.assign(1, start);
        qsizetype pixels = 0;
        int left = w, top = h, right = -1, bottom = -1;
        while (!pending.empty()) {
            const int at = pending.back();
            pending.pop_back();
            ++pixels;
            const int x = at % w;
            const int y = at / w;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
            // Eight neighbours: text and thin lines join the surface they are drawn on.
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx;
                    const int ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h)
                        continue;
                    const size_t next = static_cast<size_t>(ny) * w + nx;
                    if (mask[next] != 0) {
                        mask[next] = 0;
                        pending.push_back(static_cast<int>(next));
                    }
                }
        }
        found.append({pixels, QRect(QPoint(left, top), QPoint(right, bottom))});
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& surface : found)
        surfaces.append(surface.second);
    return surfaces;
}

std::optional<QRect> FindSurface(const QImage& AShot, const QImage& ADesktop, QSize ASize) {
    for (const QRect& surface : SurfacesIn(AShot, ADesktop))
        if (std::abs(surface.width() - ASize.width()) <= 2 &&
            std::abs(surface.height() - ASize.height()) <= 2)
            return surface;
    return std::nullopt;
}

double BlackFrameShare(const QImage& AShot, const QImage& ADesktop, const QRect& AForm,
                       int AWidth) {
    const QImage shot = Rgb32(AShot);
    const QImage desktop = Rgb32(ADesktop);
    const QRect band = AForm.adjusted(-AWidth, -AWidth, AWidth, AWidth) & shot.rect();
    qsizetype looked = 0;
    qsizetype black = 0;
    for (int y = band.top(); y <= band.bottom(); ++y)
        for (int x = band.left(); x <= band.right(); ++x) {
            if (AForm.contains(x, y))
                continue;
            const QRgb under = desktop.pixel(x, y);
            if (std::max({qRed(under), qGreen(under), qBlue(under)}) <= 4 * KNearBlack)
                continue;
            ++looked;
            const QRgb pixel = shot.pixel(x, y);
            if (std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}) <= KNearBlack)
                ++black;
        }
    return looked == 0 ? 0.0 : static_cast<double>(black) / static_cast<double>(looked);
}

double MeanDifference(const QImage& A, const QImage& B) {
    const QImage a = Rgb32(A);
    const QImage b = Rgb32(B);
    if (a.size() != b.size() || a.isNull())
        return 255;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            for (int c = 0; c < 3; ++c)
                sum += std::abs(Channel(p[x], c) - Channel(q[x], c));
    }
    return sum / (3.0 * a.width() * a.height());
}

double DifferingShare(const QImage& A, const QImage& B, int ATolerance) {
    const QImage a = Rgb32(A);
    const QImage b = Rgb32(B);
    if (a.size() != b.size() || a.isNull())
        return 1;
    qsizetype differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            for (int c = 0; c < 3; ++c)
                if (std::abs(Channel(p[x], c) - Channel(q[x], c)) > ATolerance) {
                    ++differing;
                    break;
                }
    }
    return static_cast<double>(differing) / (static_cast<double>(a.width()) * a.height());
}

TEdgeSharpness EdgeSharpness(const QImage& APicture) {
    const QImage picture = Rgb32(APicture);
    const int w = picture.width();
    const int h = picture.height();
    std::vector<double> grey(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < w; ++x)
            grey[static_cast<size_t>(y) * w + x] = Grey(row[x]);
    }
    double sum = 0;
    int count = 0;
    std::vector<double> line;
    for (int y = 0; y < h; ++y) {
        line.assign(grey.begin() + static_cast<qsizetype>(y) * w,
                    grey.begin() + static_cast<qsizetype>(y + 1) * w);
        EdgesAlong(line, sum, count);
    }
    for (int x = 0; x < w; ++x) {
        line.resize(static_cast<size_t>(h));
        for (int y = 0; y < h; ++y)
            line[static_cast<size_t>(y)] = grey[static_cast<size_t>(y) * w + x];
        EdgesAlong(line, sum, count);
    }
    TEdgeSharpness result{count == 0 ? 0.0 : sum / count, count, 0.0};
    for (int offsetY = 0; offsetY < 2; ++offsetY)
        for (int offsetX = 0; offsetX < 2; ++offsetX)
            result.DoubledShare =
                std::max(result.DoubledShare, DoubledShareAt(grey, w, h, offsetX, offsetY));
    return result;
}

} // namespace velmora::testing
