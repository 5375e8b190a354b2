#include "skin/data/SkinStyleCatalogues.h"

#include "skin/data/SkinMng.h"
#include "skin/data/SkinTextParsers.h"
#include "skin/drawing/SkinEngineLog.h"

namespace velmora {
namespace {

const QString KControlStyle = QStringLiteral("ControlStyle\\");

QString Below(const QString& ABase, const char* AName) {
    return ABase + QLatin1Char('\\') + QString::fromLatin1(AName);
}

// One style per directory child of AFamilyPath, each loaded from its own directory.
template <typename TCatalogue, typename TLoader>
void LoadDirectoryFamily(TCatalogue& ACatalogue, const TSkinMng& AMng, const QString& AFamilyPath,
                         TLoader ALoader) {
    ACatalogue.Clear();
    const QStringList names = AMng.GetSkinNodesByName(AFamilyPath);
    for (const QString& name : names)
        ALoader(ACatalogue.AddStyle(name), AFamilyPath + QLatin1Char('\\') + name);
}

IGPBitmap Image(const TSkinMng& AMng, const QString& APath) {
    IGPBitmap bitmap;
    AMng.GetSkinImageByName(APath, bitmap);
    return bitmap;
}

constexpr const char* KButtonNodes[KSkinButtonStateCount] = {"Normal.png", "Hover.png", "Down.png",
                                                             "Disabled.png", "Focused.png"};
constexpr const char* KLeftNodes[KSkinButtonStateCount] = {
    "LeftNormal.png", "LeftHover.png", "LeftDown.png", "LeftDisabled.png", "LeftFocused.png"};
constexpr const char* KRightNodes[KSkinButtonStateCount] = {
    "RightNormal.png", "RightHover.png", "RightDown.png", "RightDisabled.png", "RightFocused.png"};

} // namespace

void TButtonStyles::LoadButtonStyles() {
    try {
        LoadDirectoryFamily(*this, FSkinMng, KControlStyle + FStyleNodeName,
                            [this](TSkinButtonStyleItem* AItem, const QString& APath) {
                                LoadButtonStyleItem(AItem, APath);
                            });
    } catch (const std::exception& error) {
        LogSkinFailure(ClassName(), nullptr, &error, QStringLiteral("LoadButtonStyles"));
    }
}

void TButtonStyles::LoadButtonStyleItem(TSkinButtonStyleItem* AItem,
                                        const QString& AStyleNodeName) {
    if (!FSkinMng.Loaded())
        return;
    try {
        for (int i = 0; i < KSkinButtonStateCount; ++i)
            AItem->SetBitmap(static_cast<TSkinButtonState>(i),
                             Image(FSkinMng, Below(AStyleNodeName, KButtonNodes[i])));
    } catch (const std::exception& error) {
        LogSkinFailure(ClassName(), nullptr, &error, QStringLiteral("LoadButtonStyleItem"));
    }
}

void TDropDownButtonStyles::LoadButtonStyles() {
    try {
        LoadDirectoryFamily(*this, FSkinMng, KControlStyle + FStyleNodeName,
                            [this](TSkinDropDownButtonStyleItem* AItem, const QString& APath) {
                                LoadButtonStyleItem(AItem, APath);
                            });
    } catch (const std::exception& error) {
        LogSkinFailure(ClassName(), nullptr, &error, QStringLiteral("LoadButtonStyles"));
    }
}

void TDropDownButtonStyles::LoadButtonStyleItem(TSkinDropDownButtonStyleItem* AItem,
                                                const QString& AStyleNodeName) {
    if (!FSkinMng.Loaded())
        return;
    try {
        std::int32_t width = 0;
        FSkinMng.GetSkinInt32ByName(Below(AStyleNodeName, "DropDownWidth"), width, 0);
        AItem->SetDropDownWidth(width);
        bool separate = false;
        FSkinMng.GetSkinBoolByName(Below(AStyleNodeName, "IsLeftRightBitmapSeperate"), separate,
                                   false);
        AItem->SetIsLeftRightBitmapSeperate(separate);
        for (int i = 0; i < KSkinButtonStateCount; ++i) {
            const auto state = static_cast<TSkinButtonState>(i);
            if (separate) {
                AItem->SetLeftBitmap(state, Image(FSkinMng, Below(AStyleNodeName, KLeftNodes[i])));
                AItem->SetRightBitmap(state,
                                      Image(FSkinMng, Below(AStyleNodeName, KRightNodes[i])));
            } else {
                AItem->SetBitmap(state, Image(FSkinMng, Below(AStyleNodeName, KButtonNodes[i])));
            }
        }
    } catch (const std::exception& error) {
        LogSkinFailure(ClassName(), nullptr, &error, QStringLiteral("LoadButtonStyleItem"));
    }
}

void TSkinPageControlStyles::LoadPageControlStyles() {
    LoadDirectoryFamily(*this, FSkinMng,
                        KControlStyle + QStringLiteral("PageControlEx\\") + FStyleNodeName,
                        [this](TSkinPageControlStyleItem* AItem, const QString& APath) {
                            LoadPageControlStyleItem(AItem, APath);
                        });
}

void TSkinPageControlStyles::LoadPageControlStyleItem(TSkinPageControlStyleItem* AItem,
                                                      const QString& AStyleNodeName) {
    if (!FSkinMng.Loaded())
        return;
    for (int i = 0; i < KPageControlImageCount; ++i)
        AItem->SetImage(static_cast<TPageControlImage>(i),
                        Image(FSkinMng, Below(AStyleNodeName, KPageControlImageNodes[i])));
}

void TSkinFormStyles::LoadSkinFormStyles() {
    try {
        Clear();
        LoadSkinFormStyleItem(AddStyle(FStyleNodeName), FStyleNodeName);
    } catch (const std::exception& error) {
        LogSkinFailure(ClassName(), nullptr, &error, QStringLiteral("LoadSkinFormStyles"));
    }
}

void TSkinFormStyles::LoadSkinFormStyleItem(TSkinFormStyleItem* AItem,
                                            const QString& AStyleNodeName) {
    if (!FSkinMng.Loaded())
        return;
    try {
        const QString configs = AStyleNodeName + QStringLiteral("\\SufferBackGroundConfigs");
        for (const QString& name : FSkinMng.GetSkinNodesByName(configs))
            AItem->SufferBackGrounds().LoadSufferBackGroundItem(FSkinMng, name,
                                                                configs + QLatin1Char('\\') + name);

        const QString sys = AStyleNodeName + QStringLiteral("\\SysBtns\\");
        const QString shadow = AStyleNodeName + QStringLiteral("\\Shadow\\");
        auto sysButton = [&](TSysButton AButton, const QString& APrefix) {
            static constexpr const char* states[] = {"Normal", "Hover", "Down"};
            for (int s = 0; s < 3; ++s)
                AItem->SetSysBtnBmp(AButton, static_cast<TSysButtonState>(s),
                                    Image(FSkinMng, sys + APrefix + QLatin1Char('_') +
                                                        QLatin1String(states[s]) +
                                                        QStringLiteral("_Active.png")));
        };
        sysButton(sysMin, QStringLiteral("Min"));
        sysButton(sysMax, QStringLiteral("Max"));
        static constexpr const char* shadows[] = {"ShadowBitmap.png", "ShadowTopBitmap.png",
                                                  "ShadowLeftBitmap.png", "ShadowRightBitmap.png",
                                                  "ShadowBottomBitmap.png"};
        for (int i = 0; i < 5; ++i)
            AItem->SetShadowImage(static_cast<TShadowImage>(i),
                                  Image(FSkinMng, shadow + QLatin1String(shadows[i])));
        FSkinMng.GetMarginByString(shadow + QStringLiteral("ShadowSizeMargin"),
                                   AItem->ShadowSizeMargin());
        FSkinMng.GetMarginByString(shadow + QStringLiteral("ShadowDrawMargin"),
                                   AItem->ShadowDrawMargin());
        bool enabled = false;
        FSkinMng.GetSkinBoolByName(shadow + QStringLiteral("EnabledShadow"), enabled, false);
        AItem->SetEnabledShadow(enabled);
        sysButton(sysRestore, QStringLiteral("Restore"));
        sysButton(sysClose, QStringLiteral("Close"));

        const QString position = sys + QStringLiteral("Position\\");
        auto integer = [&](const QString& APath, std::int32_t ADefault) {
            std::int32_t value = ADefault;
            FSkinMng.GetSkinInt32ByName(APath, value, ADefault);
            return value;
        };
        AItem->SetCloseBtnRight(integer(position + QStringLiteral("CloseBtnRight"), 37));
        AItem->SetCloseBtnTop(integer(position + QStringLiteral("CloseBtnTop"), 1));
        AItem->SetMaxBtnRight(integer(position + QStringLiteral("MaxBtnRight"), 64));
        AItem->SetMaxBtnTop(integer(position + QStringLiteral("MaxBtnTop"), 1));
        AItem->SetMinBtnRight(integer(position + QStringLiteral("MinBtnRight"), 90));
        AItem->SetMinBtnTop(integer(position + QStringLiteral("MinBtnTop"), 1));
        const QString caption = AStyleNodeName + QStringLiteral("\\AppCaption\\");
        AItem->SetAppCaptionX(integer(caption + QStringLiteral("X"), 5));
        AItem->SetAppCaptionY(integer(caption + QStringLiteral("Y"), 5));
    } catch (const std::exception& error) {
        LogSkinFailure(ClassName(), nullptr, &error, QStringLiteral("LoadSkinFormStyleItem"));
    }
}

void TSkinZoneViewStyles::LoadSkinZoneViewStyles() {
    LoadDirectoryFamily(*this, FSkinMng, KControlStyle + FStyleNodeName,
                        [this](TSkinZoneViewStyleItem* AItem, const QString& APath) {
                            LoadSkinZoneViewStyleItem(AItem, APath);
                        });
}

void TSkinZoneViewStyles::LoadSkinZoneViewStyleItem(TSkinZoneViewStyleItem* AItem,
                                                    const QString& AStyleNodeName) {
    if (!FSkinMng.Loaded())
        return;
    try {
        auto image = [&](TZoneViewImage AImage) {
            AItem->SetImage(AImage,
                            Image(FSkinMng, Below(AStyleNodeName, KZoneViewImageNodes[AImage])));
        };
        auto integer = [&](const char* AName, std::int32_t ADefault) {
            std::int32_t value = ADefault;
            FSkinMng.GetSkinInt32ByName(Below(AStyleNodeName, AName), value, ADefault);
            return value;
        };
        image(zviNodeExpandIcon);
        image(zviNodeCollapseIcon);
        AItem->SetIconXOffset(integer("ZoneIcons\\IconXOffset", 2));
        AItem->SetIconYOffset(integer("ZoneIcons\\IconYOffset", 3));
        for (int i = zviZoneActive; i < KZoneViewImageCount; ++i)
            image(static_cast<TZoneViewImage>(i));

        auto font = [&](TZoneViewFont AFont) {
            QString fontText;
            if (!FSkinMng.GetSkinStringByName(Below(AStyleNodeName, KZoneViewFontNodes[AFont]),
                                              fontText) ||
                fontText.isEmpty())
                return;
            try {
                ParseFontSpec(fontText, AItem->Font(AFont), true);
            } catch (const ESkinParseError&) {
                // A malformed font text keeps what was parsed before it, without a log entry.
            }
        };
        for (TZoneViewFont f : {zvfNodeNormal, zvfNodeActive, zvfNodeHover})
            font(f);
        AItem->SetNodeFontXOffset(integer("ZoneFont\\NodeFontXOffset", 20));
        AItem->SetNodeFontYOffset(integer("ZoneFont\\NodeFontYOffset", 5));
        for (int i = zvfNickNormal; i < KZoneViewFontCount; ++i)
            font(static_cast<TZoneViewFont>(i));
    } catch (const std::exception& error) {
        LogSkinFailure(ClassName(), nullptr, &error, QStringLiteral("LoadSkinZoneViewStyleItem"));
    }
}

void TSkinZoneViewScrollBarStyles::LoadSkinZoneViewItems() {
    LoadDirectoryFamily(*this, FSkinMng, KControlStyle + FStyleNodeName,
                        [this](TSkinZoneViewScrollBarItem* AItem, const QString& APath) {
                            LoadSkinZoneViewItem(AItem, APath);
                        });
}

void TSkinZoneViewScrollBarStyles::LoadSkinZoneViewItem(TSkinZoneViewScrollBarItem* AItem,
                                                        const QString& AStyleNodeName) {
    if (!FSkinMng.Loaded())
        return;
    try {
        for (int i = 0; i < KScrollBarImageCount; ++i)
            AItem->SetBitmap(static_cast<TScrollBarImage>(i),
                             Image(FSkinMng, Below(AStyleNodeName, KScrollBarImageNodes[i])));
    } catch (const std::exception& error) {
        LogSkinFailure(ClassName(), nullptr, &error, QStringLiteral("LoadSkinZoneViewItem"));
    }
}

void TSkinPanelStyles::LoadSkinPanelStyles() {
    Clear();
    LoadSkinPanelStyleItem(AddStyle(QStringLiteral("Panel")), KControlStyle + FStyleNodeName);
}

void TSkinPanelStyles::LoadSkinPanelStyleItem(TSkinPanelStyleItem* AItem,
                                              const QString& AStyleNodeName) {
    if (!FSkinMng.Loaded())
        return;
    AItem->SetFormClientPanelBackImage(
        Image(FSkinMng, Below(AStyleNodeName, "FormClientPanelBackImage")));
}

void TSkinHeadFrameStyles::LoadSkinHeadFrameStyles() {
    LoadDirectoryFamily(*this, FSkinMng, KControlStyle + FStyleNodeName,
                        [this](TSkinHeadFrameStyleItem* AItem, const QString& APath) {
                            LoadSkinHeadFrameStyleItem(AItem, APath);
                        });
}

void TSkinHeadFrameStyles::LoadSkinHeadFrameStyleItem(TSkinHeadFrameStyleItem* AItem,
                                                      const QString& AStyleNodeName) {
    if (!FSkinMng.Loaded())
        return;
    AItem->SetFrameActive(Image(FSkinMng, Below(AStyleNodeName, "FrameActive")));
    AItem->SetFrameNormal(Image(FSkinMng, Below(AStyleNodeName, "FrameNormal")));
    std::int32_t margin = 4;
    FSkinMng.GetSkinInt32ByName(Below(AStyleNodeName, "FrameMargin"), margin, 4);
    AItem->SetFrameMargin(margin);
}

} // namespace velmora
