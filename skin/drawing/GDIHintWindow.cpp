#include "skin/drawing/GDIHintWindow.h"

#include "skin/drawing/SkinColors.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace velmora {

namespace {
constexpr int InfoBackgroundIndex = 24;
constexpr int HintMaxWidth = 240;
constexpr int HintPadding = 10;
} // namespace

QRect HintRectAt(int x, int y, int textWidth, int textHeight) {
    const int w = textWidth + HintPadding;
    int h = textHeight;
    if (w > HintMaxWidth)
        h *= w / HintMaxWidth + 1;
    return QRect(QPoint(x, y), QSize(std::min(w, HintMaxWidth), h));
}

TGDIHintWindow::TGDIHintWindow() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, QColor::fromRgba(SystemColor(InfoBackgroundIndex)));
    setPalette(colors);
    setAutoFillBackground(true);
}

QRect TGDIHintWindow::CalcHintRect(int x, int y, const QString& text) const {
    const QFontMetrics metrics(font());
    return HintRectAt(x, y, metrics.horizontalAdvance(text), metrics.height());
}

void TGDIHintWindow::ActivateHint(const QRect& rect, const QString& text) {
    FText = text;
    setGeometry(rect);
    show();
    update();
}

void TGDIHintWindow::ReleaseHandle() {
    hide();
}

void TGDIHintWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setPen(QColor::fromRgba(SystemColor(23)));
    painter.drawText(rect().adjusted(HintPadding / 2, 0, -HintPadding / 2, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, FText);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace velmora
