#include "skin/widgets/ButtonGeometry.h"

#include <algorithm>

namespace velmora {

TGPRect ButtonCaptionRect(const TGPRect& ADrawRect, QSize ACaption) {
    return TGPRect{(ADrawRect.Width - ACaption.width()) / 2,
                   (ADrawRect.Height - ACaption.height()) / 2 + 2, ACaption.width() + 10,
                   ACaption.height()};
}

QSize ButtonSizeFor(QSize ACaption) {
    return QSize(ACaption.width() + 16, ACaption.height() + 6);
}

TCheckBoxGeometry CheckBoxGeometry(const TGPRect& ADrawRect, int AHeight, int ASquare,
                                   bool AHovered) {
    TCheckBoxGeometry geometry;
    const int S = ASquare;
    geometry.Square = QRect(ADrawRect.X, ADrawRect.Y + (AHeight - S) / 2, S, S);
    geometry.Frame = QRect(geometry.Square.x() + 1, geometry.Square.y() + 1, S - 1, S - 1);
    geometry.GradientSpan = AHovered ? geometry.Frame : geometry.Frame.translated(0, -1);
    geometry.Inside = QRect(geometry.Frame.x() + 1, geometry.Frame.y() + 1, S - 3, S - 3);
    const QRect& in = geometry.Inside;
    geometry.Mark = {QLineF(in.x() + 2, in.y() + 6, in.x() + 5, in.y() + 9),
                     QLineF(in.x() + 5, in.y() + 9, in.x() + 10, in.y() + 4)};
    geometry.Caption = QPoint(ADrawRect.X + S + 3, ADrawRect.Y + (AHeight - S) / 2);
    return geometry;
}

QRect CheckBoxCueRect(QSize ABox, int ASquare, QSize ACaption) {
    const QRect box(QPoint(0, 0), ABox);
    const int left = ASquare + 3;
    if (ACaption.width() <= 0 || left + 4 > ABox.width())
        return box;
    const int top = (ABox.height() - ASquare) / 2;
    return QRect(left - 2, top - 2, ACaption.width() + 4, ACaption.height() + 4).intersected(box);
}

QSize CheckBoxSizeFor(int ASquare, QSize ACaption) {
    return QSize(ASquare + 3 + ACaption.width(), std::max(ASquare + 2, ACaption.height()));
}

} // namespace velmora
