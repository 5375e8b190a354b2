#pragma once

#include "platform/graphics/GPBitmap.h"

#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QString>

namespace velmora {

// Units of a font's em size, numbered as the drawing platform numbers them.
enum TGPUnit : int {
    UnitWorld = 0,
    UnitDisplay = 1,
    UnitPixel = 2,
    UnitPoint = 3,
    UnitInch = 4,
    UnitDocument = 5,
    UnitMillimeter = 6,
};

// Font style bits.
enum TGPFontStyleBits : int {
    FontStyleBold = 1,
    FontStyleItalic = 2,
    FontStyleUnderline = 4,
    FontStyleStrikeout = 8,
    FontStyleMask = 15,
};

struct TGPFontDesc {
    QString Family;
    float Size = 9;
    int Style = 0;
    int Unit = UnitPoint;

    bool operator==(const TGPFontDesc&) const = default;
};

// Builds the Qt font for a drawing-platform font; sizes are resolved at the skin resolution.
QFont MakeFont(const TGPFontDesc& desc);

// String alignment: near 0, centre 1, far 2.
enum TGPStringAlignment : int {
    StringAlignmentNear = 0,
    StringAlignmentCenter = 1,
    StringAlignmentFar = 2
};
constexpr int StringFormatFlagsDirectionVertical = 2;

struct TGPStringFormat {
    int Alignment = StringAlignmentNear;
    int LineAlignment = StringAlignmentNear;
    int Flags = 0;
};

// A drawing surface on a bitmap. Copies (CopyRect) replace pixels; everything else blends.
// Smoothing is left at the painter's defaults except for scaled images, which are filtered.
//
// Every position and rectangle is logical, on the target and on the pictures drawn alike; a
// picture or target of a ratio above 1 (more device pixels per logical pixel) is converted
// here. A bitmap with variants is drawn from the variant that fits the target's ratio. A
// picture whose pixels do not meet the target's one to one is scaled smoothly, never by
// repeating pixels; at ratio 1 on both sides nothing changes.
class TGPGraphics {
public:
    explicit TGPGraphics(QImage& target);
    // Drawing on a picture changes it, so its variants are dropped.
    explicit TGPGraphics(TGPBitmap& target);
    TGPGraphics(const TGPGraphics&) = delete;
    TGPGraphics& operator=(const TGPGraphics&) = delete;

    // Device pixels per logical pixel of the target.
    qreal Ratio() const { return FRatio; }

    void Clear(QRgb argb);
    // Unscaled at (x, y).
    void DrawImage(const QImage& image, int x, int y);
    void DrawImage(const TGPBitmap& image, int x, int y) {
        DrawImage(image.ImageFor(FRatio), x, y);
    }
    // Whole image stretched into dst.
    void DrawImage(const QImage& image, const QRectF& dst);
    void DrawImage(const TGPBitmap& image, const QRectF& dst) {
        DrawImage(image.ImageFor(FRatio), dst);
    }
    // Source rectangle src into dst, scaling as needed. Empty rectangles draw nothing.
    void DrawImage(const QImage& image, const QRectF& dst, const QRectF& src);
    void DrawImage(const TGPBitmap& image, const QRectF& dst, const QRectF& src) {
        DrawImage(image.ImageFor(FRatio), dst, src);
    }
    // Replaces the pixels of (dst, size of src) with those of src in image (a rectangle copy).
    void CopyRect(const QImage& image, const QRect& src, const QPoint& dst);

    void FillRectangle(QRgb argb, const QRectF& rect);
    void FillVerticalGradient(const QRectF& rect, QRgb top, QRgb bottom);
    void DrawRectangle(QRgb argb, qreal penWidth, const QRectF& rect);
    void DrawLine(QRgb argb, qreal penWidth, const QPointF& from, const QPointF& to);

    // Text whose layout box starts at origin; format may be null.
    void DrawString(const QString& text, const QFont& font, QRgb brush, const QPointF& origin,
                    const TGPStringFormat* format = nullptr);
    // Text laid out (and wrapped) inside layout; an empty layout draws unbounded from its corner.
    void DrawString(const QString& text, const QFont& font, QRgb brush, const QRectF& layout,
                    const TGPStringFormat* format = nullptr);
    QRectF MeasureString(const QString& text, const QFont& font, const QPointF& origin,
                         const TGPStringFormat* format = nullptr) const;
    QRectF MeasureString(const QString& text, const QFont& font, const QRectF& layout,
                         const TGPStringFormat* format = nullptr) const;

    QPainter& Painter() { return FPainter; }
    QImage& Target() { return FTarget; }

private:
    // Draws the pixels pixels of image into the logical rectangle dst.
    void DrawPixels(const QImage& image, const QRectF& dst, const QRectF& pixels);
    // True when pixels cover dst on this target other than one to one.
    bool IsScaled(const QRectF& dst, const QRectF& pixels) const;

    QImage& FTarget;
    QPainter FPainter;
    qreal FRatio = 1;
};

// Paints the logical part source of image at the logical point at of a widget's (or any)
// painter, converting to the image's pixels; at ratio 1 the plain rectangle draw.
void PaintLogicalPart(QPainter& painter, const QPoint& at, const QImage& image,
                      const QRect& source);

} // namespace velmora
