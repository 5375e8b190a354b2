#include "platform/graphics/GPGraphics.h"

#include "platform/graphics/FontSubstitution.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <limits>

namespace velmora {
namespace {

qreal PointsPerUnit(int unit) {
    switch (unit) {
    case UnitPoint:
        return 1.0;
    case UnitInch:
        return 72.0;
    case UnitDocument:
        return 72.0 / 300.0;
    case UnitMillimeter:
        return 72.0 / 25.4;
    default: // world, display and pixel units are device pixels
        return 72.0 / SkinDotsPerInch;
    }
}

int AlignmentFlags(const TGPStringFormat* format) {
    if (format == nullptr)
        return Qt::AlignLeft | Qt::AlignTop;
    int flags = 0;
    switch (format->Alignment) {
    case StringAlignmentCenter:
        flags |= Qt::AlignHCenter;
        break;
    case StringAlignmentFar:
        flags |= Qt::AlignRight;
        break;
    default:
        flags |= Qt::AlignLeft;
    }
    switch (format->LineAlignment) {
    case StringAlignmentCenter:
        flags |= Qt::AlignVCenter;
        break;
    case StringAlignmentFar:
        flags |= Qt::AlignBottom;
        break;
    default:
        flags |= Qt::AlignTop;
    }
    return flags;
}

// Vertical text stacks the characters top to bottom, one per line.
QString Arranged(const QString& text, const TGPStringFormat* format) {
    if (format == nullptr || (format->Flags & StringFormatFlagsDirectionVertical) == 0)
        return text;
    QString stacked;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i > 0)
            stacked += u'\n';
        stacked += text.at(i);
        if (text.at(i).isHighSurrogate() && i + 1 < text.size())
            stacked += text.at(++i);
    }
    return stacked;
}

QRectF Unbounded(const QPointF& origin) {
    const qreal big = 1 << 20;
    return QRectF(origin, QSizeF(big, big));
}

// Text drawn at a point with an alignment is placed around the point: centred on it, or ending
// at it for far alignment, on each axis.
QPointF AlignedAtPoint(const QPointF& origin, const QSizeF& size, const TGPStringFormat* format) {
    if (format == nullptr)
        return origin;
    QPointF at = origin;
    if (format->Alignment == StringAlignmentCenter)
        at.rx() -= size.width() / 2;
    else if (format->Alignment == StringAlignmentFar)
        at.rx() -= size.width();
    if (format->LineAlignment == StringAlignmentCenter)
        at.ry() -= size.height() / 2;
    else if (format->LineAlignment == StringAlignmentFar)
        at.ry() -= size.height();
    return at;
}

// At a fractional ratio a picture's pixels reach a little past its last whole logical pixel.
// A part that ends at the picture's logical edge takes those pixels along, into a
// destination grown by the same logical amount, so copying a whole buffer leaves no seam.
void ReachEdges(const QImage& image, const QRectF& src, QRectF& dst, QRectF& pixels) {
    const QRect logical = LogicalRect(image);
    if (qFuzzyCompare(src.right(), qreal(logical.width())) && pixels.right() < image.width()) {
        const qreal scale = dst.width() / pixels.width();
        pixels.setRight(image.width());
        dst.setWidth(pixels.width() * scale);
    }
    if (qFuzzyCompare(src.bottom(), qreal(logical.height())) && pixels.bottom() < image.height()) {
        const qreal scale = dst.height() / pixels.height();
        pixels.setBottom(image.height());
        dst.setHeight(pixels.height() * scale);
    }
}

} // namespace

QFont MakeFont(const TGPFontDesc& desc) {
    InstallCjkFontSubstitutions();
    QFont font(desc.Family);
    const qreal points = desc.Size * PointsPerUnit(desc.Unit);
    font.setPointSizeF(points > 0 ? points : 1.0);
    font.setBold((desc.Style & FontStyleBold) != 0);
    font.setItalic((desc.Style & FontStyleItalic) != 0);
    font.setUnderline((desc.Style & FontStyleUnderline) != 0);
    font.setStrikeOut((desc.Style & FontStyleStrikeout) != 0);
    return font;
}

TGPGraphics::TGPGraphics(QImage& target) : FTarget(target) {
    if (!FTarget.isNull()) {
        FRatio = FTarget.devicePixelRatio();
        FPainter.begin(&FTarget);
    }
}

TGPGraphics::TGPGraphics(TGPBitmap& target) : TGPGraphics(target.Image()) {
    target.DropVariants();
}

void TGPGraphics::Clear(QRgb argb) {
    if (!FPainter.isActive())
        return;
    FPainter.save();
    FPainter.setCompositionMode(QPainter::CompositionMode_Source);
    if (SameRatio(FRatio, 1))
        FPainter.fillRect(FTarget.rect(), QColor::fromRgba(argb));
    else
        FPainter.fillRect(QRectF(QPointF(0, 0), QSizeF(FTarget.size()) / FRatio),
                          QColor::fromRgba(argb));
    FPainter.restore();
}

bool TGPGraphics::IsScaled(const QRectF& dst, const QRectF& pixels) const {
    const QRectF device = PixelRectF(dst, FRatio);
    return !qFuzzyCompare(device.width(), pixels.width()) ||
           !qFuzzyCompare(device.height(), pixels.height());
}

void TGPGraphics::DrawPixels(const QImage& image, const QRectF& dst, const QRectF& pixels) {
    const bool scaled = IsScaled(dst, pixels);
    if (scaled)
        FPainter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    FPainter.drawImage(dst, image, pixels);
    if (scaled)
        FPainter.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

void TGPGraphics::DrawImage(const QImage& image, int x, int y) {
    if (!FPainter.isActive() || image.isNull())
        return;
    if (SameRatio(image.devicePixelRatio(), 1) && SameRatio(FRatio, 1)) {
        FPainter.drawImage(QPoint(x, y), image);
        return;
    }
    const QSizeF logical(image.width() / image.devicePixelRatio(),
                         image.height() / image.devicePixelRatio());
    DrawPixels(image, QRectF(QPointF(x, y), logical), QRectF(image.rect()));
}

void TGPGraphics::DrawImage(const QImage& image, const QRectF& dst) {
    if (SameRatio(image.devicePixelRatio(), 1)) {
        DrawImage(image, dst, QRectF(image.rect()));
        return;
    }
    if (!FPainter.isActive() || image.isNull() || dst.width() <= 0 || dst.height() <= 0)
        return;
    DrawPixels(image, dst, QRectF(image.rect()));
}

void TGPGraphics::DrawImage(const QImage& image, const QRectF& dst, const QRectF& src) {
    if (!FPainter.isActive() || image.isNull() || dst.width() <= 0 || dst.height() <= 0 ||
        src.width() <= 0 || src.height() <= 0)
        return;
    if (SameRatio(image.devicePixelRatio(), 1) && SameRatio(FRatio, 1)) {
        const bool scaled = dst.size() != src.size();
        if (scaled)
            FPainter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        FPainter.drawImage(dst, image, src);
        if (scaled)
            FPainter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        return;
    }
    QRectF target = dst;
    QRectF pixels = PixelRectF(src, image.devicePixelRatio());
    ReachEdges(image, src, target, pixels);
    DrawPixels(image, target, pixels);
}

void TGPGraphics::CopyRect(const QImage& image, const QRect& src, const QPoint& dst) {
    if (!FPainter.isActive() || image.isNull() || src.isEmpty())
        return;
    FPainter.save();
    FPainter.setCompositionMode(QPainter::CompositionMode_Source);
    if (SameRatio(image.devicePixelRatio(), 1) && SameRatio(FRatio, 1))
        FPainter.drawImage(dst, image, src);
    else {
        QRectF target(QPointF(dst), QSizeF(src.size()));
        QRectF pixels = PixelRectF(QRectF(src), image.devicePixelRatio());
        ReachEdges(image, QRectF(src), target, pixels);
        DrawPixels(image, target, pixels);
    }
    FPainter.restore();
}

void TGPGraphics::FillRectangle(QRgb argb, const QRectF& rect) {
    if (!FPainter.isActive())
        return;
    FPainter.fillRect(rect, QColor::fromRgba(argb));
}

void TGPGraphics::FillVerticalGradient(const QRectF& rect, QRgb top, QRgb bottom) {
    if (!FPainter.isActive() || rect.isEmpty())
        return;
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, QColor::fromRgba(top));
    gradient.setColorAt(1, QColor::fromRgba(bottom));
    FPainter.fillRect(rect, gradient);
}

void TGPGraphics::DrawRectangle(QRgb argb, qreal penWidth, const QRectF& rect) {
    if (!FPainter.isActive())
        return;
    FPainter.save();
    QPen pen(QColor::fromRgba(argb), penWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    FPainter.setPen(pen);
    FPainter.setBrush(Qt::NoBrush);
    // Pixel-centred outline so a 1-pixel pen covers exactly the rectangle's border pixels.
    FPainter.drawRect(rect.translated(0.5, 0.5));
    FPainter.restore();
}

void TGPGraphics::DrawLine(QRgb argb, qreal penWidth, const QPointF& from, const QPointF& to) {
    if (!FPainter.isActive())
        return;
    FPainter.save();
    FPainter.setPen(QPen(QColor::fromRgba(argb), penWidth));
    FPainter.drawLine(from + QPointF(0.5, 0.5), to + QPointF(0.5, 0.5));
    FPainter.restore();
}

void TGPGraphics::DrawString(const QString& text, const QFont& font, QRgb brush,
                             const QPointF& origin, const TGPStringFormat* format) {
    if (!FPainter.isActive() || text.isEmpty())
        return;
    const QPointF at = MeasureString(text, font, origin, format).topLeft();
    FPainter.save();
    FPainter.setFont(font);
    FPainter.setPen(QColor::fromRgba(brush));
    FPainter.drawText(Unbounded(at), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                      Arranged(text, format));
    FPainter.restore();
}

void TGPGraphics::DrawString(const QString& text, const QFont& font, QRgb brush,
                             const QRectF& layout, const TGPStringFormat* format) {
    if (layout.width() <= 0 || layout.height() <= 0) {
        DrawString(text, font, brush, layout.topLeft(), format);
        return;
    }
    if (!FPainter.isActive() || text.isEmpty())
        return;
    FPainter.save();
    FPainter.setFont(font);
    FPainter.setPen(QColor::fromRgba(brush));
    FPainter.setClipRect(layout, Qt::IntersectClip);
    FPainter.drawText(layout, AlignmentFlags(format) | Qt::TextWordWrap, Arranged(text, format));
    FPainter.restore();
}

QRectF TGPGraphics::MeasureString(const QString& text, const QFont& font, const QPointF& origin,
                                  const TGPStringFormat* format) const {
    if (text.isEmpty())
        return QRectF(origin, QSizeF(0, 0));
    QImage& device = FTarget;
    const QFontMetricsF metrics(font, device.isNull() ? nullptr : &device);
    const QRectF box = metrics.boundingRect(Unbounded(origin), Qt::AlignLeft | Qt::AlignTop,
                                            Arranged(text, format));
    return QRectF(AlignedAtPoint(origin, box.size(), format), box.size());
}

QRectF TGPGraphics::MeasureString(const QString& text, const QFont& font, const QRectF& layout,
                                  const TGPStringFormat* format) const {
    if (layout.width() <= 0 || layout.height() <= 0)
        return MeasureString(text, font, layout.topLeft(), format);
    if (text.isEmpty())
        return QRectF(layout.topLeft(), QSizeF(0, 0));
    QImage& device = FTarget;
    const QFontMetricsF metrics(font, device.isNull() ? nullptr : &device);
    return metrics
        .boundingRect(layout, AlignmentFlags(format) | Qt::TextWordWrap, Arranged(text, format))
        .intersected(layout);
}

void PaintLogicalPart(QPainter& painter, const QPoint& at, const QImage& image,
                      const QRect& source) {
    const qreal ratio = image.devicePixelRatio();
    if (SameRatio(ratio, 1)) {
        painter.drawImage(at, image, source);
        return;
    }
    QRectF target(QPointF(at), QSizeF(source.size()));
    QRectF pixels = PixelRectF(QRectF(source), ratio);
    ReachEdges(image, QRectF(source), target, pixels);
    painter.drawImage(target, image, pixels);
}

} // namespace velmora
