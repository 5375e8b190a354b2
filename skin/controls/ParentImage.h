#pragma once

#include "platform/graphics/GPBitmap.h"

#include <QImage>

class QWidget;

namespace velmora {

// What a skinned form offers its children as the picture behind them: its whole client
// picture, and the picture of its background item.
class TSkinFormSurface {
public:
    virtual ~TSkinFormSurface() = default;
    virtual const QImage* FormBufferImage() const = 0;
    virtual const QImage* BackGroundBufferImage() const = 0;
};

// The ratio every buffer of a control or form is made at: the device pixels per logical pixel
// of the window it is on (of its screen before the window exists), at least 1.
qreal SurfaceRatioOf(const QWidget& AWidget);

// Copies the picture that lies behind ASelf, from (ALeft, ATop) of ASelf to its right and
// bottom edges, into ATarget at (ALeft, ATop). The source is the skinned parent's buffer, or
// for any other parent the parent's own rendering. Pixels are replaced, not blended. Only
// the part of the source that exists is copied. Positions are logical; source and target may
// hold more pixels per logical pixel (their ratios), a source of another ratio is scaled.
void DrawParentImage(QWidget* ASelf, QImage& ATarget, int ALeft, int ATop);
void DrawParentImage(QWidget* ASelf, const IGPBitmap& ABitmap, int ALeft, int ATop);

// Lets a parent that has no buffer of its own paint itself (without its children) into
// ATarget behind ASelf.
void DrawParentImageDefault(QWidget* ASelf, QImage& ATarget, int ALeft, int ATop);

// Every visible windowed control below AParent takes its parent picture again: skinned
// controls mark it stale, others simply repaint. The first variant defers the painting, the
// second paints parent before child at once.
void RePaintParentImageAll(QWidget* AParent);
void RePaintParentImageImmediatelyAll(QWidget* AParent);

} // namespace velmora
