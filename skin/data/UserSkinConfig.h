#pragma once

#include "skin/data/SkinBackGroundItems.h"

#include <memory>

namespace velmora {

class TSkinMng;

// The default background every skin brings, the background in use, and the user's lists.
class TUserSkinConfig {
public:
    // AMng is the manager whose skin the default item is read from.
    explicit TUserSkinConfig(const TSkinMng& AMng);
    ~TUserSkinConfig();
    TUserSkinConfig(const TUserSkinConfig&) = delete;
    TUserSkinConfig& operator=(const TUserSkinConfig&) = delete;

    static QString ClassName() { return QStringLiteral("TUserSkinConfig"); }

    // Reads "SkinMgr\DefaultSkins" into the default item; the picture loads on first use.
    void LoadDefaultSkinItem();
    void FreeNoUseSkinItemImage();

    TSkinType SkinType() const { return FSkinType; }
    void SetSkinType(TSkinType AValue) { FSkinType = AValue; }
    TSkinBackGroundFileItem* DefaultSkinItem() const { return FDefaultSkinItem.get(); }
    // Takes ownership; the previous default item is destroyed, so it must not be in use.
    void SetDefaultSkinItem(std::unique_ptr<TSkinBackGroundFileItem> AValue);
    TBaseSkinItem* AppUsedSkinItem() const { return FAppUsedSkinItem; }
    void SetAppUsedSkinItem(TBaseSkinItem* AValue);
    TSkinBackGroundItems& RecentSkinBackGroundItems() const { return *FRecentSkinBackGroundItems; }
    TSkinBackGroundItems& SkinBackGroundFileItems() const { return *FSkinBackGroundFileItems; }
    TSkinBackGroundItems& SkinBackGroundColorItems() const { return *FSkinBackGroundColorItems; }
    TSkinBackGroundItems& SkinBackGroundCustomColorItems() const {
        return *FSkinBackGroundCustomColorItems;
    }

private:
    // An owned list is about to destroy AItem: no reference to it may outlive it.
    void ForgetItem(TBaseSkinItem* AItem);

    const TSkinMng& FSkinMng;
    TSkinType FSkinType = stPicture;
    std::unique_ptr<TSkinBackGroundFileItem> FDefaultSkinItem;
    TBaseSkinItem* FAppUsedSkinItem = nullptr;
    std::unique_ptr<TSkinBackGroundItems> FRecentSkinBackGroundItems;
    std::unique_ptr<TSkinBackGroundItems> FSkinBackGroundFileItems;
    std::unique_ptr<TSkinBackGroundItems> FSkinBackGroundColorItems;
    std::unique_ptr<TSkinBackGroundItems> FSkinBackGroundCustomColorItems;
};

} // namespace velmora
