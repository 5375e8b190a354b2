#include "skin/data/SkinMng.h"

#include "platform/graphics/RenderingsInUse.h"
#include "skin/data/SkinChangeEvent.h"
#include "skin/data/SkinControlClasses.h"
#include "skin/data/SkinPopupMenuSettings.h"
#include "skin/data/SkinTextParsers.h"
#include "skin/drawing/DefaultSkinFont.h"
#include "skin/drawing/GdiSkinHelper.h"
#include "skin/drawing/SkinEngineLog.h"

#include <QCoreApplication>
#include <algorithm>

namespace velmora {
namespace {

// Lower-cases ASCII letters only, as skin names are compared.
QString AsciiLower(const QString& AText) {
    QString result = AText;
    for (QChar& c : result)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    return result;
}

template <typename Body> void LoggedParse(const QString& ATag, Body ABody) {
    try {
        ABody();
    } catch (const std::exception& error) {
        LogSkinFailure(TSkinMng::ClassName(), nullptr, &error, ATag);
    }
}

void TrimWorkingSet() {
    try {
        ClearMemory();
    } catch (const std::exception& error) {
        LogSkinFailure(TSkinMng::ClassName(), nullptr, &error, QStringLiteral("ClearMemory"));
    }
}

} // namespace

TSkinMng::TSkinMng() {
    const TDefaultSkinFont face = DefaultSkinFont();
    FSkinFont.Name = face.Family;
    FSkinFont.Size = face.Size;
    FSkinFile = std::make_unique<TSkinFile>();
    FUserSkinConfig = std::make_unique<TUserSkinConfig>(*this);
    FSkinButtonStyles = std::make_unique<TButtonStyles>(*this);
    FSkinBitButtonStyles = std::make_unique<TButtonStyles>(*this);
    FSkinSpeedButtonStyles = std::make_unique<TButtonStyles>(*this);
    FSkinDropDownButtonStyles = std::make_unique<TDropDownButtonStyles>(*this);
    FHorzPageControlStyles = std::make_unique<TSkinPageControlStyles>(*this);
    FSkinFormStyles = std::make_unique<TSkinFormStyles>(*this);
    FSkinZoneViewStyles = std::make_unique<TSkinZoneViewStyles>(*this);
    FSkinZoneViewItems = std::make_unique<TSkinZoneViewScrollBarStyles>(*this);
    FSkinPanelStyles = std::make_unique<TSkinPanelStyles>(*this);
    FSkinHeadFrameStyles = std::make_unique<TSkinHeadFrameStyles>(*this);
    FSkinButtonStyles->SetStyleNodeName(QStringLiteral("Button"));
    FSkinBitButtonStyles->SetStyleNodeName(QStringLiteral("BitButton"));
    FSkinSpeedButtonStyles->SetStyleNodeName(QStringLiteral("SpeedButton"));
    FSkinDropDownButtonStyles->SetStyleNodeName(QStringLiteral("DropDownButton"));
    FHorzPageControlStyles->SetStyleNodeName(QStringLiteral("Horizontal"));
    FSkinFormStyles->SetStyleNodeName(QStringLiteral("SkinForm"));
    FSkinZoneViewStyles->SetStyleNodeName(QStringLiteral("ZoneViewStyle"));
    FSkinZoneViewItems->SetStyleNodeName(QStringLiteral("ZoneViewScrollBar"));
    FSkinPanelStyles->SetStyleNodeName(QStringLiteral("Panel"));
    FSkinHeadFrameStyles->SetStyleNodeName(QStringLiteral("HeadFrame"));
}

TSkinMng::~TSkinMng() {
    FUserSkinConfig.reset();
    FSkinFile.reset();
    FSkinListeners.clear();
}

TSkinMng& SkinMng() {
    static TSkinMng manager;
    return manager;
}

// ---- skin changes --------------------------------------------------------------------------

template <typename TLoad>
bool TSkinMng::ChangeSkin(const QString& ANewName, const QString& AOldName, bool AReload,
                          TLoad ALoad) {
    if (!AReload && FSkinFile->Loaded() && AsciiLower(ANewName) == AsciiLower(AOldName))
        return false;
    // The skin's 2x pictures are read only when a screen draws from them: on screens of one
    // device pixel per logical pixel they would be decoded at every start and never shown.
    FSkinFile->SetReadsVariants(!RenderingsInUse({2}).empty());
    if (!ALoad())
        return false;
    try {
        RefillCatalogues();
    } catch (...) {
        // Controls may still point at items of the catalogue that was being refilled; they
        // must look up again before the error goes on.
        NotifySkinControlClasses();
        throw;
    }
    NotifySkinControlClasses();
    FUserSkinConfig->LoadDefaultSkinItem();
    FUserSkinConfig->SetAppUsedSkinItem(FUserSkinConfig->DefaultSkinItem());
    SendToListeners(&TSkinListenerItem::ChangeSkinFileMsg, 0);
    TrimWorkingSet();
    return true;
}

bool TSkinMng::ChangeSkinRes(const QString& AResName, bool AReload) {
    return ChangeSkin(AResName, FSkinFile->ResName(), AReload,
                      [&] { return FSkinFile->LoadSkinRes(AResName); });
}

bool TSkinMng::ChangeSkinFile(const QString& AFileName, bool AReload) {
    return ChangeSkin(AFileName, FSkinFile->FileName(), AReload,
                      [&] { return FSkinFile->LoadSkinFile(AFileName); });
}

void TSkinMng::RefillCatalogues() {
    FSkinButtonStyles->LoadButtonStyles();
    FSkinBitButtonStyles->LoadButtonStyles();
    FSkinSpeedButtonStyles->LoadButtonStyles();
    FSkinDropDownButtonStyles->LoadButtonStyles();
    FHorzPageControlStyles->LoadPageControlStyles();
    FSkinFormStyles->LoadSkinFormStyles();
    FSkinZoneViewStyles->LoadSkinZoneViewStyles();
    FSkinZoneViewItems->LoadSkinZoneViewItems();
    FSkinPanelStyles->LoadSkinPanelStyles();
    FSkinHeadFrameStyles->LoadSkinHeadFrameStyles();
    LoadPopupMenuSettings();
}

void TSkinMng::LoadPopupMenuSettings() {
    TSkinPopupMenuSettings& menu = SkinPopupMenuSettings();
    const QString base = QStringLiteral("ControlStyle\\PopupMenu\\");
    auto integer = [&](const char* AName, int ADefault) {
        std::int32_t value = ADefault;
        GetSkinInt32ByName(base + QLatin1String(AName), value, ADefault);
        return value;
    };
    bool enabled = false;
    GetSkinBoolByName(base + QStringLiteral("MenuArrowBitmap"), enabled, false);
    menu.SkinPopupMenu = enabled;
    if (!enabled)
        return;
    const std::pair<TGDIIMGADV*, const char*> images[] = {
        {menu.ArrowElement.get(), "MenuArrowBitmap"},   {menu.BkgElement.get(), "MenuBkgBitmap"},
        {menu.CheckElement.get(), "MenuCheck"},         {menu.CutlingElement.get(), "MenuCutling"},
        {menu.HighLightElement.get(), "MenuHighLight"}, {menu.CoverElement.get(), "MenuCover"}};
    for (const auto& [element, name] : images) {
        IGPBitmap bitmap;
        GetSkinImageByName(base + QLatin1String(name), bitmap);
        element->SetImage(bitmap);
        element->SetStrecthMode(smStretchBoth);
    }
    menu.MenuBkgBitmapTopMargin = integer("MenuBkgBitmapTopMargin", 9);
    menu.MenuBkgBitmapLeftMargin = integer("MenuBkgBitmapLeftMargin", 33);
    menu.MenuBkgBitmapRightMargin = integer("MenuBkgBitmapRightMargin", 8);
    menu.MenuBkgBitmapBottomMargin = integer("MenuBkgBitmapBottomMargin", 9);
    menu.MenuCutlingDrawLeftMargin = integer("MenuCutlingDrawLeftMargin", 33);
    menu.MenuCutlingDrawRightMargin = integer("MenuCutlingDrawRightMargin", 8);
    menu.MenuCutlingHeight = integer("MenuCutlingHeight", 3);
    menu.MenuCutlingDrawHeight = integer("MenuCutlingDrawHeight", 1);
    menu.MenuBkgBitmapStretchMode = StretchModeFromInt(integer("MenuBkgBitmapStrecthMode", 0));
    menu.BkgElement->SetMargin(menu.MenuBkgBitmapLeftMargin, menu.MenuBkgBitmapTopMargin,
                               menu.MenuBkgBitmapRightMargin, menu.MenuBkgBitmapBottomMargin);
    menu.CoverElement->SetMargin(menu.MenuBkgBitmapLeftMargin, 0, menu.MenuBkgBitmapRightMargin, 0);
    menu.MenuHighLightDrawLeftMargin = integer("MenuHighLightDrawLeftMargin", 7);
    menu.MenuHighLightDrawRightMargin = integer("MenuHighLightDrawRightMargin", 7);
    menu.MenuHighLightDrawTopMargin = integer("MenuHighLightDrawTopMargin", -1);
    menu.MenuHighLightDrawBottomMargin = integer("MenuHighLightDrawBottomMargin", 0);
    menu.MenuIconDrawLeftMargin = integer("MenuIconDrawLeftMargin", 7);
    menu.MenuArrowBitmapDrawRightMargin = integer("MenuArrowBitmapDrawRightMargin", 20);
    menu.ArrowElement->SetWidth(menu.ArrowElement->ImageWidth());
    menu.ArrowElement->SetHeight(menu.ArrowElement->ImageHeight());
    menu.MenuCaptionDrawLeftMargin = integer("MenuCaptionDrawLeftMargin", 33);
    menu.MenuItemsDrawTopMargin = integer("MenuItemsDrawTopMargin", 8);
    menu.MenuOtherHeight = integer("MenuOtherHeight", 14);
    menu.MenuOtherWidth = integer("MenuOtherWidth", 74);
}

// ---- listeners -----------------------------------------------------------------------------

bool TSkinMng::RegisterSkinListener(QObject* AListenerWindow, std::uint32_t AChangeSkinFileMsg,
                                    std::uint32_t AChangeSkinBackGroundColorMsg,
                                    std::uint32_t AChangeSkinBackGroundFileMsg,
                                    std::uint32_t AChangeSkinBackGroundCustomColorMsg) {
    if (AListenerWindow == nullptr)
        return false;
    // A window that died without unregistering cannot be told anything; dropping it here
    // keeps a new window at the same address from being taken for it.
    std::erase_if(FSkinListeners,
                  [](const TSkinListenerItem& AItem) { return AItem.ListenerWindow.isNull(); });
    for (const TSkinListenerItem& item : FSkinListeners)
        if (item.Identity == AListenerWindow)
            return false;
    FSkinListeners.push_back({AListenerWindow, AListenerWindow, AChangeSkinFileMsg,
                              AChangeSkinBackGroundColorMsg, AChangeSkinBackGroundFileMsg,
                              AChangeSkinBackGroundCustomColorMsg});
    return true;
}

void TSkinMng::UnRegisterSkinListener(const QObject* AListenerWindow) {
    const auto found = std::find_if(
        FSkinListeners.begin(), FSkinListeners.end(),
        [&](const TSkinListenerItem& AItem) { return AItem.Identity == AListenerWindow; });
    if (found != FSkinListeners.end())
        FSkinListeners.erase(found);
}

void TSkinMng::SendToListeners(std::uint32_t TSkinListenerItem::*AMsg, quintptr AWParam) {
    // A listener may unregister (or register another) while it handles its event, so the
    // walk goes over a snapshot and re-checks each window.
    const std::vector<TSkinListenerItem> snapshot = FSkinListeners;
    for (const TSkinListenerItem& item : snapshot) {
        QObject* window = item.ListenerWindow.data();
        if (window == nullptr)
            continue;
        TSkinChangeEvent event(item.*AMsg, AWParam, 0);
        QCoreApplication::sendEvent(window, &event);
    }
}

// ---- background changes --------------------------------------------------------------------

void TSkinMng::ChangeSkinBackGround(TBaseSkinItem* AItem) {
    TBaseSkinItem* used = FUserSkinConfig->AppUsedSkinItem();
    if (used != nullptr && used != AItem)
        used->FreeImage();
    if (dynamic_cast<TSkinBackGroundFileItem*>(AItem) != nullptr)
        ChangeSkinBackGroundFile(AItem);
    else if (const auto* colour = dynamic_cast<TSkinBackGroundColorItem*>(AItem)) {
        if (colour->IsCustom())
            ChangeSkinBackGroundCustomColor(AItem);
        else
            ChangeSkinBackGroundColor(AItem);
    }
}

void TSkinMng::ChangeSkinBackGroundFile(TBaseSkinItem* AItem) {
    if (!Loaded())
        return;
    SendToListeners(&TSkinListenerItem::ChangeSkinBackGroundFileMsg,
                    reinterpret_cast<quintptr>(AItem));
    TrimWorkingSet();
}

void TSkinMng::ChangeSkinBackGroundColor(TBaseSkinItem* AItem) {
    if (!Loaded())
        return;
    SendToListeners(&TSkinListenerItem::ChangeSkinBackGroundColorMsg,
                    reinterpret_cast<quintptr>(AItem));
    TrimWorkingSet();
}

void TSkinMng::ChangeSkinBackGroundCustomColor(TBaseSkinItem* AItem) {
    if (!Loaded())
        return;
    SendToListeners(&TSkinListenerItem::ChangeSkinBackGroundCustomColorMsg,
                    reinterpret_cast<quintptr>(AItem));
    TrimWorkingSet();
}

// ---- look-ups with value results -----------------------------------------------------------

QString TSkinMng::GetSkinStringByName(const QString& AName) const {
    QString value;
    GetSkinStringByName(AName, value, QString());
    return value;
}

std::int32_t TSkinMng::GetSkinInt32ByName(const QString& AName) const {
    std::int32_t value = 0;
    GetSkinInt32ByName(AName, value, 0);
    return value;
}

float TSkinMng::GetSkinFloatByName(const QString& AName) const {
    float value = 0;
    GetSkinFloatByName(AName, value, 0);
    return value;
}

double TSkinMng::GetSkinDoubleByName(const QString& AName) const {
    double value = 0;
    GetSkinDoubleByName(AName, value, 0);
    return value;
}

bool TSkinMng::GetSkinBoolByName(const QString& AName) const {
    bool value = false;
    GetSkinBoolByName(AName, value, false);
    return value;
}

QUuid TSkinMng::GetSkinGuidByName(const QString& AName) const {
    QUuid value;
    GetSkinGuidByName(AName, value);
    return value;
}

// ---- text formats --------------------------------------------------------------------------

void TSkinMng::GetMarginByString(const QString& AString, int& ALeftMargin, int& ATopMargin,
                                 int& ARightMargin, int& ABottomMargin) const {
    const QString text = GetSkinStringByName(AString);
    LoggedParse(QStringLiteral("GetMarginByString"), [&] {
        ParseMarginText(text, ALeftMargin, ATopMargin, ARightMargin, ABottomMargin);
    });
}

void TSkinMng::GetMarginByString(const QString& AString, TMargin& AMargin) const {
    GetMarginByString(AString, AMargin.LeftMargin, AMargin.TopMargin, AMargin.RightMargin,
                      AMargin.BottomMargin);
}

void TSkinMng::GetBoundsByString(const QString& AString, int& ALeft, int& ATop, int& AWidth,
                                 int& AHeight, int& ALeftTopMargin) const {
    LoggedParse(QStringLiteral("GetBoundsByString"),
                [&] { ParseBoundsText(AString, ALeft, ATop, AWidth, AHeight, ALeftTopMargin); });
}

void TSkinMng::GetImageSettingByString(const QString& AString, QString& AImageString, int& ALeft,
                                       int& ATop, int& AWidth, int& AHeight,
                                       TStretchMode& AStretchMode) const {
    LoggedParse(QStringLiteral("GetImageSettingByString"), [&] {
        ParseImageSettingText(AString, AImageString, ALeft, ATop, AWidth, AHeight, AStretchMode);
    });
}

TSkinAnchors TSkinMng::GetAnchorsByString(const QString& AString) const {
    TSkinAnchors anchors = 0;
    LoggedParse(QStringLiteral("GetAnchorsByString"), [&] { anchors = ParseAnchorsText(AString); });
    return anchors;
}

TStretchMode TSkinMng::GetStretchModeByString(const QString& AString) const {
    std::int32_t value = smStretchBoth;
    GetSkinInt32ByName(AString, value, smStretchBoth);
    return StretchModeFromInt(value);
}

IGPBitmap TSkinMng::GetPartOfImage(const IGPBitmap& AImage, int ATop, int ALeft, int AWidth,
                                   int AHeight) const {
    if (!AImage)
        return {};
    IGPBitmap part = NewGPBitmap(AWidth, AHeight);
    if (!part)
        return {};
    // Only the overlap with the source is copied, so a rectangle reaching past the picture
    // never reads outside it.
    const QRect source = QRect(ALeft, ATop, AWidth, AHeight) & AImage->Image().rect();
    const QImage straight = AImage->Image().convertToFormat(QImage::Format_ARGB32);
    for (int y = source.top(); y <= source.bottom(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(straight.constScanLine(y));
        for (int x = source.left(); x <= source.right(); ++x)
            part->SetPixel(x - ALeft, y - ATop, from[x]);
    }
    // A part of a picture with sharper renderings is as sharp as they are.
    CropVariants(*AImage, QRect(ALeft, ATop, AWidth, AHeight), *part);
    return part;
}

// ---- controls from skin nodes --------------------------------------------------------------

void TSkinMng::AlignSkinControl(ISkinNodeControl& ASkinControl) const {
    TRect r;
    if (!ASkinControl.ParentSkinClientRect(r))
        return;
    const TMargin m = ASkinControl.GetAnchorMargin();
    const int x = m.LeftMargin;
    const int y = m.TopMargin;
    const int w = m.RightMargin;
    const int h = m.BottomMargin;
    switch (ASkinControl.GetAnchorMarginType()) {
    case 0:
        ASkinControl.SetControlBounds(r.Left + x, r.Top + y, w, h);
        break;
    case 1:
        ASkinControl.SetControlBounds(r.Right - r.Left - x, r.Top + y, w, h);
        break;
    case 2:
        ASkinControl.SetControlBounds(r.Left + x, r.Bottom - r.Top - y, w, h);
        break;
    case 3:
        ASkinControl.SetControlBounds(r.Right - r.Left - x, r.Bottom - r.Top - y, w, h);
        break;
    case 5:
        ASkinControl.SetControlBounds(r.Left + x, r.Top + y, r.Right - r.Left - w, h);
        break;
    default:
        break;
    }
}

void TSkinMng::SetBoundsAndAnchors(const QString& ANodeString, ISkinNodeControl& AControl) const {
    TMargin margin = AControl.GetAnchorMargin();
    int type = AControl.GetAnchorMarginType();
    GetBoundsByString(GetSkinStringByName(ANodeString + QStringLiteral("\\Bounds")),
                      margin.LeftMargin, margin.TopMargin, margin.RightMargin, margin.BottomMargin,
                      type);
    AControl.SetAnchorMargin(margin);
    AControl.SetAnchorMarginType(type);
    AlignSkinControl(AControl);
    const QString anchors = GetSkinStringByName(ANodeString + QStringLiteral("\\Anchors"));
    if (!anchors.isEmpty())
        AControl.SetSkinAnchors(GetAnchorsByString(anchors));
}

void TSkinMng::SetSkinLabelBySkinNode(const QString& ANodeString,
                                      ISkinNodeControl& ASkinLabel) const {
    SetBoundsAndAnchors(ANodeString, ASkinLabel);
}

void TSkinMng::SetSkinPanelBySkinNode(const QString& ANodeString,
                                      ISkinNodePanel& ASkinPanel) const {
    SetBoundsAndAnchors(ANodeString, ASkinPanel);
    IGPBitmap bitmap;
    try {
        GetSkinImageByName(ANodeString + QStringLiteral("\\BackGround"), bitmap);
    } catch (const std::exception& error) {
        LogSkinFailure(ClassName(), nullptr, &error, QStringLiteral("SetSkinPanelBySkinNode"));
    }
    ASkinPanel.SetSkinBitmap(bitmap);
}

namespace {

// The picture a setting text names below ANodeString, cut to the setting's rectangle.
IGPBitmap ImageBySetting(const TSkinMng& AMng, const QString& ANodeString,
                         const QString& ASettingPath) {
    const QString setting = AMng.GetSkinStringByName(ASettingPath);
    if (setting.isEmpty())
        return {};
    QString image;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    TStretchMode mode = smStretchBoth;
    AMng.GetImageSettingByString(setting, image, left, top, width, height, mode);
    IGPBitmap whole;
    try {
        AMng.GetSkinImageByName(ANodeString + QLatin1Char('\\') + image, whole);
    } catch (const std::exception& error) {
        LogSkinFailure(TSkinMng::ClassName(), nullptr, &error,
                       QStringLiteral("GetImageSettingByString"));
        return {};
    }
    return AMng.GetPartOfImage(whole, top, left, width, height);
}

} // namespace

void TSkinMng::SetSkinImageBoxBySkinNode(const QString& ANodeString,
                                         ISkinNodeImageBox& ASkinImageBox) const {
    if (!GetSkinBoolByName(ANodeString + QStringLiteral("\\Customize")))
        return;
    SetBoundsAndAnchors(ANodeString, ASkinImageBox);
    const QString normal = ANodeString + QStringLiteral("\\NormalImageSetting");
    if (!GetSkinStringByName(normal).isEmpty())
        ASkinImageBox.SetNormalBitmap(ImageBySetting(*this, ANodeString, normal));
    const QString active = ANodeString + QStringLiteral("\\ActiveImageSetting");
    if (!GetSkinStringByName(active).isEmpty())
        ASkinImageBox.SetActiveBitmap(ImageBySetting(*this, ANodeString, active));
}

void TSkinMng::SetSpeedButtonBySkinNode(const QString& ANodeString,
                                        ISkinNodeSpeedButton& ASpeedButton) const {
    if (!GetSkinBoolByName(ANodeString + QStringLiteral("\\Customize")))
        return;
    SetBoundsAndAnchors(ANodeString, ASpeedButton);
    static constexpr const char* settings[] = {"NormalImageSetting", "DownImageSetting",
                                               "HoverImageSetting", "DisabledImageSetting",
                                               "FocusedImageSetting"};
    for (int state = 0; state < 5; ++state) {
        const QString path = ANodeString + QLatin1Char('\\') + QLatin1String(settings[state]);
        if (!GetSkinStringByName(path).isEmpty())
            ASpeedButton.SetStateBitmap(state, ImageBySetting(*this, ANodeString, path));
    }
    ASpeedButton.SetIsDrawIconCaption(
        GetSkinBoolByName(ANodeString + QStringLiteral("\\IsDrawIconCaption")));
    ASpeedButton.SetTransparent(GetSkinBoolByName(ANodeString + QStringLiteral("\\Transparent")));
}

} // namespace velmora
