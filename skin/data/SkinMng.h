#pragma once

#include "skin/data/SkinDataTypes.h"
#include "skin/data/SkinFile.h"
#include "skin/data/SkinNodeControls.h"
#include "skin/data/SkinStyleCatalogues.h"
#include "skin/data/UserSkinConfig.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

namespace velmora {

// A window that wants skin notifications, with the event types it chose for each kind.
struct TSkinListenerItem {
    QPointer<QObject> ListenerWindow;
    // The address registered, kept after the window dies so that its unregistering still
    // finds the item; compared, never dereferenced.
    const QObject* Identity = nullptr;
    std::uint32_t ChangeSkinFileMsg = 0;
    std::uint32_t ChangeSkinBackGroundColorMsg = 0;
    std::uint32_t ChangeSkinBackGroundFileMsg = 0;
    std::uint32_t ChangeSkinBackGroundCustomColorMsg = 0;
};

// The skin manager: owns the skin file, the catalogues, the skin font and the user skin
// configuration; loads skins and tells the control classes and listener windows about them.
// The process has one, SkinMng(); tests may make their own.
class TSkinMng {
public:
    TSkinMng();
    ~TSkinMng();
    TSkinMng(const TSkinMng&) = delete;
    TSkinMng& operator=(const TSkinMng&) = delete;

    static QString ClassName() { return QStringLiteral("TSkinMng"); }

    // Load and propagate a skin. False when the name equals the last one loaded by the same
    // route (ASCII letters compared without case) and AReload is false, or when loading fails.
    bool ChangeSkinRes(const QString& AResName, bool AReload);
    bool ChangeSkinFile(const QString& AFileName, bool AReload);

    // The listener receives TSkinChangeEvent with the chosen types through a synchronous
    // QCoreApplication::sendEvent. A destroyed listener is skipped until it unregisters.
    bool RegisterSkinListener(QObject* AListenerWindow, std::uint32_t AChangeSkinFileMsg,
                              std::uint32_t AChangeSkinBackGroundColorMsg,
                              std::uint32_t AChangeSkinBackGroundFileMsg,
                              std::uint32_t AChangeSkinBackGroundCustomColorMsg);
    void UnRegisterSkinListener(const QObject* AListenerWindow);
    int ListenerCount() const { return static_cast<int>(FSkinListeners.size()); }
    const TSkinListenerItem& Listener(int AIndex) const {
        return FSkinListeners.at(static_cast<size_t>(AIndex));
    }

    void ChangeSkinBackGround(TBaseSkinItem* AItem);
    void ChangeSkinBackGroundFile(TBaseSkinItem* AItem);
    void ChangeSkinBackGroundColor(TBaseSkinItem* AItem);
    void ChangeSkinBackGroundCustomColor(TBaseSkinItem* AItem);

    bool GetSkinStringByName(const QString& AName, QString& AValue,
                             const QString& ADefault = {}) const {
        return FSkinFile->GetSkinStringByName(AName, AValue, ADefault);
    }
    bool GetSkinInt32ByName(const QString& AName, std::int32_t& AValue,
                            std::int32_t ADefault) const {
        return FSkinFile->GetSkinInt32ByName(AName, AValue, ADefault);
    }
    bool GetSkinFloatByName(const QString& AName, float& AValue, float ADefault) const {
        return FSkinFile->GetSkinFloatByName(AName, AValue, ADefault);
    }
    bool GetSkinDoubleByName(const QString& AName, double& AValue, double ADefault) const {
        return FSkinFile->GetSkinDoubleByName(AName, AValue, ADefault);
    }
    bool GetSkinBoolByName(const QString& AName, bool& AValue, bool ADefault) const {
        return FSkinFile->GetSkinBoolByName(AName, AValue, ADefault);
    }
    bool GetSkinGuidByName(const QString& AName, QUuid& AValue) const {
        return FSkinFile->GetSkinGuidByName(AName, AValue);
    }
    bool GetSkinStreamByName(const QString& AName, QIODevice& AStream,
                             bool ADefault = false) const {
        return FSkinFile->GetSkinStreamByName(AName, AStream, ADefault);
    }
    QString GetSkinStringByName(const QString& AName) const;
    std::int32_t GetSkinInt32ByName(const QString& AName) const;
    float GetSkinFloatByName(const QString& AName) const;
    double GetSkinDoubleByName(const QString& AName) const;
    bool GetSkinBoolByName(const QString& AName) const;
    QUuid GetSkinGuidByName(const QString& AName) const;
    bool GetSkinImageByName(const QString& AName, IGPBitmap& ABitmap, bool ADefault = false) const {
        return FSkinFile->GetSkinImageByName(AName, ABitmap, ADefault);
    }
    void GetSkinImageByName(const QString& AName, QImage& AGraphic, bool ADefault = false) const {
        FSkinFile->GetSkinImageByName(AName, AGraphic, ADefault);
    }
    QStringList GetSkinNodesByName(const QString& AName) const {
        return FSkinFile->GetSkinNodesByName(AName);
    }

    // AString names a skin path holding the margin text; parse errors are logged.
    void GetMarginByString(const QString& AString, int& ALeftMargin, int& ATopMargin,
                           int& ARightMargin, int& ABottomMargin) const;
    void GetMarginByString(const QString& AString, TMargin& AMargin) const;
    // The rest take the text itself.
    void GetBoundsByString(const QString& AString, int& ALeft, int& ATop, int& AWidth, int& AHeight,
                           int& ALeftTopMargin) const;
    void GetImageSettingByString(const QString& AString, QString& AImageString, int& ALeft,
                                 int& ATop, int& AWidth, int& AHeight,
                                 TStretchMode& AStretchMode) const;
    TSkinAnchors GetAnchorsByString(const QString& AString) const;
    TStretchMode GetStretchModeByString(const QString& AString) const;
    // A new AWidth x AHeight bitmap with that rectangle of AImage; pixels outside the source
    // stay transparent. Empty for a missing image or an impossible size.
    IGPBitmap GetPartOfImage(const IGPBitmap& AImage, int ATop, int ALeft, int AWidth,
                             int AHeight) const;

    void AlignSkinControl(ISkinNodeControl& ASkinControl) const;
    void SetSkinLabelBySkinNode(const QString& ANodeString, ISkinNodeControl& ASkinLabel) const;
    void SetSkinPanelBySkinNode(const QString& ANodeString, ISkinNodePanel& ASkinPanel) const;
    void SetSkinImageBoxBySkinNode(const QString& ANodeString,
                                   ISkinNodeImageBox& ASkinImageBox) const;
    void SetSpeedButtonBySkinNode(const QString& ANodeString,
                                  ISkinNodeSpeedButton& ASpeedButton) const;

    const TFrameworkFont& SkinFont() const { return FSkinFont; }
    void SetSkinFont(const TFrameworkFont& AValue) { FSkinFont = AValue; }
    const TSkinFile& SkinFile() const { return *FSkinFile; }
    TUserSkinConfig& UserSkinConfig() const { return *FUserSkinConfig; }
    TButtonStyles& SkinButtonStyles() const { return *FSkinButtonStyles; }
    TButtonStyles& SkinBitButtonStyles() const { return *FSkinBitButtonStyles; }
    TButtonStyles& SkinSpeedButtonStyles() const { return *FSkinSpeedButtonStyles; }
    TDropDownButtonStyles& SkinDropDownButtonStyles() const { return *FSkinDropDownButtonStyles; }
    TSkinPageControlStyles& HorzPageControlStyles() const { return *FHorzPageControlStyles; }
    TSkinFormStyles& SkinFormStyles() const { return *FSkinFormStyles; }
    TSkinZoneViewStyles& SkinZoneViewStyles() const { return *FSkinZoneViewStyles; }
    TSkinZoneViewScrollBarStyles& SkinZoneViewItems() const { return *FSkinZoneViewItems; }
    TSkinPanelStyles& SkinPanelStyles() const { return *FSkinPanelStyles; }
    TSkinHeadFrameStyles& SkinHeadFrameStyles() const { return *FSkinHeadFrameStyles; }
    bool IsPrepareBuildBackGndImage() const { return FIsPrepareBuildBackGndImage; }
    void SetIsPrepareBuildBackGndImage(bool AValue) { FIsPrepareBuildBackGndImage = AValue; }
    const QString& FileName() const { return FSkinFile->FileName(); }
    bool Loaded() const { return FSkinFile->Loaded(); }
    const QString& SkinName() const { return FSkinFile->SkinName(); }
    const QString& SkinVersion() const { return FSkinFile->SkinVersion(); }

private:
    template <typename TLoad>
    bool ChangeSkin(const QString& ANewName, const QString& AOldName, bool AReload, TLoad ALoad);
    void RefillCatalogues();
    void LoadPopupMenuSettings();
    void SendToListeners(std::uint32_t TSkinListenerItem::*AMsg, quintptr AWParam);
    void SetBoundsAndAnchors(const QString& ANodeString, ISkinNodeControl& AControl) const;

    TFrameworkFont FSkinFont;
    std::unique_ptr<TSkinFile> FSkinFile;
    std::unique_ptr<TUserSkinConfig> FUserSkinConfig;
    std::vector<TSkinListenerItem> FSkinListeners;
    std::unique_ptr<TButtonStyles> FSkinButtonStyles;
    std::unique_ptr<TButtonStyles> FSkinBitButtonStyles;
    std::unique_ptr<TButtonStyles> FSkinSpeedButtonStyles;
    std::unique_ptr<TDropDownButtonStyles> FSkinDropDownButtonStyles;
    std::unique_ptr<TSkinPageControlStyles> FHorzPageControlStyles;
    std::unique_ptr<TSkinFormStyles> FSkinFormStyles;
    std::unique_ptr<TSkinZoneViewStyles> FSkinZoneViewStyles;
    std::unique_ptr<TSkinZoneViewScrollBarStyles> FSkinZoneViewItems;
    std::unique_ptr<TSkinPanelStyles> FSkinPanelStyles;
    std::unique_ptr<TSkinHeadFrameStyles> FSkinHeadFrameStyles;
    bool FIsPrepareBuildBackGndImage = true;
};

// The process's one manager, created on first use and destroyed at exit.
TSkinMng& SkinMng();

} // namespace velmora
