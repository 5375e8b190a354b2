#include "skin/drawing/GDIIMGSliced.h"

#include "skin/drawing/StretchFill.h"

#include <QGuiApplication>
#include <QImageWriter>
#include <QScreen>

namespace velmora {

QSize SkinScreenSize() {
    const QScreen* screen = qGuiApp != nullptr ? QGuiApplication::primaryScreen() : nullptr;
    return screen != nullptr ? screen->size() : QSize(1024, 768);
}

void TGDIIMGSliced::SetStrecthMode(TStretchMode Value) {
    if (FStrecthMode == Value)
        return;
    FStrecthMode = Value;
    PiecesStale(false);
}

void TGDIIMGSliced::SetMargin(int ALeftMargin, int ATopMargin, int ARightMargin,
                              int ABottomMargin) {
    const TSliceMargins value{ALeftMargin, ATopMargin, ARightMargin, ABottomMargin};
    if (FMargins == value)
        return;
    FMargins = value;
    PiecesStale(false);
}

void TGDIIMGSliced::SetClipMargin(int AClipLeftMargin, int AClipTopMargin, int AClipRightMargin,
                                  int AClipBottomMargin) {
    const TSliceMargins value{AClipLeftMargin, AClipTopMargin, AClipRightMargin, AClipBottomMargin};
    if (FClip == value)
        return;
    FClip = value;
    PiecesStale(true);
}

void TGDIIMGSliced::SetDeviceRatio(qreal Value) {
    const qreal ratio = SurfaceRatio(Value);
    if (SameRatio(FDeviceRatio, ratio))
        return;
    FDeviceRatio = ratio;
    // The pieces come from another rendering of the picture and the buffer has other pixels.
    PiecesStale(false);
}

void TGDIIMGSliced::UnBuild() {
    if (!FBuilded)
        return;
    try {
        ForgetLastBuild();
        FBufferGPBitmap.reset();
        FClipImage.reset();
        FLastImage.reset();
        FBuilded = false;
    } catch (const std::exception& error) {
        LogFailure(&error, QStringLiteral("SetImage"));
    }
}

void TGDIIMGSliced::SetImage(const IGPBitmap& Value) {
    TGDIIMG::SetImage(Value);
    if (!Value)
        UnBuild();
}

void TGDIIMGSliced::SuitImageSize() {
    if (!FImage)
        return;
    SetWidth(FImage->Width() - FClip.Left - FClip.Right);
    SetHeight(FImage->Height() - FClip.Top - FClip.Bottom);
}

IGPBitmap TGDIIMGSliced::MakeClipImage() {
    ++FCropCount;
    if (FClip.IsZero())
        return FImage;
    const QRect region(FClip.Left, FClip.Top, FImage->Width() - FClip.Left - FClip.Right,
                       FImage->Height() - FClip.Top - FClip.Bottom);
    if (region.width() <= 0 || region.height() <= 0 || FClip.Left < 0 || FClip.Top < 0)
        throw ESkinImageError(QStringLiteral("clip margins leave no picture"));
    IGPBitmap cropped = NewGPBitmap(region.width(), region.height());
    {
        TGPGraphics graphics(*cropped);
        graphics.DrawImage(*FImage, QRectF(0, 0, region.width(), region.height()), QRectF(region));
    }
    CropVariants(*FImage, region, *cropped);
    return cropped;
}

TNinePieces::TFailure TGDIIMGSliced::FailureSink() const {
    return [this](const std::exception& error, const QString& tag) { LogFailure(&error, tag); };
}

const QImage* TGDIIMGSliced::BuiltPicture() const {
    return FBufferGPBitmap ? &FBufferGPBitmap->Image() : nullptr;
}

bool TGDIIMGSliced::SaveToFile(const QString& AFileName) {
    try {
        const QImage* picture = BuiltPicture();
        if (picture == nullptr || picture->isNull())
            throw ESkinImageError(QStringLiteral("nothing has been built"));
        QImageWriter writer(AFileName, "png");
        if (!writer.write(*picture))
            throw ESkinImageError(writer.errorString());
        return true;
    } catch (const std::exception& error) {
        LogFailure(&error, QStringLiteral("SaveToFile"));
    }
    return false;
}

void TGDIIMGSliced::Draw(TGPGraphics& Graphics, int AOriginX, int AOriginY) {
    try {
        SetDeviceRatio(Graphics.Ratio());
        Build();
        const QImage* picture = BuiltPicture();
        if (FBuilded && picture != nullptr)
            Graphics.DrawImage(*picture, AOriginX, AOriginY);
    } catch (const std::exception& error) {
        LogFailure(&error, QStringLiteral("DrawImage"));
    }
}

TGPColor TGDIIMGSliced::GetAverageGPColor(const IGPBitmap& AImage, int AStartX, int AStepY,
                                          int AStepX, int AHeight, int AWidth, int AStartY) {
    if (!AImage)
        return 0;
    return AverageColor(AImage->Image(), AStartX, AStepY, AStepX, AHeight, AWidth, AStartY);
}

} // namespace velmora
