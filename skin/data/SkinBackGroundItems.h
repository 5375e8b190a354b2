#pragma once

#include "platform/graphics/GPBitmap.h"
#include "skin/data/SkinDataTypes.h"
#include "skin/data/SkinStyleItems.h"
#include "skin/drawing/GDIBIGIMGPro.h"

#include <QDateTime>
#include <QDomElement>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace velmora {

class TSkinMng;

enum TFileStoredPosition : int { fspFile = 0, fspInSkinFile = 1 };
enum TBackGroundType : int { bgtMixed = 0, bgtColor = 1, bgtPicture = 2, bgtCustomColor = 3 };
enum TItemOwnership : int { ioReference = 0, ioOwned = 1 };
enum TSkinType : int { stColor = 0, stPicture = 1, stCustomColor = 2 };

inline constexpr int KPreviewWidth = 40;
inline constexpr int KPreviewHeight = 60;
inline constexpr int KColorPictureSize = 50;

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
    bool PreviewLoaded() const { return FPreviewLoaded; }

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

class TSkinBackGroundFileItem : public TBaseSkinItem {
public:
    TSkinBackGroundFileItem();
    QString ClassName() const override { return QStringLiteral("TSkinBackGroundFileItem"); }
    TGPColor CalcAverageGPColor() override;
    void LoadGPImage() override;
    void LoadGPPreviewImage() override;
    void SaveToXMLNode(QDomElement& ANode) const override;
    bool LoadFromXMLNode(const QDomElement& ANode) override;
    bool IsEqual(const TBaseSkinItem* AItem) const override;

    TFileStoredPosition FileStoredPosition() const { return FFileStoredPosition; }
    void SetFileStoredPosition(TFileStoredPosition AValue) { FFileStoredPosition = AValue; }
    // A full file path for fspFile, a skin path for fspInSkinFile.
    const QString& PictureFile() const { return FPictureFile; }
    void SetPictureFile(const QString& AValue) { FPictureFile = AValue; }
    const QString& FileRootPath() const { return FFileRootPath; }
    void SetFileRootPath(const QString& AValue) { FFileRootPath = AValue; }
    // The manager whose skin fspInSkinFile pictures come from; nullptr is the global one.
    const TSkinMng* SkinSource() const { return FSkinMng; }
    void SetSkinSource(const TSkinMng* AValue) { FSkinMng = AValue; }

private:
    const TSkinMng& Skin() const;

    const TSkinMng* FSkinMng = nullptr;
    TFileStoredPosition FFileStoredPosition = fspFile;
    QString FPictureFile;
    QString FFileRootPath;
};

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

// An ordered list of item references.
class TRightList {
public:
    using TCompare = std::function<int(const TBaseSkinItem*, const TBaseSkinItem*)>;
    int Count() const { return static_cast<int>(FItems.size()); }
    TBaseSkinItem* Items(int AIndex) const { return FItems.at(static_cast<size_t>(AIndex)); }
    void Add(TBaseSkinItem* AItem) { FItems.push_back(AItem); }
    void Insert(int AIndex, TBaseSkinItem* AItem);
    int IndexOf(const TBaseSkinItem* AItem) const;
    // Removes the first occurrence; -1 when absent.
    int Remove(const TBaseSkinItem* AItem);
    void Clear() { FItems.clear(); }
    // Quick sort around the middle element; not stable. ACompare < 0 puts the first first.
    void Sort(const TCompare& ACompare);
    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    void QuickSort(int ALow, int AHigh, const TCompare& ACompare);
    std::vector<TBaseSkinItem*> FItems;
};

// A list of background items, owning them or only referring to them.
class TSkinBackGroundItems {
public:
    explicit TSkinBackGroundItems(TBackGroundType AType = bgtMixed,
                                  TItemOwnership AOwnership = ioOwned);
    ~TSkinBackGroundItems();
    TSkinBackGroundItems(const TSkinBackGroundItems&) = delete;
    TSkinBackGroundItems& operator=(const TSkinBackGroundItems&) = delete;

    static QString ClassName() { return QStringLiteral("TSkinBackGroundItems"); }

    TBackGroundType BackGroundType() const { return FBackGroundType; }
    void SetBackGroundType(TBackGroundType AValue) { FBackGroundType = AValue; }
    TItemOwnership ItemOwnership() const { return FItemOwnership; }
    void SetItemOwnership(TItemOwnership AValue) { FItemOwnership = AValue; }
    const TRightList& ItemList() const { return FItemList; }
    const QString& UserSkinConfigPath() const { return FUserSkinConfigPath; }
    void SetUserSkinConfigPath(const QString& AValue) { FUserSkinConfigPath = AValue; }
    // Given to every file item the list creates; nullptr is the global manager.
    const TSkinMng* SkinSource() const { return FSkinMng; }
    void SetSkinSource(const TSkinMng* AValue) { FSkinMng = AValue; }

    TSkinBackGroundColorItem* AddBackColor();
    TSkinBackGroundFileItem* AddBackFile();
    TBaseSkinItem* AddImage();
    // An owning list takes ownership of every item added or inserted.
    void AddSKinItem(TBaseSkinItem* AItem);
    TSkinBackGroundColorItem* AddSkinColor(TGPColor AColor);
    TSkinBackGroundFileItem* AddSkinPictureFile(const QString& AFileName);
    TSkinBackGroundColorItem* InsertBackColor();
    TSkinBackGroundFileItem* InsertBackFile(int AIndex);
    void InsertSKinItem(TBaseSkinItem* AItem, int AIndex);
    // Takes the item out without destroying it: the caller owns it from then on.
    void DeleteItem(TBaseSkinItem* AItem);
    int IndexOf(const TBaseSkinItem* AItem) const { return FItemList.IndexOf(AItem); }
    TBaseSkinItem* GetItem(int AIndex) const { return FItemList.Items(AIndex); }
    int Count() const { return FItemList.Count(); }
    void ClearItemList();
    void SortByUsedTime();
    // Called for each owned item just before the list destroys it, so that holders of plain
    // references (the item in use, the recent list) can let go of it.
    std::function<void(TBaseSkinItem*)> OnItemDestroying;

    void LoadFromXMLFile(const QString& AXMLFile);
    // False (and a log entry) when the file cannot be written.
    bool SaveToXMLFile(const QString& AXMLFile) const;
    void LoadDefaultBackPictures(const QString& ASkinNode = {});
    void LoadDefaultBackColors();

private:
    TSkinBackGroundFileItem* NewFileItem() const;

    TBackGroundType FBackGroundType;
    TItemOwnership FItemOwnership;
    TRightList FItemList;
    QString FUserSkinConfigPath;
    const TSkinMng* FSkinMng = nullptr;
};

// Booleans in the background XML: "-1" and "0" written, any number or True/False read.
QString SkinXmlBoolText(bool AValue);
bool SkinXmlBoolValue(const QString& AText);
// Date and time text of the background XML.
QString SkinXmlDateTimeText(const QDateTime& AValue);
QDateTime SkinXmlDateTimeValue(const QString& AText);

} // namespace velmora
