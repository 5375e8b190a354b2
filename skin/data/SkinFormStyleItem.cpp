#include "skin/data/SkinFormStyleItem.h"

#include "platform/graphics/GPGraphics.h"
#include "skin/data/SkinMng.h"
#include "skin/drawing/SkinEngineLog.h"

namespace velmora {
namespace {

template <typename Step> void LoggedStep(const QString& ATag, Step AStep) {
    try {
        AStep();
    } catch (const std::exception& error) {
        LogSkinFailure(TSufferBackGroundItem::ClassName(), nullptr, &error, ATag);
    }
}

} // namespace

TSufferBackGroundItem::TSufferBackGroundItem()
    : FSufferTextureGdiImage(std::make_unique<TGDIBIGIMGPro>()),
      FBackgroundGdiImage(std::make_unique<TGDIBIGIMGPro>()) {
    FSufferTextureGdiImage->SetStrecthMode(smStretchBoth);
    FBackgroundGdiImage->SetBuildBufferImageStyle(bbisBitmap);
    FBackgroundGdiImage->SetStretch(false);
    FBackgroundGdiImage->SetStrecthMode(smAvgColor);
}

TSufferBackGroundItem::~TSufferBackGroundItem() = default;

void TSufferBackGroundItem::SetImage(const IGPBitmap& AValue) {
    if (FImage == AValue)
        return;
    FImage = AValue;
    FSufferTextureGdiImage->SetImage(AValue);
}

void TSufferBackGroundItem::SetMargin(const TMargin& AValue) {
    if (FMargin == AValue)
        return;
    FMargin = AValue;
    FSufferTextureGdiImage->SetMargin(AValue.LeftMargin, AValue.TopMargin, AValue.RightMargin,
                                      AValue.BottomMargin);
}

void TSufferBackGroundItem::SetClipMargin(const TMargin& AValue) {
    if (FClipMargin == AValue)
        return;
    FClipMargin = AValue;
    FSufferTextureGdiImage->SetClipMargin(AValue.LeftMargin, AValue.TopMargin, AValue.RightMargin,
                                          AValue.BottomMargin);
}

void TSufferBackGroundItem::SetStretchMode(TStretchMode AValue) {
    if (FStretchMode == AValue)
        return;
    FStretchMode = AValue;
    FSufferTextureGdiImage->SetStrecthMode(AValue);
}

void TSufferBackGroundItem::SetTextureGdiImage(TGDIBIGIMGPro* AValue) {
    if (FTextureGdiImage == AValue)
        return;
    FTextureGdiImage = AValue;
    FRebuildBackgroundImage = true;
}

void TSufferBackGroundItem::BuildBackgroundImage(int AWindowWidth, int AWindowHeight,
                                                 qreal ARatio) {
    QSize size(AWindowWidth, AWindowHeight);
    if (!FStretch)
        size = SkinScreenSize();
    const qreal ratio = SurfaceRatio(ARatio);
    if (!SameRatio(ratio, FBackgroundRatio))
        FRebuildBackgroundImage = true;
    if ((!FStretch && !FRebuildBackgroundImage) || FTextureGdiImage == nullptr)
        return;
    const QString tag = QStringLiteral("BuildBackgroundImage");
    auto place = [&](TGDIBIGIMGPro& AElement) {
        AElement.SetBounds(0, 0, size.width(), size.height());
        AElement.SetMaxDrawWidth(size.width());
        AElement.SetMaxDrawHeight(size.height());
    };
    // The surface must end before the bitmap is handed on, so the steps share only the bitmap.
    IGPBitmap composed;
    LoggedStep(tag, [&] {
        composed = NewGPBitmap(size.width(), size.height(), ratio);
        if (!composed)
            throw ESkinLoadError(QStringLiteral("Cannot create background bitmap"));
        TGPGraphics graphics(*composed);
        place(*FTextureGdiImage);
        FTextureGdiImage->Draw(graphics, 0, 0);
    });
    LoggedStep(tag, [&] {
        if (!composed)
            throw ESkinLoadError(QStringLiteral("No background bitmap"));
        TGPGraphics graphics(*composed);
        place(*FSufferTextureGdiImage);
        FSufferTextureGdiImage->Draw(graphics, 0, 0);
    });
    LoggedStep(tag, [&] {
        FBackgroundBitmap = composed;
        FBackgroundGdiImage->SetImage(composed);
        FBackgroundGdiImage->SetMargin(
            FSufferTextureGdiImage->LeftMargin(), FSufferTextureGdiImage->TopMargin(),
            FSufferTextureGdiImage->RightMargin(), FSufferTextureGdiImage->BottomMargin());
        FBackgroundGdiImage->SetStretch(false);
        FBackgroundGdiImage->SetStrecthMode(smAvgColor);
        place(*FBackgroundGdiImage);
        FBackgroundGdiImage->SetDeviceRatio(ratio);
        FBackgroundGdiImage->Build();
        FBackgroundRatio = ratio;
    });
    LoggedStep(tag, [&] {
        FRebuildBackgroundImage = false;
        FTextureGdiImage->UnBuild();
        FSufferTextureGdiImage->UnBuild();
    });
}

void TSufferBackGroundItem::UnBuildBackgroundImage() {
    FRebuildBackgroundImage = true;
    LoggedStep(QStringLiteral("UnBuildBackgroundImage"), [&] {
        FBackgroundGdiImage->SetImage(IGPBitmap());
        FBackgroundGdiImage->UnBuild();
        FBackgroundBitmap.reset();
    });
}

TSufferBackGroundItem* TSufferBackGrounds::GetItem(const QString&) const {
    return FDefaultPngBkg.get();
}

void TSufferBackGrounds::LoadSufferBackGroundItem(const TSkinMng& AMng, const QString& AName,
                                                  const QString& ASkinNodeName) {
    if (!AMng.Loaded())
        return;
    try {
        TSufferBackGroundItem& item = *GetItem(AName);
        const QString base = ASkinNodeName + QLatin1Char('\\');
        IGPBitmap image;
        AMng.GetSkinImageByName(base + QStringLiteral("Image"), image);
        item.SetImage(image);
        TMargin margin;
        AMng.GetMarginByString(base + QStringLiteral("Margin"), margin);
        item.SetMargin(margin);
        TMargin clip;
        AMng.GetMarginByString(base + QStringLiteral("ClipMargin"), clip);
        item.SetClipMargin(clip);
        item.SetStretchMode(AMng.GetStretchModeByString(base + QStringLiteral("StretchMode")));
        bool stretch = false;
        AMng.GetSkinBoolByName(base + QStringLiteral("Stretch"), stretch, false);
        item.SetStretch(stretch);
    } catch (const std::exception& error) {
        LogSkinFailure(TSufferBackGroundItem::ClassName(), nullptr, &error,
                       QStringLiteral("LoadSufferBackGroundItem"));
    }
}

} // namespace velmora
