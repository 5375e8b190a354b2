#include "skin/widgets/SkinCheckBox.h"

#include "skin/drawing/GDIText.h"
#include "skin/drawing/GdiSkinHelper.h"

#include <QEnterEvent>
#include <QLinearGradient>
#include <QMouseEvent>

namespace velmora {

TSkinCheckBox::TSkinCheckBox(QWidget* parent)
    : TSkinCustomControl(parent), FCaptionText(std::make_unique<TGDIText>()) {
    resize(100, 15);
    FCaption = ClassName();
    FIsNeedAppendPaint = true;
    // A Tab stop for everyone who cannot use a mouse; a click never moves the focus.
    SetControlAction(TControlAction::Toggle);
    AssignFontToText(*FCaptionText, *this);
    EnsureSkinWidgetClassRegistered();
}

TSkinCheckBox::~TSkinCheckBox() = default;

void TSkinCheckBox::SetState(TCheckBoxState Value) {
    if (FState == Value)
        return;
    FState = Value;
    RepaintSelfImage();
    QAccessible::State changed;
    changed.checked = true;
    changed.checkStateMixed = true;
    NotifyAccessibleStateChanged(this, changed);
}

void TSkinCheckBox::SetChecked(bool Value) {
    if (Value == Checked())
        return;
    SetState(Value ? cbChecked : cbUnchecked);
}

void TSkinCheckBox::SetCaption(const QString& Value) {
    if (FCaption == Value)
        return;
    FCaption = Value;
    RepaintSelfImage();
    NotifyAccessibleNameChanged(this);
}

void TSkinCheckBox::SetColor(const QColor& Value) {
    TSkinCustomControl::SetColor(Value);
    RepaintSelfImage();
}

void TSkinCheckBox::Click() {
    if (!isEnabled())
        return;
    SetState(FState == cbChecked ? cbUnchecked : cbChecked);
    if (OnChanged)
        OnChanged(this);
    if (OnClick)
        OnClick();
}

void TSkinCheckBox::CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) {
    TSkinCustomControl::CustomPaint(Graphics, ADrawRect);
    const int X = ADrawRect.X;
    const int Y = ADrawRect.Y;
    const int H = height();
    const int S = FSquareWidth;
    const QRect r0(X, Y + (H - S) / 2, S, S);
    QPainter& painter = Graphics.Painter();
    // 1. The hover outline: the integer outline of the square (its lines fall on the
    // square's first and on the pixel after its last column and row, as the drawing
    // platform's rectangle outline does).
    if (MouseInControl() && isEnabled())
        Graphics.DrawRectangle(FHoverOuterFrameColor, 1, QRectF(r0));
    // 2. The gradient, built on R1 (hovered) or on R1 moved up one pixel.
    const QRect r1(r0.x() + 1, r0.y() + 1, S - 1, S - 1);
    const QRect gradientRect = MouseInControl() ? r1 : r1.translated(0, -1);
    QLinearGradient gradient(gradientRect.topLeft(), gradientRect.bottomLeft() + QPoint(0, 1));
    gradient.setColorAt(0, QColor::fromRgba(MouseInControl() ? FHoverInsideFrameTopColor
                                                             : FNormalInsideFrameTopColor));
    gradient.setColorAt(1, QColor::fromRgba(MouseInControl() ? FHoverInsideFrameBottomColor
                                                             : FNormalInsideFrameBottomColor));
    painter.fillRect(r1, gradient);
    // 3. The window-coloured inside.
    const QRect r3(r1.x() + 1, r1.y() + 1, S - 3, S - 3);
    QColor inside = Color();
    inside.setAlpha(255);
    painter.fillRect(r3, inside);
    // 4. The mark.
    if (FState == cbUnchecked)
        return;
    FCircleCenterColor = FState == cbChecked && isEnabled() ? CheckedMarkColor : GrayMarkColor;
    Graphics.DrawLine(FCircleCenterColor, 2, QPointF(r3.x() + 2, r3.y() + 6),
                      QPointF(r3.x() + 5, r3.y() + 9));
    Graphics.DrawLine(FCircleCenterColor, 2, QPointF(r3.x() + 5, r3.y() + 9),
                      QPointF(r3.x() + 10, r3.y() + 4));
}

void TSkinCheckBox::AppendPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) {
    TSkinCustomControl::AppendPaint(Graphics, ADrawRect);
    const int left = ADrawRect.X + FSquareWidth + 3;
    const int top = ADrawRect.Y + (height() - FSquareWidth) / 2;
    const int textWidth =
        FCaptionText->GetFontWidth(Graphics, QString(QChar(0x3000))) + (width() - left);
    TSkinHelper::DrawGDIText(Graphics, FCaptionText.get(), left, top, textWidth, height(),
                             FCaption);
}

void TSkinCheckBox::changeEvent(QEvent* event) {
    TSkinCustomControl::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        RepaintSelfImage();
        break;
    case QEvent::FontChange:
    case QEvent::PaletteChange:
        AssignFontToText(*FCaptionText, *this);
        RepaintSelfImage();
        break;
    default:
        break;
    }
}

QRect TSkinCheckBox::FocusCueRect() const {
    const int left = FSquareWidth + 3;
    TMeasureSurface surface;
    const int textW = FCaptionText->GetFontWidth(surface.Graphics(), FCaption);
    const int textH = FCaptionText->GetFontHeight(surface.Graphics());
    if (FCaption.isEmpty() || left + 4 > width())
        return rect();
    const int top = (height() - FSquareWidth) / 2;
    // The caption's line with two pixels of air, inside the control.
    return QRect(left - 2, top - 2, textW + 4, textH + 4).intersected(rect());
}

void TSkinCheckBox::AccessibleState(QAccessible::State& AState) const {
    AState.checkable = true;
    AState.checked = FState == cbChecked;
    AState.checkStateMixed = FState == cbGrayed;
}

} // namespace velmora
