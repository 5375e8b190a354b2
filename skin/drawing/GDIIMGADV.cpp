#include "skin/drawing/GDIIMGADV.h"

namespace velmora {

void TGDIIMGADV::PiecesStale(bool clipChanged) {
    if (clipChanged)
        FClipMarginChanged = true;
    else
        FMarginChanged = true;
}

void TGDIIMGADV::ForgetLastBuild() {
    FLastDrawWidth = 0;
    FLastDrawHeight = 0;
    FLastPartWidth = 0;
    FLastPartHeight = 0;
    FPieces.Clear();
    FClipMarginChanged = true;
    FMarginChanged = true;
}

void TGDIIMGADV::Build() {
    const int W = Width();
    const int H = Height();
    if (!FImage || W <= 0 || H <= 0)
        return;
    const bool imageChanged = ImageChanged();
    if (FBuilded && !imageChanged && !FMarginChanged && !FClipMarginChanged &&
        W == FLastDrawWidth && H == FLastDrawHeight && FLastPartWidth >= W && FLastPartHeight >= H)
        return;
    BuildBuffer(imageChanged);
    FLastImage = FImage;
    FLastDrawWidth = W;
    FLastDrawHeight = H;
}

void TGDIIMGADV::BuildBuffer(bool imageChanged) {
    const int W = Width();
    const int H = Height();
    try {
        bool recut = FMarginChanged || imageChanged || FLastPartWidth < W || FLastPartHeight < H;
        if (FClipMarginChanged || imageChanged || !FClipImage) {
            FClipImage = MakeClipImage();
            FClipMarginChanged = false;
            recut = true; // pieces come from the cropped picture
        }
        if (recut) {
            FLastPartWidth = std::max(FLastPartWidth, W);
            FLastPartHeight = std::max(FLastPartHeight, H);
            FPieces.Cut(ClipSource(), FLastPartWidth, FLastPartHeight, FMargins, FStrecthMode,
                        QImage::Format_ARGB32_Premultiplied, FailureSink(),
                        /*keepCentreTile=*/true);
            FMarginChanged = false;
            ++FPieceCutCount;
        }
        if (recut || imageChanged || W != FLastDrawWidth || H != FLastDrawHeight ||
            !FBufferGPBitmap) {
            // Pieces and buffer are kept premultiplied: composing is then plain blending
            // without per-pixel format conversion. Pixels still read back straight.
            if (!IsAllocatableSize(W, H))
                throw std::bad_alloc();
            QImage composed = NewDeviceImage(QSize(W, H), FDeviceRatio);
            if (composed.isNull())
                throw std::bad_alloc();
            IGPBitmap buffer = std::make_shared<TGPBitmap>(std::move(composed));
            FPieces.Compose(buffer->Image(), FMargins, false, FStrecthMode == smStretchBoth,
                            FailureSink());
            FBufferGPBitmap = buffer;
            ++FComposeCount;
        }
        FBuilded = true;
    } catch (const std::exception& error) {
        LogFailure(&error, QStringLiteral("BuildBuffer"));
    }
}

} // namespace velmora
