#pragma once

#include "skin/data/SkinFormStyleItem.h"
#include "skin/data/SkinStyleItems.h"
#include "skin/data/SkinZoneViewStyleItem.h"

#include <QString>
#include <memory>
#include <vector>

namespace velmora {

class TSkinMng;

// A list of named style items of one control family, refilled from the manager's skin. Items
// live until the next Clear, so controls look their item up again after every skin change.
template <typename TItem> class TSkinStyleCatalogue {
public:
    explicit TSkinStyleCatalogue(const TSkinMng& AMng) : FSkinMng(AMng) {}
    virtual ~TSkinStyleCatalogue() { Clear(); }
    TSkinStyleCatalogue(const TSkinStyleCatalogue&) = delete;
    TSkinStyleCatalogue& operator=(const TSkinStyleCatalogue&) = delete;

    const QString& StyleNodeName() const { return FStyleNodeName; }
    void SetStyleNodeName(const QString& AValue) { FStyleNodeName = AValue; }
    int Count() const { return static_cast<int>(FStyleList.size()); }
    TItem* Items(int AIndex) const { return FStyleList.at(static_cast<size_t>(AIndex)).get(); }

    TItem* AddStyle(const QString& AStyleName) {
        auto item = std::make_unique<TItem>();
        item->SetStyleName(AStyleName);
        FStyleList.push_back(std::move(item));
        return FStyleList.back().get();
    }
    void Clear() {
        while (!FStyleList.empty())
            FStyleList.pop_back();
    }
    // Exact, case-sensitive; the first of equal names wins.
    TItem* GetItem(const QString& AStyleName) const {
        for (const auto& item : FStyleList)
            if (item->StyleName() == AStyleName)
                return item.get();
        return nullptr;
    }

protected:
    const TSkinMng& FSkinMng;
    QString FStyleNodeName;
    std::vector<std::unique_ptr<TItem>> FStyleList;
};

// "Button", "BitButton" and "SpeedButton".
class TButtonStyles : public TSkinStyleCatalogue<TSkinButtonStyleItem> {
public:
    using TSkinStyleCatalogue::TSkinStyleCatalogue;
    static QString ClassName() { return QStringLiteral("TButtonStyles"); }
    // Errors are logged and end the loading; items added so far stay.
    void LoadButtonStyles();
    void LoadButtonStyleItem(TSkinButtonStyleItem* AItem, const QString& AStyleNodeName);
};

class TDropDownButtonStyles : public TSkinStyleCatalogue<TSkinDropDownButtonStyleItem> {
public:
    using TSkinStyleCatalogue::TSkinStyleCatalogue;
    static QString ClassName() { return QStringLiteral("TDropDownButtonStyles"); }
    void LoadButtonStyles();
    void LoadButtonStyleItem(TSkinDropDownButtonStyleItem* AItem, const QString& AStyleNodeName);
};

// Reads "ControlStyle\PageControlEx\<StyleNodeName>". Errors pass to the caller.
class TSkinPageControlStyles : public TSkinStyleCatalogue<TSkinPageControlStyleItem> {
public:
    using TSkinStyleCatalogue::TSkinStyleCatalogue;
    void LoadPageControlStyles();
    void LoadPageControlStyleItem(TSkinPageControlStyleItem* AItem, const QString& AStyleNodeName);
};

// The single style "SkinForm", read from the top-level directory of that name.
class TSkinFormStyles : public TSkinStyleCatalogue<TSkinFormStyleItem> {
public:
    using TSkinStyleCatalogue::TSkinStyleCatalogue;
    static QString ClassName() { return QStringLiteral("TSkinFormStyles"); }
    TSkinFormStyleItem* FormStyleItem() const {
        return FStyleList.empty() ? nullptr : FStyleList.front().get();
    }
    void LoadSkinFormStyles();
    void LoadSkinFormStyleItem(TSkinFormStyleItem* AItem, const QString& AStyleNodeName);
};

// Family errors pass to the caller; an item's errors are logged and end that item.
class TSkinZoneViewStyles : public TSkinStyleCatalogue<TSkinZoneViewStyleItem> {
public:
    using TSkinStyleCatalogue::TSkinStyleCatalogue;
    static QString ClassName() { return QStringLiteral("TSkinZoneViewStyles"); }
    void LoadSkinZoneViewStyles();
    void LoadSkinZoneViewStyleItem(TSkinZoneViewStyleItem* AItem, const QString& AStyleNodeName);
};

class TSkinZoneViewScrollBarStyles : public TSkinStyleCatalogue<TSkinZoneViewScrollBarItem> {
public:
    using TSkinStyleCatalogue::TSkinStyleCatalogue;
    static QString ClassName() { return QStringLiteral("TSkinZoneViewScrollBarStyles"); }
    void LoadSkinZoneViewItems();
    void LoadSkinZoneViewItem(TSkinZoneViewScrollBarItem* AItem, const QString& AStyleNodeName);
};

// The single style "Panel" from "ControlStyle\Panel". Errors pass to the caller.
class TSkinPanelStyles : public TSkinStyleCatalogue<TSkinPanelStyleItem> {
public:
    using TSkinStyleCatalogue::TSkinStyleCatalogue;
    void LoadSkinPanelStyles();
    void LoadSkinPanelStyleItem(TSkinPanelStyleItem* AItem, const QString& AStyleNodeName);
};

// Errors pass to the caller.
class TSkinHeadFrameStyles : public TSkinStyleCatalogue<TSkinHeadFrameStyleItem> {
public:
    using TSkinStyleCatalogue::TSkinStyleCatalogue;
    void LoadSkinHeadFrameStyles();
    void LoadSkinHeadFrameStyleItem(TSkinHeadFrameStyleItem* AItem, const QString& AStyleNodeName);
};

} // namespace velmora
