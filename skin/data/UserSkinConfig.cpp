#include "skin/data/UserSkinConfig.h"

#include "skin/data/SkinMng.h"
#include "skin/drawing/SkinEngineLog.h"

namespace velmora {

TUserSkinConfig::TUserSkinConfig(const TSkinMng& AMng)
    : FSkinMng(AMng), FDefaultSkinItem(std::make_unique<TSkinBackGroundFileItem>()),
      FRecentSkinBackGroundItems(std::make_unique<TSkinBackGroundItems>(bgtMixed, ioReference)),
      FSkinBackGroundFileItems(std::make_unique<TSkinBackGroundItems>(bgtPicture, ioOwned)),
      FSkinBackGroundColorItems(std::make_unique<TSkinBackGroundItems>(bgtColor, ioOwned)),
      FSkinBackGroundCustomColorItems(
          std::make_unique<TSkinBackGroundItems>(bgtCustomColor, ioOwned)) {
    FDefaultSkinItem->SetSkinSource(&AMng);
    for (TSkinBackGroundItems* list :
         {FRecentSkinBackGroundItems.get(), FSkinBackGroundFileItems.get(),
          FSkinBackGroundColorItems.get(), FSkinBackGroundCustomColorItems.get()})
        list->SetSkinSource(&AMng);
    for (TSkinBackGroundItems* list :
         {FSkinBackGroundFileItems.get(), FSkinBackGroundColorItems.get(),
          FSkinBackGroundCustomColorItems.get()})
        list->OnItemDestroying = [this](TBaseSkinItem* AItem) { ForgetItem(AItem); };
}

void TUserSkinConfig::ForgetItem(TBaseSkinItem* AItem) {
    if (FAppUsedSkinItem == AItem)
        FAppUsedSkinItem = nullptr;
    if (FRecentSkinBackGroundItems)
        while (FRecentSkinBackGroundItems->IndexOf(AItem) >= 0)
            FRecentSkinBackGroundItems->DeleteItem(AItem);
}

TUserSkinConfig::~TUserSkinConfig() {
    // The recent list only refers to items of the others, so it goes first; the default item
    // outlives every list that might still point at it.
    FAppUsedSkinItem = nullptr;
    FRecentSkinBackGroundItems.reset();
    FSkinBackGroundFileItems.reset();
    FSkinBackGroundColorItems.reset();
    FSkinBackGroundCustomColorItems.reset();
    FDefaultSkinItem.reset();
}

void TUserSkinConfig::LoadDefaultSkinItem() {
    TSkinBackGroundFileItem& item = *FDefaultSkinItem;
    // The picture path stays the same from skin to skin while its content changes, so the
    // picture (and the texture holding it) is read again from the skin now in use.
    item.FreeImage();
    item.SetSkinName(QStringLiteral("Default"));
    item.SetFileStoredPosition(fspInSkinFile);
    item.SetPictureFile(QStringLiteral("SkinMgr\\DefaultSkins\\Image"));
    TMargin margin = item.Margin();
    FSkinMng.GetMarginByString(QStringLiteral("SkinMgr\\DefaultSkins\\Margin"), margin);
    item.SetMargin(margin);
    TMargin clip = item.ClipMargin();
    FSkinMng.GetMarginByString(QStringLiteral("SkinMgr\\DefaultSkins\\ClipMargin"), clip);
    item.SetClipMargin(clip);
    item.SetStretchMode(
        FSkinMng.GetStretchModeByString(QStringLiteral("SkinMgr\\DefaultSkins\\StretchMode")));
}

void TUserSkinConfig::SetDefaultSkinItem(std::unique_ptr<TSkinBackGroundFileItem> AValue) {
    if (!AValue || AValue.get() == FDefaultSkinItem.get())
        return;
    if (AValue->SkinSource() == nullptr)
        AValue->SetSkinSource(&FSkinMng);
    if (FAppUsedSkinItem == FDefaultSkinItem.get())
        FAppUsedSkinItem = AValue.get();
    FDefaultSkinItem = std::move(AValue);
}

void TUserSkinConfig::SetAppUsedSkinItem(TBaseSkinItem* AValue) {
    FAppUsedSkinItem = AValue;
    if (dynamic_cast<TSkinBackGroundFileItem*>(AValue) != nullptr)
        FSkinType = stPicture;
    else if (const auto* colour = dynamic_cast<TSkinBackGroundColorItem*>(AValue))
        FSkinType = colour->IsCustom() ? stCustomColor : stColor;
}

void TUserSkinConfig::FreeNoUseSkinItemImage() {
    for (TSkinBackGroundItems* list :
         {FSkinBackGroundCustomColorItems.get(), FSkinBackGroundFileItems.get(),
          FSkinBackGroundColorItems.get()}) {
        for (TBaseSkinItem* item : list->ItemList()) {
            if (item == FAppUsedSkinItem)
                continue;
            try {
                item->FreeImage();
            } catch (const std::exception& error) {
                LogSkinFailure(ClassName(), nullptr, &error,
                               QStringLiteral("FreeNoUseSkinItemImage"));
            }
        }
    }
}

} // namespace velmora
