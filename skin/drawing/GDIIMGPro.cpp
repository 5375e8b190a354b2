#include "skin/drawing/GDIIMGPro.h"

#include "skin/drawing/NineSlice.h"
#include "skin/drawing/StretchFill.h"

namespace velmora {

TGDIIMGPro::TGDIIMGPro() {
    const QSize screen = SkinScreenSize();
    FMaxDrawWidth = screen.width();
    FMaxDrawHeight = screen.height();
}

void TGDIIMGPro::ForgetLastBuild() {
    FLastDrawWidth = 0;
    FLastDrawHeight = 0;
    FShown = QImage();
}

void TGDIIMGPro::Build() {
    const int W = Width();
    const int H = Height();
    if (!FImage || W <= 0 || H <= 0)
        return;
    const bool imageChanged = ImageChanged();
    if (!FStale && W == FLastDrawWidth && H == FLastDrawHeight && !imageChanged)
        return;
    if (FStale || FStrecthMode == smStretchBoth || imageChanged || W > FMaxDrawWidth ||
        H > FMaxDrawHeight)
        BuildBuffer();
    FLastImage = FImage;
    FLastDrawWidth = W;
    FLastDrawHeight = H;
    if (FBufferGPBitmap && FStrecthMode != smStretchBoth)
        FShown = CopyLogical(FBufferGPBitmap->Image(), QRect(0, 0, W, H));
}

void TGDIIMGPro::BuildBuffer() {
    const int W = Width();
    const int H = Height();
    try {
        FBuilded = false;
        FStale = false;
        FMaxDrawWidth = std::max(FMaxDrawWidth, W);
        FMaxDrawHeight = std::max(FMaxDrawHeight, H);
        const bool stretch = FStrecthMode == smStretchBoth;
        IGPBitmap buffer = stretch ? NewGPBitmap(W, H, FDeviceRatio)
                                   : NewGPBitmap(FMaxDrawWidth, FMaxDrawHeight, FDeviceRatio);
        if (!buffer)
            throw std::bad_alloc();
        FClipImage = MakeClipImage();
        const QImage& cropped = ClipSource();
        const int L = FMargins.Left, T = FMargins.Top, R = FMargins.Right, B = FMargins.Bottom;
        TGPGraphics graphics(*buffer);
        if (!FMargins.IsZero()) {
            const QSize size = LogicalSize(cropped);
            const auto pieces =
                NineSlicePieces(size.width(), size.height(), QRect(0, 0, W, H), L, T, R, B);
            // Corners, then top, bottom, right and left sides.
            for (const int index : {0, 1, 2, 3, 4, 5, 7, 6}) {
                if (IsDrawablePiece(pieces[index], size.width(), size.height()))
                    graphics.DrawImage(cropped, QRectF(pieces[index].Dest),
                                       QRectF(pieces[index].Source));
            }
        }
        const QSize area = stretch ? QSize(W, H) : QSize(FMaxDrawWidth, FMaxDrawHeight);
        const QSize size = LogicalSize(cropped);
        FillCentre(graphics, cropped, QRect(L, T, size.width() - L - R, size.height() - T - B),
                   QRect(L, T, area.width() - L - R, area.height() - T - B), FStrecthMode);
        FBufferGPBitmap = buffer;
        FBuilded = true;
        ++FComposeCount;
        ++FPieceCutCount;
    } catch (const std::exception& error) {
        LogFailure(&error, QStringLiteral("BuildBuffer"));
    }
}

const QImage* TGDIIMGPro::BuiltPicture() const {
    if (FStrecthMode != smStretchBoth && !FShown.isNull())
        return &FShown;
    return TGDIIMGSliced::BuiltPicture();
}

} // namespace velmora
