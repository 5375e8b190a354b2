#include "skin/data/SkinBackGroundColorItem.h"

#include "skin/data/SkinBackGroundXml.h"

namespace velmora {

TSkinBackGroundColorItem::TSkinBackGroundColorItem() {
    FNodeType = KSkinBackColorKind;
}

TGPColor TSkinBackGroundColorItem::CalcAverageGPColor() {
    return FBackGroundColor | 0xFF000000u;
}

void TSkinBackGroundColorItem::LoadGPImage() {
    TBaseSkinItem::LoadGPImage();
    FGPImage = NewGPBitmap(KColorPictureSize, KColorPictureSize);
    if (FGPImage)
        FGPImage->Image().fill(FBackGroundColor);
}

void TSkinBackGroundColorItem::LoadGPPreviewImage() {
    TBaseSkinItem::LoadGPPreviewImage();
    FGPPreviewImage = NewGPBitmap(KPreviewWidth, KPreviewHeight);
    if (FGPPreviewImage)
        FGPPreviewImage->Image().fill(FBackGroundColor);
}

void TSkinBackGroundColorItem::SaveToXMLNode(QDomElement& ANode) const {
    TBaseSkinItem::SaveToXMLNode(ANode);
    AppendSkinXmlText(ANode, QStringLiteral("IsCustom"), SkinXmlBoolText(FIsCustom));
    AppendSkinXmlText(ANode, QStringLiteral("BackGroundColor"), QString::number(FBackGroundColor));
    AppendSkinXmlText(ANode, QStringLiteral("A"), QString::number(qAlpha(FBackGroundColor)));
    AppendSkinXmlText(ANode, QStringLiteral("R"), QString::number(qRed(FBackGroundColor)));
    AppendSkinXmlText(ANode, QStringLiteral("G"), QString::number(qGreen(FBackGroundColor)));
    AppendSkinXmlText(ANode, QStringLiteral("B"), QString::number(qBlue(FBackGroundColor)));
}

bool TSkinBackGroundColorItem::LoadFromXMLNode(const QDomElement& ANode) {
    if (!TBaseSkinItem::LoadFromXMLNode(ANode))
        return false;
    try {
        if (const auto text = SkinXmlChildText(ANode, QStringLiteral("IsCustom")))
            FIsCustom = SkinXmlBoolValue(*text);
        auto channel = [&](const char* AName) {
            const auto text = SkinXmlChildText(ANode, QLatin1String(AName));
            return text ? SkinXmlIntValue(*text) & 0xFF : 0;
        };
        const int a = channel("A");
        const int r = channel("R");
        const int g = channel("G");
        const int b = channel("B");
        FBackGroundColor = qRgba(r, g, b, a);
        return true;
    } catch (const std::exception& error) {
        LogFailure(error, QStringLiteral("LoadFromXMLNode"));
    }
    return false;
}

bool TSkinBackGroundColorItem::IsEqual(const TBaseSkinItem* AItem) const {
    const auto* other = dynamic_cast<const TSkinBackGroundColorItem*>(AItem);
    return other != nullptr && other->FIsCustom == FIsCustom &&
           (other->FBackGroundColor & 0xFFFFFFu) == (FBackGroundColor & 0xFFFFFFu);
}

} // namespace velmora
