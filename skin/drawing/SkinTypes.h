#pragma once

// Value types shared by the whole skin framework.

#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QtGlobal>

namespace velmora {

// 0xAARRGGBB.
using TGPColor = quint32;

// Integer rectangle by origin and size; the right edge is X + Width.
struct TGPRect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;

    bool operator==(const TGPRect&) const = default;
    QRect ToQRect() const { return QRect(X, Y, Width, Height); }
};

struct TGPRectF {
    float X = 0;
    float Y = 0;
    float Width = 0;
    float Height = 0;

    bool operator==(const TGPRectF&) const = default;
    QRectF ToQRectF() const { return QRectF(X, Y, Width, Height); }
};

struct TGPPointF {
    float X = 0;
    float Y = 0;

    bool operator==(const TGPPointF&) const = default;
};

// Rectangle by its edges; Right and Bottom are exclusive.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    bool operator==(const TRect&) const = default;
};

constexpr TRect MakeRectBySize(int ALeft, int ATop, int AWidth, int AHeight) {
    return TRect{ALeft, ATop, ALeft + AWidth, ATop + AHeight};
}

// How the centre of a nine-slice picture fills its area.
enum TStretchMode : int {
    smStretchBoth = 0,
    smTileVert = 1,
    smTileHorz = 2,
    smTileBoth = 3,
    smAvgColor = 4,
};

// A control's font as the framework keeps it: family, size, style bits (bold 1, italic 2,
// underline 4, strike-out 8) and a framework colour (0x00BBGGRR or a system colour index).
struct TFrameworkFont {
    QString Name;
    int Size = 9;
    int Style = 0;
    quint32 Color = 0;
};

} // namespace velmora
