#pragma once

// The background items and the list that holds them; including this gives every item class.
#include "skin/data/BaseSkinItem.h"
#include "skin/data/RightList.h"
#include "skin/data/SkinBackGroundColorItem.h"
#include "skin/data/SkinBackGroundFileItem.h"
#include "skin/data/SkinBackGroundTypes.h"

#include <QString>
#include <functional>

namespace velmora {

class TSkinMng;

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

} // namespace velmora
