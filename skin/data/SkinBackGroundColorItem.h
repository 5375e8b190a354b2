#pragma once

#include "skin/data/BaseSkinItem.h"

namespace velmora {

// A plain background colour; its pictures are filled with it.
class TSkinBackGroundColorItem : public TBaseSkinItem {
public:
    TSkinBackGroundColorItem();
    QString ClassName() const override { return QStringLiteral("TSkinBackGroundColorItem"); }
    TGPColor CalcAverageGPColor() override;
    void LoadGPImage() override;
    void LoadGPPreviewImage() override;
    void SaveToXMLNode(QDomElement& ANode) const override;
    bool LoadFromXMLNode(const QDomElement& ANode) override;
    bool IsEqual(const TBaseSkinItem* AItem) const override;

    bool IsCustom() const { return FIsCustom; }
    void SetIsCustom(bool AValue) { FIsCustom = AValue; }
    TGPColor BackGroundColor() const { return FBackGroundColor; }
    void SetBackGroundColor(TGPColor AValue) { FBackGroundColor = AValue; }

private:
    bool FIsCustom = true;
    TGPColor FBackGroundColor = 0;
};

} // namespace velmora
