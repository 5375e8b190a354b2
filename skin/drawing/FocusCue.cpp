#include "skin/drawing/FocusCue.h"

#include <QPainterPath>
#include <QPen>

namespace velmora {

namespace {
constexpr qreal KRadius = 3.0;

void Ring(QPainter& APainter, const QRectF& ARect, QRgb AColour) {
    QPen pen(QColor::fromRgba(AColour));
    pen.setWidthF(1.0);
    pen.setCosmetic(false);
    APainter.setPen(pen);
    APainter.setBrush(Qt::NoBrush);
    APainter.drawRoundedRect(ARect, KRadius, KRadius);
}
} // namespace

void DrawFocusCue(TGPGraphics& AGraphics, const QRect& ARect) {
    if (ARect.width() < 4 || ARect.height() < 4)
        return;
    QPainter& painter = AGraphics.Painter();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // Pen centres on half pixels, so each ring covers whole pixels at ratio 1.
    const QRectF outer = QRectF(ARect).adjusted(0.5, 0.5, -0.5, -0.5);
    Ring(painter, outer, KFocusCueOuter);
    Ring(painter, outer.adjusted(1, 1, -1, -1), KFocusCueInner);
    painter.restore();
}

} // namespace velmora
