#pragma once

#include "platform/graphics/GPBitmap.h"

#include <QColor>
#include <QImage>

class QPainter;
class QWidget;

namespace velmora {

// The flat 4-pixel frame the skinned text fields draw over their native content: an outer ring
// that shows the form behind the field (or the hover colour while the pointer is over it), an
// inside-colour ring and two rings of the field's own colour.
class TSkinFieldFrame {
public:
    bool MouseInControl() const { return FMouseInControl; }
    // True when the state changed.
    bool SetMouseInControl(bool AValue);
    const QColor& InsideFrameColor() const { return FInsideFrameColor; }
    // True when the colour changed.
    bool SetInsideFrameColor(const QColor& AValue);
    const QColor& OuterFrameColor() const { return FouterFrameColor; }
    bool SetOuterFrameColor(const QColor& AValue);

    // Captures the parent's picture under AField into the background bitmap.
    const QImage& CaptureParent(QWidget& AField);
    // Draws the frame of AField on APainter (the field's own surface, origin at its corner);
    // with AColourRings false only the outermost ring is drawn.
    void RedrawBorder(QWidget& AField, QPainter& APainter, const QColor& AFieldColor,
                      bool AColourRings = true);

private:
    bool FMouseInControl = false;
    QColor FInsideFrameColor = QColor(78, 159, 209);
    QColor FouterFrameColor = QColor(134, 228, 255);
    QImage FParentBackGroundBitmap;
};

} // namespace velmora
