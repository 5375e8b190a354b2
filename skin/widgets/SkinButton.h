#pragma once

#include "skin/controls/SkinControl.h"
#include "skin/widgets/SkinWidgetSupport.h"

#include <array>
#include <functional>
#include <memory>

namespace velmora {

class TGDIIMGADV;
class TGDIText;
class TSkinButtonStyleItem;

// A push button drawn from the five state images of a skin button style with its caption
// over them. It is a Tab stop; Space and Return click a focused button; the caption's
// accelerator ("&x", Qt's convention) clicks only after Alt has reached the button.
class TSkinButton : public TSkinCustomControl, public ISkinAccessible {
public:
    explicit TSkinButton(QWidget* parent = nullptr);
    ~TSkinButton() override;

    QString ClassName() const override { return QStringLiteral("TSkinButton"); }

    const QString& ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(const QString& Value);
    TSkinButtonStyleItem* ButtonStyleItem() const { return FButtonStyleItem; }
    void LoadSkinResource();

    const IGPBitmap& NormalBitmap() const { return FBitmaps[0]; }
    const IGPBitmap& HoverBitmap() const { return FBitmaps[1]; }
    const IGPBitmap& DownBitmap() const { return FBitmaps[2]; }
    const IGPBitmap& DisabledBitmap() const { return FBitmaps[3]; }
    const IGPBitmap& FocusedBitmap() const { return FBitmaps[4]; }
    void SetNormalBitmap(const IGPBitmap& Value);
    void SetHoverBitmap(const IGPBitmap& Value);
    void SetDownBitmap(const IGPBitmap& Value);
    void SetDisabledBitmap(const IGPBitmap& Value);
    void SetFocusedBitmap(const IGPBitmap& Value);
    // The nine-slice margins of the button's own elements (the style's prebuilt elements
    // keep the style's); a change rebuilds them and repaints.
    int HorzBitmapMargin() const { return FHorzBitmapMargin; }
    void SetHorzBitmapMargin(int Value);
    int VertBitmapMargin() const { return FVertBitmapMargin; }
    void SetVertBitmapMargin(int Value);

    // The element drawn for each image: the style's prebuilt one when the image is the
    // style's, otherwise the button's own. Null when there is nothing to draw.
    TGDIIMGADV* GetNormalBitmapElement();
    TGDIIMGADV* GetHoverBitmapElement();
    TGDIIMGADV* GetDownBitmapElement();
    TGDIIMGADV* GetDisabledBitmapElement();
    TGDIIMGADV* GetFocusedBitmapElement();

    bool Transprent() const { return FTransprent; }
    void SetTransprent(bool Value);
    bool IsDrawIconCaption() const { return FIsDrawIconCaption; }
    void SetIsDrawIconCaption(bool Value);
    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    // Pressed with the pointer inside (a press dragged off looks normal until it comes back).
    bool MouseDown() const { return IsDown(); }
    bool AltKey() const { return FAltKey; }
    TGDIText* CaptionText() const { return FCaptionText.get(); }
    // The caption rectangle of the last caption drawing.
    const TGPRect& CaptionRect() const { return FCaptionRect; }

    // The caption whole (with IsDrawIconCaption), as ButtonSizeFor places it.
    QSize sizeHint() const override;

    QAccessible::Role AccessibleRole() const override { return QAccessible::Button; }
    QString AccessibleText() const override { return StripAccelerator(FCaption); }
    void AccessibleState(QAccessible::State& AState) const override;

protected:
    // Whether the button paints itself focused.
    virtual bool IsFocused() const { return hasFocus(); }
    void CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) override;
    void AppendPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) override;
    void Loaded() override;
    void ChangeSkinFile() override;
    void ChangeSkinBackGroundItem(TBaseSkinItem* AItem) override;
    void AdjustDrawCaptionRect(TGPGraphics& Graphics, const TGPRect& ADrawRect);
    void DrawCaption(TGPGraphics& Graphics);
    void DrawIconCaption(TGPGraphics& Graphics, const TGPRect& ADrawRect);

    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void ButtonLookChanged() override { RepaintSelfImage(); }
    // Inside the skin's frame of the button.
    QRect FocusCueRect() const override;

private:
    void SetButtonStyleItem();
    void SetStateBitmap(int AIndex, const IGPBitmap& Value);
    TGDIIMGADV* GetBitmapElement(int AIndex);
    void UpdateShortcut();

    std::unique_ptr<TGDIText> FCaptionText;
    TSkinButtonStyleItem* FButtonStyleItem = nullptr;
    QString FButtonStyle;
    bool FAltKey = false;
    // Normal, hover, down, disabled, focused.
    std::array<IGPBitmap, 5> FBitmaps;
    int FHorzBitmapMargin = 3;
    int FVertBitmapMargin = 3;
    std::array<std::unique_ptr<TGDIIMGADV>, 5> FElements;
    std::array<bool, 5> FReInitElement{true, true, true, true, true};
    bool FTransprent = false;
    bool FIsDrawIconCaption = false;
    QString FCaption;
    bool FTabStop = true;
    TGPRect FCaptionRect;
    int FShortcutId = 0;
};

} // namespace velmora
