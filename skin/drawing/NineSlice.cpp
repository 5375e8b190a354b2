#include "skin/drawing/NineSlice.h"

namespace velmora {

std::array<TSlicePiece, 9> NineSlicePieces(int bw, int bh, const QRect& dest, int L, int T, int Rm,
                                           int Bm) {
    const int X = dest.x();
    const int Y = dest.y();
    const int W = dest.width();
    const int H = dest.height();
    const int R = X + W;
    const int B = Y + H;
    return {{
        {QRect(X, Y, L, T), QRect(0, 0, L, T)},
        {QRect(R - Rm, Y, Rm, T), QRect(bw - Rm, 0, Rm, T)},
        {QRect(X, B - Bm, L, Bm), QRect(0, bh - Bm, L, Bm)},
        {QRect(R - Rm, B - Bm, Rm, Bm), QRect(bw - Rm, bh - Bm, Rm, Bm)},
        {QRect(X + L, Y, W - L - Rm, T), QRect(L, 0, bw - L - Rm, T)},
        {QRect(X + L, B - Bm, W - L - Rm, Bm), QRect(L, bh - Bm, bw - L - Rm, Bm)},
        {QRect(X, Y + T, L, H - T - Bm), QRect(0, T, L, bh - T - Bm)},
        {QRect(R - Rm, Y + T, Rm, H - T - Bm), QRect(bw - Rm, T, Rm, bh - T - Bm)},
        {QRect(X + L, Y + T, W - L - Rm, H - T - Bm), QRect(L, T, bw - L - Rm, bh - T - Bm)},
    }};
}

bool IsDrawablePiece(const TSlicePiece& piece, int bitmapWidth, int bitmapHeight) {
    if (piece.Dest.width() <= 0 || piece.Dest.height() <= 0 || piece.Source.width() <= 0 ||
        piece.Source.height() <= 0)
        return false;
    return QRect(0, 0, bitmapWidth, bitmapHeight).contains(piece.Source);
}

} // namespace velmora
