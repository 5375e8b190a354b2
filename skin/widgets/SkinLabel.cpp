#include "skin/widgets/SkinLabel.h"

#include "skin/data/SkinBackGroundItems.h"
#include "skin/drawing/GDIText.h"
#include "skin/drawing/GdiSkinHelper.h"

#include <QEvent>
#include <QMouseEvent>

namespace velmora {

namespace {
const QString KIdeographicSpace = QString(QChar(0x3000));
} // namespace

TSkinLabel::TSkinLabel(QWidget* parent)
    : TSkinCustomControl(parent), FCaptionText(std::make_unique<TGDIText>()) {
    FCaptionText->SetPrintStyle(psLayoutRect);
    FIsNeedAppendPaint = true;
    AssignFontToText(*FCaptionText, *this);
    EnsureSkinWidgetClassRegistered();
}

TSkinLabel::~TSkinLabel() = default;

void TSkinLabel::SetAutoSize(bool Value) {
    FAutoSize = Value;
    if (FAutoSize)
        AdjustSize();
}

void TSkinLabel::SetCaption(const QString& Value) {
    if (FCaption == Value)
        return;
    FCaption = Value;
    AdjustSize();
    RepaintSelfImage();
    NotifyAccessibleNameChanged(this);
}

void TSkinLabel::AdjustSize() {
    if (!FAutoSize || IsLoading())
        return;
    GuardedStep(*this, QStringLiteral("SetAutoSize"), [&] {
        TMeasureSurface surface;
        const int textW = FCaptionText->GetFontWidth(surface.Graphics(), FCaption);
        const int spaceW = FCaptionText->GetFontWidth(surface.Graphics(), KIdeographicSpace);
        const int lineH = FCaptionText->GetFontHeight(surface.Graphics()) + 1;
        const int totalW = textW + spaceW;
        // Contents margins (none unless set) give room around the text, for a focus cue.
        const QMargins room = contentsMargins();
        const int extraW = room.left() + room.right();
        const int extraH = room.top() + room.bottom();
        const QWidget* parent = parentWidget();
        if (parent == nullptr) {
            setGeometry(x(), y(), totalW + extraW, lineH + extraH);
            return;
        }
        const int avail = parent->width() - x() - 20;
        FLastParentWidth = parent->width();
        FLastParentHeight = parent->height();
        if (totalW > avail) {
            // Wrapping divides by the available width; none (or less) left is that division's
            // failure, and the label keeps its bounds.
            if (avail <= 0)
                throw EDivByZero(QStringLiteral("Division by zero"));
            setGeometry(x(), y(), avail, lineH * (totalW / avail + 1) + extraH);
        } else {
            setGeometry(x(), y(), totalW + extraW, lineH + extraH);
        }
    });
}

void TSkinLabel::Loaded() {
    TSkinCustomControl::Loaded();
    if (!FAutoSize)
        return;
    TMeasureSurface surface;
    const QMargins room = contentsMargins();
    resize(FCaptionText->GetFontWidth(surface.Graphics(), FCaption) + room.left() + room.right(),
           FCaptionText->GetFontHeight(surface.Graphics()) + room.top() + room.bottom());
}

void TSkinLabel::FontChanged() {
    AssignFontToText(*FCaptionText, *this);
    AdjustSize();
    RepaintSelfImage();
}

void TSkinLabel::changeEvent(QEvent* event) {
    TSkinCustomControl::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        FontChanged();
}

void TSkinLabel::CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) {
    TSkinCustomControl::CustomPaint(Graphics, ADrawRect);
}

void TSkinLabel::AppendPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) {
    TSkinCustomControl::AppendPaint(Graphics, ADrawRect);
    GuardedStep(*this, QStringLiteral("CustomPaint"), [&] {
        // One ideographic space of slack keeps a single line from wrapping early; a caption that
        // wraps anyway wraps at the label's own width, or its last character of a line would be
        // drawn past the edge and cut off.
        const int slack = FCaptionText->GetFontWidth(Graphics, KIdeographicSpace);
        const QRect text = contentsRect();
        const bool wraps = FCaptionText->GetFontWidth(Graphics, FCaption) > text.width();
        const int width = wraps ? text.width() : text.width() + slack;
        TSkinHelper::DrawGDIText(Graphics, FCaptionText.get(), text.x(), text.y(), width,
                                 text.height(), FCaption);
    });
}

QAccessible::Role TSkinLabel::AccessibleRole() const {
    return ControlAction() == TControlAction::Jump ? QAccessible::Link : FAccessibleRole;
}

void TSkinLabel::ChangeSkinBackGroundItem(TBaseSkinItem* AItem) {
    TSkinCustomControl::ChangeSkinBackGroundItem(AItem);
    if (AItem == nullptr || !UnderTransparentTitle(*this))
        return;
    FCaptionText->SetIsDrawShadow(true);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, QColor::fromRgba(AItem->TextGPColor()));
    setPalette(colours); // the palette change hands the colour to the caption
    FCaptionText->SetFontColor(AItem->TextGPColor());
    RepaintSelfImage();
}

} // namespace velmora
