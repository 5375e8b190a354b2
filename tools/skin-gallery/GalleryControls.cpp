#include "tools/skin-gallery/GalleryControls.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainterPath>

namespace velmora::gallery {

TGalleryPanel::TGalleryPanel(const QString& heading, QWidget* parent)
    : TSkinCustomControl(parent), FHeading(heading) {}

void TGalleryPanel::CustomPaint(TGPGraphics& Graphics, const TGPRect& r) {
    Graphics.Clear(0);
    QPainter& p = Graphics.Painter();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 220), 1));
    p.setBrush(QColor(255, 255, 255, 120));
    p.drawRoundedRect(QRectF(r.X + 0.5, r.Y + 0.5, r.Width - 1, r.Height - 1), 6, 6);
    QFont heading = font();
    heading.setBold(true);
    p.setFont(heading);
    p.setPen(QColor(0x1F, 0x3F, 0x5F));
    p.drawText(QRect(r.X + 12, r.Y + 8, r.Width - 24, 22), Qt::AlignLeft | Qt::AlignVCenter,
               FHeading);
}

TGalleryLabel::TGalleryLabel(const QString& text, QWidget* parent)
    : TSkinCustomControl(parent), FText(text) {}

void TGalleryLabel::SetText(const QString& Value) {
    if (FText == Value)
        return;
    FText = Value;
    RepaintSelfImage();
}

void TGalleryLabel::CustomPaint(TGPGraphics& Graphics, const TGPRect& r) {
    Graphics.Clear(0);
    QPainter& p = Graphics.Painter();
    p.setFont(font());
    p.setPen(QColor(0x33, 0x3B, 0x44));
    p.drawText(QRect(r.X, r.Y, r.Width, r.Height),
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, FText);
}

TGalleryButton::TGalleryButton(const QString& caption, QWidget* parent)
    : TSkinCustomControl(parent), FCaption(caption) {
    setCursor(Qt::PointingHandCursor);
}

void TGalleryButton::SetHover(bool Value) {
    if (FHover == Value)
        return;
    FHover = Value;
    RepaintSelfImage();
}

void TGalleryButton::SetDown(bool Value) {
    if (FDown == Value)
        return;
    FDown = Value;
    RepaintSelfImage();
}

void TGalleryButton::CustomPaint(TGPGraphics& Graphics, const TGPRect& r) {
    Graphics.Clear(0);
    QPainter& p = Graphics.Painter();
    p.setRenderHint(QPainter::Antialiasing);
    QColor top(0x3C, 0x8D, 0xCF);
    QColor bottom(0x23, 0x6E, 0xAE);
    if (FHover) {
        top = top.lighter(112);
        bottom = bottom.lighter(112);
    }
    if (FDown)
        std::swap(top, bottom);
    QLinearGradient fill(0, r.Y, 0, r.Y + r.Height);
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setPen(QPen(bottom.darker(130), 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(r.X + 0.5, r.Y + 0.5, r.Width - 1, r.Height - 1), 4, 4);
    p.setPen(Qt::white);
    p.setFont(font());
    p.drawText(QRect(r.X, r.Y, r.Width, r.Height), Qt::AlignCenter, FCaption);
}

void TGalleryButton::enterEvent(QEnterEvent* event) {
    TSkinCustomControl::enterEvent(event);
    SetHover(true);
}

void TGalleryButton::leaveEvent(QEvent* event) {
    TSkinCustomControl::leaveEvent(event);
    SetHover(false);
    SetDown(false);
}

void TGalleryButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        SetDown(true);
}

void TGalleryButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !FDown)
        return;
    SetDown(false);
    if (rect().contains(event->position().toPoint()) && OnClick)
        OnClick();
}

} // namespace velmora::gallery
