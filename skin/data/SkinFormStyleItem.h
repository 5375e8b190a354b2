#pragma once

#include "platform/graphics/GPBitmap.h"
#include "skin/data/SkinDataTypes.h"
#include "skin/drawing/GDIBIGIMGPro.h"

#include <QString>
#include <array>
#include <memory>

namespace velmora {

class TSkinMng;

// A window background made of a texture underneath (owned elsewhere) and an overlay picture
// from the skin, composed once into one big-image element.
class TSufferBackGroundItem {
public:
    TSufferBackGroundItem();
    ~TSufferBackGroundItem();
    TSufferBackGroundItem(const TSufferBackGroundItem&) = delete;
    TSufferBackGroundItem& operator=(const TSufferBackGroundItem&) = delete;

    static QString ClassName() { return QStringLiteral("TSufferBackGroundItem"); }

    const QString& StyleName() const { return FStyleName; }
    void SetStyleName(const QString& AValue) { FStyleName = AValue; }
    const IGPBitmap& Image() const { return FImage; }
    void SetImage(const IGPBitmap& AValue);
    const TMargin& Margin() const { return FMargin; }
    void SetMargin(const TMargin& AValue);
    const TMargin& ClipMargin() const { return FClipMargin; }
    void SetClipMargin(const TMargin& AValue);
    TStretchMode StretchMode() const { return FStretchMode; }
    void SetStretchMode(TStretchMode AValue);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool AValue) { FStretch = AValue; }

    TGDIBIGIMGPro* SufferTextureGdiImage() const { return FSufferTextureGdiImage.get(); }
    TGDIBIGIMGPro* TextureGdiImage() const { return FTextureGdiImage; }
    // A reference; the caller keeps the element alive while it is set here.
    void SetTextureGdiImage(TGDIBIGIMGPro* AValue);
    TGDIBIGIMGPro* BackgroundGdiImage() const { return FBackgroundGdiImage.get(); }
    const IGPBitmap& BackgroundBitmap() const { return FBackgroundBitmap; }
    bool RebuildBackgroundImage() const { return FRebuildBackgroundImage; }

    // Composes the texture and the picture at a window's size, at ARatio device pixels per
    // logical pixel (the window's); a new ratio composes again.
    void BuildBackgroundImage(int AWindowWidth, int AWindowHeight, qreal ARatio = 1);
    void UnBuildBackgroundImage();

private:
    QString FStyleName;
    IGPBitmap FImage;
    TMargin FMargin;
    TMargin FClipMargin;
    TStretchMode FStretchMode = smStretchBoth;
    bool FStretch = false;
    std::unique_ptr<TGDIBIGIMGPro> FSufferTextureGdiImage;
    TGDIBIGIMGPro* FTextureGdiImage = nullptr;
    std::unique_ptr<TGDIBIGIMGPro> FBackgroundGdiImage;
    IGPBitmap FBackgroundBitmap;
    bool FRebuildBackgroundImage = true;
    qreal FBackgroundRatio = 1;
};

// The form's background configurations: one item that every name resolves to.
class TSufferBackGrounds {
public:
    TSufferBackGroundItem* DefaultPngBkg() const { return FDefaultPngBkg.get(); }
    TSufferBackGroundItem* GetItem(const QString& AName) const;
    // Loads the one item from the skin directory ASkinNodeName of AMng's skin; errors are
    // logged and end the item.
    void LoadSufferBackGroundItem(const TSkinMng& AMng, const QString& AName,
                                  const QString& ASkinNodeName);

private:
    std::unique_ptr<TSufferBackGroundItem> FDefaultPngBkg =
        std::make_unique<TSufferBackGroundItem>();
};

// The system buttons' pictures: minimise, maximise, restore, close; normal, hover, down.
enum TSysButton : int { sysMin, sysMax, sysRestore, sysClose };
enum TSysButtonState : int { sysNormal, sysHover, sysDown };
// The shadow pictures: whole, top, left, right, bottom.
enum TShadowImage : int { shwWhole, shwTop, shwLeft, shwRight, shwBottom };

class TSkinFormStyleItem {
public:
    const QString& StyleName() const { return FStyleName; }
    void SetStyleName(const QString& AValue) { FStyleName = AValue; }

    const IGPBitmap& SysBtnBmp(TSysButton AButton, TSysButtonState AState) const {
        return FSysBtns[AButton][AState];
    }
    void SetSysBtnBmp(TSysButton AButton, TSysButtonState AState, const IGPBitmap& AValue) {
        FSysBtns[AButton][AState] = AValue;
    }
    const IGPBitmap& CloseBtnBmp_Normal() const { return SysBtnBmp(sysClose, sysNormal); }
    const IGPBitmap& ShadowImage(TShadowImage AImage) const { return FShadow[AImage]; }
    void SetShadowImage(TShadowImage AImage, const IGPBitmap& AValue) { FShadow[AImage] = AValue; }
    const IGPBitmap& ShadowBitmap() const { return ShadowImage(shwWhole); }

    int CloseBtnRight() const { return FCloseBtnRight; }
    void SetCloseBtnRight(int AValue) { FCloseBtnRight = AValue; }
    int CloseBtnTop() const { return FCloseBtnTop; }
    void SetCloseBtnTop(int AValue) { FCloseBtnTop = AValue; }
    int MaxBtnRight() const { return FMaxBtnRight; }
    void SetMaxBtnRight(int AValue) { FMaxBtnRight = AValue; }
    int MaxBtnTop() const { return FMaxBtnTop; }
    void SetMaxBtnTop(int AValue) { FMaxBtnTop = AValue; }
    int MinBtnRight() const { return FMinBtnRight; }
    void SetMinBtnRight(int AValue) { FMinBtnRight = AValue; }
    int MinBtnTop() const { return FMinBtnTop; }
    void SetMinBtnTop(int AValue) { FMinBtnTop = AValue; }
    int AppCaptionX() const { return FAppCaptionX; }
    void SetAppCaptionX(int AValue) { FAppCaptionX = AValue; }
    int AppCaptionY() const { return FAppCaptionY; }
    void SetAppCaptionY(int AValue) { FAppCaptionY = AValue; }
    bool EnabledShadow() const { return FEnabledShadow; }
    void SetEnabledShadow(bool AValue) { FEnabledShadow = AValue; }
    const TMargin& ShadowSizeMargin() const { return FShadowSizeMargin; }
    TMargin& ShadowSizeMargin() { return FShadowSizeMargin; }
    const TMargin& ShadowDrawMargin() const { return FShadowDrawMargin; }
    TMargin& ShadowDrawMargin() { return FShadowDrawMargin; }
    bool IsDrawCaption() const { return FIsDrawCaption; }
    void SetIsDrawCaption(bool AValue) { FIsDrawCaption = AValue; }
    TSufferBackGrounds& SufferBackGrounds() { return FSufferBackGrounds; }
    const TSufferBackGrounds& SufferBackGrounds() const { return FSufferBackGrounds; }

private:
    QString FStyleName;
    std::array<std::array<IGPBitmap, 3>, 4> FSysBtns;
    std::array<IGPBitmap, 5> FShadow;
    int FCloseBtnRight = 37;
    int FCloseBtnTop = 1;
    int FMaxBtnRight = 64;
    int FMaxBtnTop = 1;
    int FMinBtnRight = 90;
    int FMinBtnTop = 1;
    int FAppCaptionX = 5;
    int FAppCaptionY = 5;
    bool FEnabledShadow = false;
    TMargin FShadowSizeMargin;
    TMargin FShadowDrawMargin;
    bool FIsDrawCaption = false;
    TSufferBackGrounds FSufferBackGrounds;
};

} // namespace velmora
