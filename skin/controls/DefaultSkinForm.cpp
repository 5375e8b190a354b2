#include "skin/controls/DefaultSkinForm.h"

#include "skin/data/SkinFormStyleItem.h"
#include "skin/drawing/GdiSkinHelper.h"

#include <QEvent>
#include <algorithm>

namespace velmora {

TDefaultSkinForm::TDefaultSkinForm(QWidget* parent)
    : TBaseSkinForm(parent), FCaptionText(std::make_unique<TGDIText>()) {
    Guarded(QStringLiteral("Create"), [&] {
        FCaptionText->SetPrintStyle(psPoint);
        FCaptionText->SetFontStyle(FontStyleBold);
        FCaptionText->SetIsDrawShadow(true);
        FCloseBtn = new TSysCloseBtn(this);
        FMaxBtn = new TSysMaxBtn(this);
        FMinBtn = new TSysMinBtn(this);
        FCloseBtn->setToolTip(QStringLiteral("关闭"));
        FMaxBtn->setToolTip(QStringLiteral("最大化"));
        FMinBtn->setToolTip(QStringLiteral("最小化"));
        TakeCaptionFont();
        // The base applied the style before the buttons existed.
        ApplyButtonStyle();
        LayoutSystemButtons();
    });
}

TDefaultSkinForm::~TDefaultSkinForm() = default;

void TDefaultSkinForm::SetBorderStyle(TFormBorderStyle Value) {
    TBaseSkinForm::SetBorderStyle(Value);
    LayoutSystemButtons();
}

void TDefaultSkinForm::SetBorderIcons(TBorderIcons Value) {
    TBaseSkinForm::SetBorderIcons(Value);
    LayoutSystemButtons();
}

void TDefaultSkinForm::SetCaptionColor(TGPColor Value) {
    FCaptionText->SetFontColor(Value);
    RedrawWindow(true, false);
}

bool TDefaultSkinForm::TakeCaptionFont() {
    const QFont& source = font();
    int style = 0;
    style |= source.bold() ? FontStyleBold : 0;
    style |= source.italic() ? FontStyleItalic : 0;
    style |= source.underline() ? FontStyleUnderline : 0;
    style |= source.strikeOut() ? FontStyleStrikeout : 0;
    const TGPColor colour = palette().color(QPalette::WindowText).rgba();
    const int size = std::max(1, source.pointSize());
    TGDIText& caption = *FCaptionText;
    if (caption.FontFamilyName() == source.family() && caption.FontSize() == size &&
        caption.FontStyle() == style && caption.FontColor() == colour)
        return false;
    caption.SetFontFamilyName(source.family());
    caption.SetFontSize(size);
    caption.SetFontStyle(style);
    caption.SetFontColor(colour);
    return true;
}

void TDefaultSkinForm::ApplyFormStyle() {
    TBaseSkinForm::ApplyFormStyle();
    ApplyButtonStyle();
}

void TDefaultSkinForm::ApplyButtonStyle() {
    if (FFormStyleItem == nullptr || FMinBtn == nullptr)
        return;
    const TSkinFormStyleItem& style = *FFormStyleItem;
    auto bmp = [&style](TSysButton AButton, TSysButtonState AState) -> const IGPBitmap& {
        return style.SysBtnBmp(AButton, AState);
    };
    auto assign = [](TSkinSystemButton* button, const IGPBitmap& normal, const IGPBitmap& hover,
                     const IGPBitmap& down, const IGPBitmap& clickedNormal,
                     const IGPBitmap& clickedHover, const IGPBitmap& clickedDown) {
        button->SetNormalBitmapNormal(normal);
        button->SetNormalBitmapHover(hover);
        button->SetNormalBitmapDown(down);
        button->SetClickedBitmapNormal(clickedNormal);
        button->SetClickedBitmapHover(clickedHover);
        button->SetClickedBitmapDown(clickedDown);
        if (normal)
            button->resize(normal->Width(), normal->Height());
    };
    assign(FMinBtn, bmp(sysMin, sysNormal), bmp(sysMin, sysHover), bmp(sysMin, sysDown),
           bmp(sysMin, sysNormal), bmp(sysMin, sysHover), bmp(sysMin, sysDown));
    assign(FMaxBtn, bmp(sysMax, sysNormal), bmp(sysMax, sysHover), bmp(sysMax, sysDown),
           bmp(sysRestore, sysNormal), bmp(sysRestore, sysHover), bmp(sysRestore, sysDown));
    assign(FCloseBtn, bmp(sysClose, sysNormal), bmp(sysClose, sysHover), bmp(sysClose, sysDown),
           bmp(sysClose, sysNormal), bmp(sysClose, sysHover), bmp(sysClose, sysDown));
    FCloseBtnRight = style.CloseBtnRight();
    FCloseBtnTop = style.CloseBtnTop();
    FMaxBtnRight = style.MaxBtnRight();
    FMaxBtnTop = style.MaxBtnTop();
    FMinBtnRight = style.MinBtnRight();
    FMinBtnTop = style.MinBtnTop();
    LayoutSystemButtons();
}

void TDefaultSkinForm::LayoutSystemButtons() {
    if (FMinBtn == nullptr)
        return;
    if (BorderStyle() == bsNone) {
        FMinBtn->hide();
        FMaxBtn->hide();
        FCloseBtn->hide();
        return;
    }
    const TBorderIcons icons = BorderIcons();
    FMinBtn->setVisible((icons & biMinimize) != 0);
    FCloseBtn->setVisible((icons & biSystemMenu) != 0);
    FMaxBtn->setVisible((icons & biMaximize) != 0);
    const int cw = width();
    FCloseBtn->move(cw - FCloseBtnRight, FCloseBtnTop);
    if ((icons & biMaximize) != 0) {
        FMaxBtn->move(cw - FMaxBtnRight, FMaxBtnTop);
        FMinBtn->move(cw - FMinBtnRight, FMinBtnTop);
    } else
        FMinBtn->move(cw - FMaxBtnRight, FMinBtnTop);
}

void TDefaultSkinForm::DrawCaption(TGPGraphics& Graphics, const TGPRect&) {
    DrawCaptionText(Graphics, TitleRect());
}

void TDefaultSkinForm::DrawCaptionText(TGPGraphics& Graphics, const TRect& ARect) {
    DrawCaptionTextAt(Graphics, ARect.Left + FAppCaptionX, ARect.Top + FAppCaptionY, ARect.Right,
                      ARect.Bottom);
}

void TDefaultSkinForm::DrawCaptionTextAt(TGPGraphics& Graphics, int ALeft, int ATop, int, int) {
    TSkinHelper::DrawGDIText(Graphics, FCaptionText.get(), ALeft, ATop, 0, 0, windowTitle());
}

void TDefaultSkinForm::resizeEvent(QResizeEvent* event) {
    TBaseSkinForm::resizeEvent(event);
    LayoutSystemButtons();
}

void TDefaultSkinForm::changeEvent(QEvent* event) {
    TBaseSkinForm::changeEvent(event);
    switch (event->type()) {
    case QEvent::WindowStateChange:
        // The maximise button shows the restore pictures exactly while the form is maximised,
        // however it got there.
        if (FMaxBtn != nullptr)
            FMaxBtn->SetClicked(isMaximized());
        break;
    case QEvent::WindowTitleChange:
        RedrawWindow(true, false);
        break;
    case QEvent::FontChange:
    case QEvent::PaletteChange:
        // The caption wears the form's font: face, size, style and its text colour.
        if (TakeCaptionFont())
            RedrawWindow(true, false);
        break;
    default:
        break;
    }
}

} // namespace velmora
