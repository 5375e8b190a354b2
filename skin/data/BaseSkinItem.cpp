#include "skin/data/BaseSkinItem.h"

#include "skin/data/SkinBackGroundXml.h"
#include "skin/drawing/GdiSkinHelper.h"
#include "skin/drawing/SkinColors.h"
#include "skin/drawing/SkinEngineLog.h"

#include <typeinfo>

namespace velmora {

TBaseSkinItem::TBaseSkinItem()
    : FSkinName(QStringLiteral("皮肤项")), FTextureGdiImage(std::make_unique<TGDIBIGIMGPro>()) {
    FTextureGdiImage->SetStretch(false);
    FTextureGdiImage->SetStrecthMode(smAvgColor);
}

TBaseSkinItem::~TBaseSkinItem() = default;

void TBaseSkinItem::LogFailure(const std::exception& AError, const QString& ATag) const {
    LogSkinFailure(ClassName(), &FSkinName, &AError, ATag);
}

TGPColor TBaseSkinItem::CalcAverageGPColor() {
    return 0xFFFFFFFFu;
}

void TBaseSkinItem::LoadGPImage() {
    FGPImage.reset();
    FAverageGPColorCalculated = false;
    FTextGPColorCalculated = false;
}

void TBaseSkinItem::LoadGPPreviewImage() {
    FGPPreviewImage.reset();
}

void TBaseSkinItem::SaveToXMLNode(QDomElement& ANode) const {
    ANode.setAttribute(KSkinNodeTypeAttr, FNodeType);
    AppendSkinXmlText(ANode, QStringLiteral("IsUsed"), SkinXmlBoolText(FIsUsed));
    AppendSkinXmlText(ANode, QStringLiteral("SkinName"), FSkinName);
    AppendSkinXmlText(ANode, QStringLiteral("IsSystemSkin"), SkinXmlBoolText(FIsSystemSkin));
    AppendSkinXmlText(ANode, QStringLiteral("CreateTime"), SkinXmlDateTimeText(FCreateTime));
    AppendSkinXmlText(ANode, QStringLiteral("LastUsedTime"), SkinXmlDateTimeText(FLastUsedTime));
    AppendSkinXmlText(ANode, QStringLiteral("IsDefaultSkin"), SkinXmlBoolText(FIsDefaultSkin));
    AppendSkinXmlText(ANode, QStringLiteral("IsDeleted"), SkinXmlBoolText(FIsDeleted));
    AppendSkinXmlText(ANode, QStringLiteral("IsCurrentSkin"), SkinXmlBoolText(FIsCurrentSkin));
}

bool TBaseSkinItem::LoadFromXMLNode(const QDomElement& ANode) {
    try {
        auto boolean = [&](const char* AName, bool& AField) {
            if (const auto text = SkinXmlChildText(ANode, QLatin1String(AName)))
                AField = SkinXmlBoolValue(*text);
        };
        boolean("IsUsed", FIsUsed);
        if (const auto text = SkinXmlChildText(ANode, QStringLiteral("SkinName")))
            FSkinName = *text;
        boolean("IsSystemSkin", FIsSystemSkin);
        if (const auto text = SkinXmlChildText(ANode, QStringLiteral("CreateTime")))
            FCreateTime = SkinXmlDateTimeValue(*text);
        if (const auto text = SkinXmlChildText(ANode, QStringLiteral("LastUsedTime")))
            FLastUsedTime = SkinXmlDateTimeValue(*text);
        boolean("IsDefaultSkin", FIsDefaultSkin);
        boolean("IsDeleted", FIsDeleted);
        boolean("IsCurrentSkin", FIsCurrentSkin);
        return !FIsDeleted;
    } catch (const std::exception& error) {
        LogFailure(error, QStringLiteral("LoadFromXMLNode"));
    }
    return false;
}

bool TBaseSkinItem::IsEqual(const TBaseSkinItem* AItem) const {
    return AItem != nullptr && typeid(*AItem) == typeid(*this);
}

const IGPBitmap& TBaseSkinItem::GPImage() {
    if (!FGPImage || !FImageLoaded) {
        LoadGPImage();
        FImageLoaded = true;
    }
    return FGPImage;
}

const IGPBitmap& TBaseSkinItem::GPPreviewImage() {
    if (!FGPPreviewImage || !FPreviewLoaded) {
        LoadGPPreviewImage();
        FPreviewLoaded = true;
    }
    return FGPPreviewImage;
}

void TBaseSkinItem::FreeImage() {
    try {
        if (FImageLoaded) {
            FGPImage.reset();
            if (FTextureGdiImage->Image()) {
                FTextureGdiImage->UnBuild();
                // The element would otherwise keep the released picture alive.
                FTextureGdiImage->SetImage(IGPBitmap());
            }
        }
        FImageLoaded = false;
    } catch (const std::exception& error) {
        LogFailure(error, QStringLiteral("FreeImage"));
    }
}

TGPColor TBaseSkinItem::AverageGPColor() {
    if (!FAverageGPColorCalculated) {
        FAverageGPColor = CalcAverageGPColor();
        FAverageGPColorCalculated = true;
    }
    return FAverageGPColor;
}

quint32 TBaseSkinItem::AverageColor() {
    FAverageColor = GPColorToColor(AverageGPColor());
    return FAverageColor;
}

TGPColor TBaseSkinItem::TextGPColor() {
    if (!FTextGPColorCalculated) {
        FTextGPColor = GetTextColorByGPColor(AverageGPColor());
        FTextGPColorCalculated = true;
    }
    return FTextGPColor;
}

quint32 TBaseSkinItem::TextColor() {
    FTextColor = GPColorToColor(TextGPColor());
    return FTextColor;
}

TGDIBIGIMGPro* TBaseSkinItem::TextureGdiImage() {
    if (!FTextureGdiImage->Image())
        FTextureGdiImage->SetImage(GPImage());
    return FTextureGdiImage.get();
}

void TBaseSkinItem::SetMargin(const TMargin& AValue) {
    if (FMargin == AValue)
        return;
    FMargin = AValue;
    FTextureGdiImage->SetMargin(AValue.LeftMargin, AValue.TopMargin, AValue.RightMargin,
                                AValue.BottomMargin);
}

void TBaseSkinItem::SetClipMargin(const TMargin& AValue) {
    if (FClipMargin == AValue)
        return;
    FClipMargin = AValue;
    FTextureGdiImage->SetClipMargin(AValue.LeftMargin, AValue.TopMargin, AValue.RightMargin,
                                    AValue.BottomMargin);
}

void TBaseSkinItem::SetStretchMode(TStretchMode AValue) {
    if (FStretchMode == AValue)
        return;
    FStretchMode = AValue;
    FTextureGdiImage->SetStrecthMode(AValue);
}

void TBaseSkinItem::SetIsUsed(bool AValue) {
    FIsUsed = AValue;
    if (AValue)
        FLastUsedTime = QDateTime::currentDateTime();
}

} // namespace velmora
