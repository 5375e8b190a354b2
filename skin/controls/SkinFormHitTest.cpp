#include "skin/controls/SkinFormHitTest.h"

#include <algorithm>
#include <cmath>

namespace velmora {

bool IsResizableBorderStyle(TFormBorderStyle style) {
    return style != bsSingle && style != bsDialog && style != bsToolWindow;
}

int SkinFormHitTest(int x, int y, int CW, int CH, TFormBorderStyle style) {
    if (style == bsNone || !IsResizableBorderStyle(style))
        return HTCLIENT;
    constexpr int corner = 8;
    constexpr int edge = 4;
    const bool left = x >= 0 && x <= corner;
    const bool right = x >= CW - corner && x <= CW;
    const bool top = y >= 0 && y <= corner;
    const bool bottom = y >= CH - corner && y <= CH;
    if (left && top)
        return HTTOPLEFT;
    if (right && top)
        return HTTOPRIGHT;
    if (left && bottom)
        return HTBOTTOMLEFT;
    if (right && bottom)
        return HTBOTTOMRIGHT;
    if (x >= 0 && x <= edge)
        return HTLEFT;
    if (y >= 0 && y <= edge)
        return HTTOP;
    if (x >= CW - edge && x <= CW)
        return HTRIGHT;
    if (y >= CH - edge && y <= CH)
        return HTBOTTOM;
    return HTCLIENT;
}

Qt::Edges EdgesOfHitTest(int code) {
    switch (code) {
    case HTLEFT:
        return Qt::LeftEdge;
    case HTRIGHT:
        return Qt::RightEdge;
    case HTTOP:
        return Qt::TopEdge;
    case HTBOTTOM:
        return Qt::BottomEdge;
    case HTTOPLEFT:
        return Qt::TopEdge | Qt::LeftEdge;
    case HTTOPRIGHT:
        return Qt::TopEdge | Qt::RightEdge;
    case HTBOTTOMLEFT:
        return Qt::BottomEdge | Qt::LeftEdge;
    case HTBOTTOMRIGHT:
        return Qt::BottomEdge | Qt::RightEdge;
    default:
        return {};
    }
}

Qt::CursorShape CursorOfHitTest(int code) {
    switch (code) {
    case HTLEFT:
    case HTRIGHT:
        return Qt::SizeHorCursor;
    case HTTOP:
    case HTBOTTOM:
        return Qt::SizeVerCursor;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        return Qt::SizeFDiagCursor;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        return Qt::SizeBDiagCursor;
    default:
        return Qt::ArrowCursor;
    }
}

QRegion RoundRectRegion(int width, int height, int ellipse) {
    if (width <= 0 || height <= 0)
        return {};
    const int radius = std::min({ellipse / 2, width / 2, height / 2});
    QRegion region(radius, 0, width - 2 * radius, height);
    region += QRegion(0, radius, width, height - 2 * radius);
    // Each corner row is cut where the pixel's centre falls outside the ellipse.
    for (int row = 0; row < radius; ++row) {
        const double dy = radius - row - 0.5;
        const double span = std::sqrt(double(radius) * radius - dy * dy);
        const int inset = int(std::lround(radius - span + 0.5));
        const int w = width - 2 * inset;
        if (w <= 0)
            continue;
        region += QRegion(inset, row, w, 1);
        region += QRegion(inset, height - 1 - row, w, 1);
    }
    return region;
}

} // namespace velmora
