#include "skin/drawing/GDIBIGIMGPro.h"

namespace velmora {

TGDIBIGIMGPro::TGDIBIGIMGPro() {
    const QSize screen = SkinScreenSize();
    FMaxDrawWidth = screen.width();
    FMaxDrawHeight = screen.height();
}

void TGDIBIGIMGPro::SetBuildBufferImageStyle(TBuildBufferImageStyle Value) {
    if (FBuildBufferImageStyle == Value)
        return;
    FBuildBufferImageStyle = Value;
    FMarginChanged = true; // pieces change kind
}

void TGDIBIGIMGPro::PiecesStale(bool clipChanged) {
    if (clipChanged)
        FClipMarginChanged = true;
    else
        FMarginChanged = true;
}

void TGDIBIGIMGPro::ForgetLastBuild() {
    FLastDrawWidth = 0;
    FLastDrawHeight = 0;
    FPartWidth = 0;
    FPartHeight = 0;
    FPieces.Clear();
    FBufferBitmap = QImage();
    FClipMarginChanged = true;
    FMarginChanged = true;
}

const QImage* TGDIBIGIMGPro::BuiltPicture() const {
    if (FBuildBufferImageStyle == bbisBitmap)
        return FBufferBitmap.isNull() ? nullptr : &FBufferBitmap;
    return TGDIIMGSliced::BuiltPicture();
}

void TGDIBIGIMGPro::Build() {
    const int W = Width();
    const int H = Height();
    if (!FImage || W <= 0 || H <= 0)
        return;
    const bool imageChanged = ImageChanged();
    const QSize screen = CurrentScreenSize();
    const bool screenChanged = FLastScreen.isValid() && screen != FLastScreen;
    if (FBuilded && !imageChanged && !screenChanged && !FMarginChanged && !FClipMarginChanged &&
        W == FLastDrawWidth && H == FLastDrawHeight && W <= FMaxDrawWidth && H <= FMaxDrawHeight)
        return;
    BuildBuffer(imageChanged, screenChanged);
    FLastImage = FImage;
    FLastDrawWidth = W;
    FLastDrawHeight = H;
    FLastScreen = screen;
}

void TGDIBIGIMGPro::BuildBuffer(bool imageChanged, bool screenChanged) {
    const int W = Width();
    const int H = Height();
    try {
        if (screenChanged) {
            const QSize screen = CurrentScreenSize();
            FMaxDrawWidth = std::max(FMaxDrawWidth, screen.width());
            FMaxDrawHeight = std::max(FMaxDrawHeight, screen.height());
        }
        FMaxDrawWidth = std::max(FMaxDrawWidth, W);
        FMaxDrawHeight = std::max(FMaxDrawHeight, H);
        bool recut = FMarginChanged || imageChanged || screenChanged ||
                     FPartWidth != FMaxDrawWidth || FPartHeight != FMaxDrawHeight;
        if (FClipMarginChanged || imageChanged || !FClipImage) {
            FClipImage = MakeClipImage();
            FClipMarginChanged = false;
            recut = true;
        }
        const bool device = FBuildBufferImageStyle == bbisBitmap;
        if (recut) {
            FPartWidth = FMaxDrawWidth;
            FPartHeight = FMaxDrawHeight;
            // The centre is stretched into each window size when composed, so the tile itself
            // is kept rather than a screen-sized copy that composing would only crop.
            FPieces.Cut(ClipSource(), FPartWidth, FPartHeight, FMargins, FStrecthMode,
                        QImage::Format_ARGB32_Premultiplied, FailureSink(),
                        FStrecthMode == smStretchBoth);
            FMarginChanged = false;
            ++FPieceCutCount;
        }
        if (recut || imageChanged || W != FLastDrawWidth || H != FLastDrawHeight) {
            // Both styles keep premultiplied pixels so that composing never converts; the
            // device style replaces pixels with copies, the other blends.
            if (!IsAllocatableSize(W, H))
                throw std::bad_alloc();
            QImage buffer = NewDeviceImage(QSize(W, H), FDeviceRatio);
            if (buffer.isNull())
                throw std::bad_alloc();
            FPieces.Compose(buffer, FMargins, device, FStrecthMode == smStretchBoth, FailureSink());
            if (device) {
                FBufferBitmap = buffer;
                FBufferGPBitmap.reset();
            } else {
                FBufferGPBitmap = std::make_shared<TGPBitmap>(std::move(buffer));
                FBufferBitmap = QImage();
            }
            ++FComposeCount;
        }
        FBuilded = true;
    } catch (const std::exception& error) {
        LogFailure(&error, QStringLiteral("BuildBuffer"));
    }
}

} // namespace velmora
