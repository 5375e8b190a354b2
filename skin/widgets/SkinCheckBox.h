#pragma once

#include "skin/controls/SkinControl.h"
#include "skin/widgets/SkinWidgetSupport.h"

#include <functional>
#include <memory>

namespace velmora {

class TGDIText;

enum TCheckBoxState : int { cbUnchecked = 0, cbChecked = 1, cbGrayed = 2 };

// A check box that paints its own square, gradients and mark, with its caption beside it.
// A click toggles it (grayed becomes checked); so does Space while it has the focus (it is a
// Tab stop). Return is left to the window's default button.
class TSkinCheckBox : public TSkinCustomControl, public ISkinAccessible {
public:
    explicit TSkinCheckBox(QWidget* parent = nullptr);
    ~TSkinCheckBox() override;

    QString ClassName() const override { return QStringLiteral("TSkinCheckBox"); }

    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool Value);
    int SquareWidth() const { return FSquareWidth; }
    void SetSquareWidth(int Value) { FSquareWidth = Value; }
    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    // Fills the inside of the square.
    void SetColor(const QColor& Value);
    TGPColor CircleCenterColor() const { return FCircleCenterColor; }
    TGDIText* CaptionText() const { return FCaptionText.get(); }

    // Raised by a left press and release over the box.
    // Toggles (grayed becomes checked), then tells OnClick.
    void Click() override;
    // The control-changed notification to the parent.
    std::function<void(TSkinCheckBox*)> OnChanged;

    static constexpr TGPColor HoverOuterFrameColor = 0xFF60C8FDu;
    static constexpr TGPColor HoverInsideFrameTopColor = 0xFF338CC1u;
    static constexpr TGPColor HoverInsideFrameBottomColor = 0xFF48AAE5u;
    static constexpr TGPColor NormalInsideFrameTopColor = 0xFFA1BFD2u;
    static constexpr TGPColor NormalInsideFrameBottomColor = 0xFFD6E1E9u;
    static constexpr TGPColor CheckedMarkColor = 0xFF70A50Au;
    static constexpr TGPColor GrayMarkColor = 0xFFC0C0C0u;

    QAccessible::Role AccessibleRole() const override { return QAccessible::CheckBox; }
    QString AccessibleText() const override { return FCaption; }
    void AccessibleState(QAccessible::State& AState) const override;

protected:
    void CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) override;
    void AppendPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) override;
    void changeEvent(QEvent* event) override;
    void ButtonLookChanged() override { RepaintSelfImage(); }
    // Around the caption where there is room for one, else around the square.
    QRect FocusCueRect() const override;
    // The square and the caption on one line.
    QSize sizeHint() const override;

private:
    // The caption measured in the box's font; empty without a caption.
    QSize CaptionSize() const;

    std::unique_ptr<TGDIText> FCaptionText;
    TCheckBoxState FState = cbUnchecked;
    int FSquareWidth = 15;
    TGPColor FHoverOuterFrameColor = HoverOuterFrameColor;
    TGPColor FHoverInsideFrameTopColor = HoverInsideFrameTopColor;
    TGPColor FHoverInsideFrameBottomColor = HoverInsideFrameBottomColor;
    TGPColor FNormalInsideFrameTopColor = NormalInsideFrameTopColor;
    TGPColor FNormalInsideFrameBottomColor = NormalInsideFrameBottomColor;
    TGPColor FCircleCenterColor = 0;
    QString FCaption;
};

} // namespace velmora
