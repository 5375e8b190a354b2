#include "skin/widgets/SkinCheckBox.h"

#include "skin/drawing/GDIText.h"
#include "skin/drawing/GdiSkinHelper.h"
#include "skin/widgets/ButtonGeometry.h"

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
    const bool hovered = MouseInControl();
    const TCheckBoxGeometry box = CheckBoxGeometry(ADrawRect, height(), FSquareWidth, hovered);
    QPainter& painter = Graphics.Painter();
    // 1. The hover outline: the integer outline of the square (its lines fall on the
    // square's first and on the pixel after its last column and row, as the drawing
    // platform's rectangle outline does).
    if (hovered && isEnabled())
        Graphics.DrawRectangle(FHoverOuterFrameColor, 1, QRectF(box.Square));
    // 2. The gradient over the frame, running one pixel higher while not hovered.
    QLinearGradient gradient(box.GradientSpan.topLeft(),
                             box.GradientSpan.bottomLeft() + QPoint(0, 1));
    gradient.setColorAt(
        0, QColor::fromRgba(hovered ? FHoverInsideFrameTopColor : FNormalInsideFrameTopColor));
    gradient.setColorAt(1, QColor::fromRgba(hovered ? FHoverInsideFrameBottomColor
                                                    : FNormalInsideFrameBottomColor));
    painter.fillRect(box.Frame, gradient);
    // 3. The window-coloured inside.
    QColor inside = Color();
    inside.setAlpha(255);
    painter.fillRect(box.Inside, inside);
    // 4. The mark.
    if (FState == cbUnchecked)
        return;
    FCircleCenterColor = FState == cbChecked && isEnabled() ? CheckedMarkColor : GrayMarkColor;
    for (const QLineF& stroke : box.Mark)
        Graphics.DrawLine(FCircleCenterColor, 2, stroke.p1(), stroke.p2());
}

void TSkinCheckBox::AppendPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) {
    TSkinCustomControl::AppendPaint(Graphics, ADrawRect);
    const QPoint at = CheckBoxGeometry(ADrawRect, height(), FSquareWidth, MouseInControl()).Caption;
    const int textWidth =
        FCaptionText->GetFontWidth(Graphics, QString(QChar(0x3000))) + (width() - at.x());
    TSkinHelper::DrawGDIText(Graphics, FCaptionText.get(), at.x(), at.y(), textWidth, height(),
                             FCaption);
}

QSize TSkinCheckBox::CaptionSize() const {
    if (FCaption.isEmpty())
        return QSize();
    TMeasureSurface surface;
    return QSize(FCaptionText->GetFontWidth(surface.Graphics(), FCaption),
                 FCaptionText->GetFontHeight(surface.Graphics()));
}

QRect TSkinCheckBox::FocusCueRect() const {
    return CheckBoxCueRect(size(), FSquareWidth, CaptionSize());
}

QSize TSkinCheckBox::sizeHint() const {
    return CheckBoxSizeFor(FSquareWidth, CaptionSize());
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

void TSkinCheckBox::AccessibleState(QAccessible::State& AState) const {
    AState.checkable = true;
    AState.checked = FState == cbChecked;
    AState.checkStateMixed = FState == cbGrayed;
}

} // namespace velmora
