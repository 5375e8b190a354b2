#pragma once

#include "platform/graphics/GPBitmap.h"
#include "skin/data/SkinBackGroundTypes.h"
#include "skin/data/SkinDataTypes.h"
#include "skin/data/SkinStyleItems.h"
#include "skin/drawing/GDIBIGIMGPro.h"

#include <QDateTime>
#include <QDomElement>
#include <QString>
#include <memory>

namespace velmora {

// A window background: a picture or a plain colour, with the colours derived from it. The
// picture and its preview load on first use and stay until FreeImage.
class TBaseSkinItem : public TBaseSkinStyleItem {
public:
    TBaseSkinItem();
    ~TBaseSkinItem() override;

    virtual QString ClassName() const { return QStringLiteral("TBaseSkinItem"); }

    virtual TGPColor CalcAverageGPColor();
    // The base releases the picture and forgets the derived colours.
    virtual void LoadGPImage();
    virtual void LoadGPPreviewImage();
    virtual void SaveToXMLNode(QDomElement& ANode) const;
    // True when the item should be kept.
    virtual bool LoadFromXMLNode(const QDomElement& ANode);
    virtual bool IsEqual(const TBaseSkinItem* AItem) const;

    const IGPBitmap& GPImage();
    const IGPBitmap& GPPreviewImage();
    void FreeImage();
    TGPColor AverageGPColor();
    quint32 AverageColor();
    TGPColor TextGPColor();
    quint32 TextColor();
    TGDIBIGIMGPro* TextureGdiImage();
    // Expires when the item is destroyed: windows and controls keep plain pointers to items
    // that the skin manager's lists own, and ask this before using one.
    std::weak_ptr<void> Alive() const { return FAlive; }

    const TMargin& Margin() const { return FMargin; }
    void SetMargin(const TMargin& AValue);
    const TMargin& ClipMargin() const { return FClipMargin; }
    void SetClipMargin(const TMargin& AValue);
    TStretchMode StretchMode() const { return FStretchMode; }
    void SetStretchMode(TStretchMode AValue);
    bool IsUsed() const { return FIsUsed; }
    void SetIsUsed(bool AValue);
    const QString& SkinName() const { return FSkinName; }
    void SetSkinName(const QString& AValue) { FSkinName = AValue; }
    bool IsSystemSkin() const { return FIsSystemSkin; }
    void SetIsSystemSkin(bool AValue) { FIsSystemSkin = AValue; }
    const QDateTime& CreateTime() const { return FCreateTime; }
    void SetCreateTime(const QDateTime& AValue) { FCreateTime = AValue; }
    const QDateTime& LastUsedTime() const { return FLastUsedTime; }
    void SetLastUsedTime(const QDateTime& AValue) { FLastUsedTime = AValue; }
    const QString& NodeType() const { return FNodeType; }
    bool IsDefaultSkin() const { return FIsDefaultSkin; }
    void SetIsDefaultSkin(bool AValue) { FIsDefaultSkin = AValue; }
    bool IsDeleted() const { return FIsDeleted; }
    void SetIsDeleted(bool AValue) { FIsDeleted = AValue; }
    bool IsCurrentSkin() const { return FIsCurrentSkin; }
    void SetIsCurrentSkin(bool AValue) { FIsCurrentSkin = AValue; }
    bool ImageLoaded() const { return FImageLoaded; }

protected:
    void LogFailure(const std::exception& AError, const QString& ATag) const;

    QString FNodeType;
    IGPBitmap FGPImage;
    IGPBitmap FGPPreviewImage;

private:
    TMargin FMargin;
    TMargin FClipMargin;
    TStretchMode FStretchMode = smAvgColor;
    bool FIsUsed = false;
    QString FSkinName;
    bool FIsSystemSkin = false;
    QDateTime FCreateTime;
    QDateTime FLastUsedTime;
    bool FIsDefaultSkin = false;
    bool FIsDeleted = false;
    bool FIsCurrentSkin = false;
    TGPColor FAverageGPColor = 0xFFFFFFFFu;
    TGPColor FTextGPColor = 0xFF000000u;
    quint32 FAverageColor = 0xFFFFFF;
    quint32 FTextColor = 0;
    bool FAverageGPColorCalculated = false;
    bool FTextGPColorCalculated = false;
    bool FImageLoaded = false;
    bool FPreviewLoaded = false;
    std::unique_ptr<TGDIBIGIMGPro> FTextureGdiImage;
    std::shared_ptr<int> FAlive = std::make_shared<int>(0);
};

} // namespace velmora
