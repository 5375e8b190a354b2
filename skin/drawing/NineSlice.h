#pragma once

#include <QRect>
#include <array>

namespace velmora {

struct TSlicePiece {
    QRect Dest;
    QRect Source;
};

// The nine pieces of a nine-slice drawing of a bitmapWidth x bitmapHeight picture into dest
// with margins left, top, right, bottom, in drawing order: four corners (top-left,
// top-right, bottom-left, bottom-right), top, bottom, left and right edges, centre.
std::array<TSlicePiece, 9> NineSlicePieces(int bitmapWidth, int bitmapHeight, const QRect& dest,
                                           int left, int top, int right, int bottom);

// A piece is drawn only when both rectangles have area and the source lies on the picture;
// margins larger than the picture leave those pieces out instead of reading beyond it.
bool IsDrawablePiece(const TSlicePiece& piece, int bitmapWidth, int bitmapHeight);

} // namespace velmora
