#include "skin/drawing/NinePieces.h"

#include "platform/graphics/GPGraphics.h"
#include "skin/drawing/StretchFill.h"

#include <utility>

namespace velmora {
namespace {

// Pieces keep the ratio of the picture they are cut from (all sizes below are logical), so a
// picture with more pixels per logical pixel yields pieces just as sharp.
QImage Blank(int width, int height, QImage::Format format, qreal ratio = 1) {
    if (width <= 0 || height <= 0)
        return {};
    const QSize pixels = DeviceSizeFor(QSize(width, height), ratio);
    if (!IsAllocatableSize(pixels.width(), pixels.height()))
        throw std::bad_alloc();
    QImage image = NewDeviceImage(QSize(width, height), ratio, format);
    if (image.isNull())
        throw std::bad_alloc();
    return image;
}

// A corner is a plain copy of its block; blocks off the picture are left empty.
QImage Block(const QImage& cropped, const QRect& rect, QImage::Format format) {
    if (rect.width() <= 0 || rect.height() <= 0 || !LogicalRect(cropped).contains(rect))
        return {};
    return CopyLogical(cropped, rect).convertToFormat(format);
}

QImage Stretched(const QImage& cropped, const QRect& source, int width, int height,
                 QImage::Format format) {
    const qreal ratio = cropped.devicePixelRatio();
    QImage piece = Blank(width, height, format, ratio);
    if (piece.isNull() || source.width() <= 0 || source.height() <= 0 ||
        !LogicalRect(cropped).contains(source))
        return {};
    TGPGraphics graphics(piece);
    QImage scaled = CopyLogical(cropped, source)
                        .scaled(piece.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(ratio);
    graphics.CopyRect(scaled, QRect(0, 0, width, height), QPoint(0, 0));
    return piece;
}

template <typename Step>
void Guarded(const TNinePieces::TFailure& onFailure, const char* tag, Step step) {
    try {
        step();
    } catch (const std::exception& error) {
        if (onFailure)
            onFailure(error, QString::fromLatin1(tag));
    }
}

} // namespace

void TNinePieces::Clear() {
    *this = TNinePieces();
}

void TNinePieces::Cut(const QImage& cropped, int pw, int ph, const TSliceMargins& m,
                      TStretchMode mode, QImage::Format format, const TFailure& onFailure,
                      bool keepCentreTile) {
    Clear();
    const int cw = LogicalSize(cropped).width();
    const int ch = LogicalSize(cropped).height();
    const int L = m.Left, T = m.Top, R = m.Right, B = m.Bottom;
    Guarded(onFailure, "DrawLeftTopBlock", [&] { LeftTop = Block(cropped, {0, 0, L, T}, format); });
    Guarded(onFailure, "DrawRightTopBlock", [&] {
        RightTop = Block(cropped, {cw - R, 0, R, T}, format);
    });
    Guarded(onFailure, "DrawLeftBottomBlock", [&] {
        LeftBottom = Block(cropped, {0, ch - B, L, B}, format);
    });
    Guarded(onFailure, "DrawRightBottomBlock", [&] {
        RightBottom = Block(cropped, {cw - R, ch - B, R, B}, format);
    });
    Guarded(onFailure, "DrawTopSide", [&] {
        TopSide = Stretched(cropped, {L, 0, cw - L - R, T}, pw - L - R, T, format);
    });
    Guarded(onFailure, "DrawBottomSide", [&] {
        BottomSide = Stretched(cropped, {L, ch - B, cw - L - R, B}, pw - L - R, B, format);
    });
    Guarded(onFailure, "DrawLeftSide", [&] {
        LeftSide = Stretched(cropped, {0, T, L, ch - T - B}, L, ph - T - B, format);
    });
    Guarded(onFailure, "DrawRightSide", [&] {
        RightSide = Stretched(cropped, {cw - R, T, R, ch - T - B}, R, ph - T - B, format);
    });
    Guarded(onFailure, "DrawImage", [&] {
        if (mode == smStretchBoth) {
            // When composing stretches the centre anyway, keeping the tile itself avoids
            // scaling a part-sized copy a second time, which costs time and blurs.
            Center = keepCentreTile ? Block(cropped, {L, T, cw - L - R, ch - T - B}, format)
                                    : Stretched(cropped, {L, T, cw - L - R, ch - T - B}, pw - L - R,
                                                ph - T - B, format);
            return;
        }
        // The fill works on straight pixels (the fade changes alpha alone), so the blank
        // centre is made in that format at once: a blank of the pieces' format converted over
        // is the same transparent picture, at the cost of one more part-sized buffer.
        QImage fill =
            Blank(pw - L - R, ph - T - B, QImage::Format_ARGB32, cropped.devicePixelRatio());
        if (fill.isNull())
            return;
        {
            TGPGraphics graphics(fill);
            FillCentre(graphics, cropped.convertToFormat(QImage::Format_ARGB32),
                       QRect(L, T, cw - L - R, ch - T - B), LogicalRect(fill), mode);
        }
        // Converted in place: the fill is not needed in its own format afterwards.
        Center = std::move(fill).convertToFormat(format);
    });
}

void TNinePieces::Compose(QImage& buffer, const TSliceMargins& m, bool copy, bool stretchCentre,
                          const TFailure& onFailure) const {
    const int W = LogicalSize(buffer).width();
    const int H = LogicalSize(buffer).height();
    const int L = m.Left, T = m.Top, R = m.Right, B = m.Bottom;
    TGPGraphics graphics(buffer);
    // The top-left part of piece, of the given size, at (x, y).
    auto put = [&](const QImage& piece, int x, int y, int w, int h) {
        if (piece.isNull() || w <= 0 || h <= 0)
            return;
        const QRect source = QRect(0, 0, w, h).intersected(LogicalRect(piece));
        if (copy)
            graphics.CopyRect(piece, source, QPoint(x, y));
        else
            graphics.DrawImage(piece, QRectF(QPointF(x, y), QSizeF(source.size())), QRectF(source));
    };
    Guarded(onFailure, "DrawLeftTopBlock", [&] { put(LeftTop, 0, 0, L, T); });
    Guarded(onFailure, "DrawRightTopBlock", [&] { put(RightTop, W - R, 0, R, T); });
    Guarded(onFailure, "DrawLeftBottomBlock", [&] { put(LeftBottom, 0, H - B, L, B); });
    Guarded(onFailure, "DrawRightBottomBlock", [&] { put(RightBottom, W - R, H - B, R, B); });
    Guarded(onFailure, "DrawTopSide", [&] { put(TopSide, L, 0, W - L - R, T); });
    Guarded(onFailure, "DrawBottomSide", [&] { put(BottomSide, L, H - B, W - L - R, B); });
    Guarded(onFailure, "DrawLeftSide", [&] { put(LeftSide, 0, T, L, H - T - B); });
    Guarded(onFailure, "DrawRightSide", [&] { put(RightSide, W - R, T, R, H - T - B); });
    Guarded(onFailure, "DrawImage", [&] {
        if (stretchCentre) {
            if (!Center.isNull() && W - L - R > 0 && H - T - B > 0)
                graphics.DrawImage(Center, QRectF(L, T, W - L - R, H - T - B));
        } else {
            put(Center, L, T, W - L - R, H - T - B);
        }
    });
}

} // namespace velmora
