#pragma once

#include "platform/system/Errors.h"
#include "skin/drawing/GDIIMG.h"
#include "skin/drawing/NinePieces.h"

#include <QSize>
#include <memory>

namespace velmora {

VELMORA_DECLARE_ERROR(ESkinImageError, EVelmoraError);

// What the three nine-slice image elements share: stretch mode, margins, clip margins, the
// cropped source and the built buffer. Build makes the buffer valid for the current image and
// size; Draw builds and draws the buffer unscaled at the origin.
class TGDIIMGSliced : public TGDIIMG {
public:
    TGDIIMGSliced() = default;

    bool Builded() const { return FBuilded; }
    TStretchMode StrecthMode() const { return FStrecthMode; }
    void SetStrecthMode(TStretchMode Value);

    int LeftMargin() const { return FMargins.Left; }
    int TopMargin() const { return FMargins.Top; }
    int RightMargin() const { return FMargins.Right; }
    int BottomMargin() const { return FMargins.Bottom; }
    const TSliceMargins& Margin() const { return FMargins; }
    void SetMargin(int ALeftMargin, int ATopMargin, int ARightMargin, int ABottomMargin);
    void SetLeftMargin(int Value) {
        SetMargin(Value, FMargins.Top, FMargins.Right, FMargins.Bottom);
    }
    void SetTopMargin(int Value) {
        SetMargin(FMargins.Left, Value, FMargins.Right, FMargins.Bottom);
    }
    void SetRightMargin(int Value) {
        SetMargin(FMargins.Left, FMargins.Top, Value, FMargins.Bottom);
    }
    void SetBottomMargin(int Value) {
        SetMargin(FMargins.Left, FMargins.Top, FMargins.Right, Value);
    }

    int ClipLeftMargin() const { return FClip.Left; }
    int ClipTopMargin() const { return FClip.Top; }
    int ClipRightMargin() const { return FClip.Right; }
    int ClipBottomMargin() const { return FClip.Bottom; }
    const TSliceMargins& ClipMargin() const { return FClip; }
    void SetClipMargin(int AClipLeftMargin, int AClipTopMargin, int AClipRightMargin,
                       int AClipBottomMargin);

    const IGPBitmap& BufferGPBitmap() const { return FBufferGPBitmap; }

    // Device pixels per logical pixel of the surface the buffer is drawn on: the buffer is
    // built at that ratio from the picture's variant that fits it, while sizes and margins
    // stay logical. Draw takes it from its surface; a new ratio rebuilds.
    qreal DeviceRatio() const { return FDeviceRatio; }
    void SetDeviceRatio(qreal Value);

    virtual void Build() = 0;
    void UnBuild();
    void SetImage(const IGPBitmap& Value) override;
    void SuitImageSize() override;
    // Encodes the built buffer as PNG; false (and a log entry) when that fails.
    bool SaveToFile(const QString& AFileName);
    void Draw(TGPGraphics& Graphics, int AOriginX, int AOriginY) override;

    static TGPColor GetAverageGPColor(const IGPBitmap& AImage, int AStartX, int AStepY, int AStepX,
                                      int AHeight, int AWidth, int AStartY);

    // How often the cropped source, the pieces and the buffer were made: what a cache saves.
    int CropCount() const { return FCropCount; }
    int PieceCutCount() const { return FPieceCutCount; }
    int ComposeCount() const { return FComposeCount; }

protected:
    // The margins, clip margins or stretch mode changed: the next Build must redo its work.
    virtual void PiecesStale(bool clipChanged) = 0;
    virtual void ForgetLastBuild() = 0;
    // The picture Draw and SaveToFile use.
    virtual const QImage* BuiltPicture() const;
    bool ImageChanged() const { return FLastImage.lock() != FImage; }
    // Crops the source by the clip margins (the source itself when none are set), its
    // variants alike.
    IGPBitmap MakeClipImage();
    // The cropped picture to cut and fill from at the device ratio.
    const QImage& ClipSource() const { return FClipImage->ImageFor(FDeviceRatio); }
    TNinePieces::TFailure FailureSink() const;

    bool FBuilded = false;
    TStretchMode FStrecthMode = smStretchBoth;
    TSliceMargins FMargins;
    TSliceMargins FClip;
    IGPBitmap FBufferGPBitmap;
    IGPBitmap FClipImage;
    std::weak_ptr<TGPBitmap> FLastImage;
    qreal FDeviceRatio = 1;
    int FCropCount = 0;
    int FPieceCutCount = 0;
    int FComposeCount = 0;
};

// The screen size the elements size their caches by.
QSize SkinScreenSize();

} // namespace velmora
