#pragma once

#include "skin/controls/BaseSkinForm.h"
#include "skin/controls/SkinSystemButton.h"
#include "skin/drawing/GDIText.h"

#include <memory>

namespace velmora {

// The skinned form with a caption and the minimise, maximise and close buttons.
class TDefaultSkinForm : public TBaseSkinForm {
public:
    explicit TDefaultSkinForm(QWidget* parent = nullptr);
    ~TDefaultSkinForm() override;
    QString ClassName() const override { return QStringLiteral("TDefaultSkinForm"); }

    TSysMinBtn* MinBtn() const { return FMinBtn; }
    TSysMaxBtn* MaxBtn() const { return FMaxBtn; }
    TSysCloseBtn* CloseBtn() const { return FCloseBtn; }
    TGDIText* CaptionText() const { return FCaptionText.get(); }

    void SetBorderStyle(TFormBorderStyle Value) override;
    void SetBorderIcons(TBorderIcons Value) override;
    // The caption's colour (ARGB).
    void SetCaptionColor(TGPColor Value);
    // Places the buttons for the current size, border style and icons.
    void LayoutSystemButtons();

protected:
    void ApplyFormStyle() override;
    void DrawCaption(TGPGraphics& Graphics, const TGPRect& ACaptionRect) override;
    virtual void DrawCaptionText(TGPGraphics& Graphics, const TRect& ARect);
    virtual void DrawCaptionTextAt(TGPGraphics& Graphics, int ALeft, int ATop, int ARight,
                                   int ABottom);
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ApplyButtonStyle();
    // True when the caption's font changed.
    bool TakeCaptionFont();

    std::unique_ptr<TGDIText> FCaptionText;
    TSysMinBtn* FMinBtn = nullptr;
    TSysMaxBtn* FMaxBtn = nullptr;
    TSysCloseBtn* FCloseBtn = nullptr;
    int FCloseBtnRight = 38;
    int FCloseBtnTop = 1;
    int FMaxBtnRight = 64;
    int FMaxBtnTop = 1;
    int FMinBtnRight = 90;
    int FMinBtnTop = 1;
};

} // namespace velmora
