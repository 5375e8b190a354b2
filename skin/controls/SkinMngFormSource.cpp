#include "skin/controls/SkinMngFormSource.h"

#include "skin/controls/SkinControl.h"
#include "skin/data/SkinBackGroundItems.h"
#include "skin/data/SkinChangeEvent.h"
#include "skin/data/SkinControlClasses.h"
#include "skin/data/SkinFormStyleItem.h"
#include "skin/data/SkinMng.h"
#include "skin/drawing/GDIBIGIMGPro.h"
#include "skin/drawing/SkinColors.h"

#include <QWidget>

namespace velmora {

namespace {

TShadowMargins ToShadowMargins(const TMargin& m) {
    return TShadowMargins{m.LeftMargin, m.TopMargin, m.RightMargin, m.BottomMargin};
}

// The form style's background item drawn over the texture of a user skin item.
class TSufferBackGroundOf final : public TSkinBackGround {
public:
    TSufferBackGroundOf(const TSkinMng& AMng, TBaseSkinItem* ATexture)
        : FMng(AMng), FTexture(ATexture) {}
    QString Name() const override { return {}; }

    const QImage& BuildBackground(QSize size) override {
        FBuffer = QImage();
        TSufferBackGroundItem* item = Item();
        if (item != nullptr) {
            item->SetTextureGdiImage(FTexture != nullptr ? FTexture->TextureGdiImage() : nullptr);
            item->BuildBackgroundImage(size.width(), size.height());
            if (TGDIBIGIMGPro* picture = item->BackgroundGdiImage(); picture->Image()) {
                picture->SetBounds(0, 0, size.width(), size.height());
                picture->Build();
                // The element keeps its picture in one of two forms, by its buffer style.
                if (!picture->BufferBitmap().isNull())
                    FBuffer = picture->BufferBitmap();
                else if (picture->BufferGPBitmap())
                    FBuffer = picture->BufferGPBitmap()->Image().convertToFormat(
                        QImage::Format_ARGB32_Premultiplied);
            }
        }
        if (FBuffer.size() != size) {
            // Without a picture of that size the texture's mean colour stands in.
            FBuffer = QImage(size, QImage::Format_ARGB32_Premultiplied);
            FBuffer.fill(AverageColor());
        }
        return FBuffer;
    }
    const QImage* BackgroundBuffer() const override {
        return FBuffer.isNull() ? nullptr : &FBuffer;
    }
    TBaseSkinItem* SkinItem() const override { return FTexture; }
    QColor AverageColor() const override {
        return FTexture != nullptr ? QColor::fromRgba(FTexture->AverageGPColor())
                                   : QColor(0xF0, 0xF0, 0xF0);
    }

private:
    TSufferBackGroundItem* Item() const {
        const TSkinFormStyleItem* style = FMng.SkinFormStyles().FormStyleItem();
        return style != nullptr ? style->SufferBackGrounds().DefaultPngBkg() : nullptr;
    }

    const TSkinMng& FMng;
    TBaseSkinItem* FTexture;
    QImage FBuffer;
};

} // namespace

TSkinMngFormStyleSource::TSkinMngFormStyleSource(TSkinMng& AMng) : FMng(AMng) {}

TSkinMngFormStyleSource::~TSkinMngFormStyleSource() {
    if (SkinFormStyleSource() == this) {
        SetSkinFormStyleSource(nullptr);
        UnRegisterSkinControlClass(sccSkinCustomControl);
        UnRegisterSkinControlClass(sccFormDrawSkinCustomControl);
    }
}

void TSkinMngFormStyleSource::Install() {
    SetSkinFormStyleSource(this);
    RegisterSkinControlClass(sccSkinCustomControl, [this] {
        SkinChanged();
        TSkinCustomControl::AllMembersChangeSkinFile();
    });
    RegisterSkinControlClass(sccFormDrawSkinCustomControl,
                             [] { TFormDrawSkinCustomControl::AllMembersChangeSkinFile(); });
}

void TSkinMngFormStyleSource::SkinChanged() {
    if (FStyle)
        FOldStyles.push_back(std::move(FStyle));
    FStyleStale = true;
}

bool TSkinMngFormStyleSource::SkinLoaded() const {
    return FMng.Loaded();
}

std::unique_ptr<TSkinFormStyle> TSkinMngFormStyleSource::StyleOf(const TSkinMng& AMng) {
    const TSkinFormStyleItem* item = AMng.SkinFormStyles().FormStyleItem();
    if (item == nullptr)
        return nullptr;
    auto style = std::make_unique<TSkinFormStyle>();
    auto bmp = [item](TSysButton button, TSysButtonState state) {
        return item->SysBtnBmp(button, state);
    };
    style->MinBtnBmp_Normal = bmp(sysMin, sysNormal);
    style->MinBtnBmp_Hover = bmp(sysMin, sysHover);
    style->MinBtnBmp_Down = bmp(sysMin, sysDown);
    style->MaxBtnBmp_Normal = bmp(sysMax, sysNormal);
    style->MaxBtnBmp_Hover = bmp(sysMax, sysHover);
    style->MaxBtnBmp_Down = bmp(sysMax, sysDown);
    style->RestoreBtnBmp_Normal = bmp(sysRestore, sysNormal);
    style->RestoreBtnBmp_Hover = bmp(sysRestore, sysHover);
    style->RestoreBtnBmp_Down = bmp(sysRestore, sysDown);
    style->CloseBtnBmp_Normal = bmp(sysClose, sysNormal);
    style->CloseBtnBmp_Hover = bmp(sysClose, sysHover);
    style->CloseBtnBmp_Down = bmp(sysClose, sysDown);
    style->CloseBtnRight = item->CloseBtnRight();
    style->CloseBtnTop = item->CloseBtnTop();
    style->MaxBtnRight = item->MaxBtnRight();
    style->MaxBtnTop = item->MaxBtnTop();
    style->MinBtnRight = item->MinBtnRight();
    style->MinBtnTop = item->MinBtnTop();
    style->AppCaptionX = item->AppCaptionX();
    style->AppCaptionY = item->AppCaptionY();
    style->EnabledShadow = item->EnabledShadow();
    style->ShadowBitmap = item->ShadowImage(shwWhole);
    style->ShadowTopBitmap = item->ShadowImage(shwTop);
    style->ShadowLeftBitmap = item->ShadowImage(shwLeft);
    style->ShadowRightBitmap = item->ShadowImage(shwRight);
    style->ShadowBottomBitmap = item->ShadowImage(shwBottom);
    style->ShadowDrawMargin = ToShadowMargins(item->ShadowDrawMargin());
    style->ShadowSizeMargin = ToShadowMargins(item->ShadowSizeMargin());
    // Every background name of the style resolves to its one item.
    style->SufferBackGrounds.push_back(
        std::make_unique<TSufferBackGroundOf>(AMng, AMng.UserSkinConfig().AppUsedSkinItem()));
    return style;
}

const TSkinFormStyle* TSkinMngFormStyleSource::FormStyle() const {
    if (FStyleStale) {
        FStyle = StyleOf(FMng);
        FStyleStale = false;
    }
    return FStyle.get();
}

TSkinBackGround* TSkinMngFormStyleSource::BackGroundFor(TBaseSkinItem* AItem) const {
    std::unique_ptr<TSkinBackGround>& slot = FBackGrounds[AItem];
    if (!slot)
        slot = std::make_unique<TSufferBackGroundOf>(FMng, AItem);
    return slot.get();
}

TSkinBackGround* TSkinMngFormStyleSource::UserBackGround() const {
    return BackGroundFor(FMng.UserSkinConfig().AppUsedSkinItem());
}

QFont TSkinMngFormStyleSource::SkinFont() const {
    const TFrameworkFont& font = FMng.SkinFont();
    QFont result(font.Name);
    result.setPointSize(std::max(1, font.Size));
    result.setBold((font.Style & 1) != 0);
    result.setItalic((font.Style & 2) != 0);
    result.setUnderline((font.Style & 4) != 0);
    result.setStrikeOut((font.Style & 8) != 0);
    return result;
}

void TSkinMngFormStyleSource::RegisterListener(QWidget* window) {
    FMng.RegisterSkinListener(window, SkinFileChangedEvent, SkinBackGroundColorChangedEvent,
                              SkinBackGroundFileChangedEvent,
                              SkinBackGroundCustomColorChangedEvent);
}

void TSkinMngFormStyleSource::UnregisterListener(QWidget* window) {
    FMng.UnRegisterSkinListener(window);
}

TSkinBackGround* TSkinMngFormStyleSource::BackGroundOfMessage(quintptr wParam) {
    return BackGroundFor(reinterpret_cast<TBaseSkinItem*>(wParam));
}

} // namespace velmora
