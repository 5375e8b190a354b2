#pragma once

#include "skin/drawing/SkinTypes.h"

#include <QImage>
#include <QString>
#include <exception>
#include <functional>

namespace velmora {

struct TSliceMargins {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    bool operator==(const TSliceMargins&) const = default;
    bool IsZero() const { return Left == 0 && Top == 0 && Right == 0 && Bottom == 0; }
};

// The nine pieces of a picture cut for a part size: corners at their margin sizes, edges
// stretched to the part's length, the centre filled by the stretch mode. Composing a smaller
// size then only crops the pieces, which is what makes resizing cheap.
class TNinePieces {
public:
    using TFailure = std::function<void(const std::exception& error, const QString& tag)>;

    // format: straight ARGB for drawing-surface pieces, premultiplied for device pieces.
    // In stretch mode, keepCentreTile keeps the unscaled centre for a caller that stretches it
    // while composing; otherwise the centre is stretched to the part size here, like the sides.
    void Cut(const QImage& cropped, int partWidth, int partHeight, const TSliceMargins& margins,
             TStretchMode mode, QImage::Format format, const TFailure& onFailure,
             bool keepCentreTile = false);
    // Composes width x height into buffer (already that size and cleared). With copy the
    // pieces replace pixels (rectangle copies), otherwise they are drawn; with stretchCentre
    // the whole centre piece is scaled into the centre, otherwise its top-left is cropped.
    void Compose(QImage& buffer, const TSliceMargins& margins, bool copy, bool stretchCentre,
                 const TFailure& onFailure) const;
    void Clear();

    QImage LeftTop, RightTop, LeftBottom, RightBottom, Center, TopSide, BottomSide, LeftSide,
        RightSide;
};

} // namespace velmora
