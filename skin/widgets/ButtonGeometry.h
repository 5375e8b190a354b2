#pragma once

#include "skin/drawing/SkinTypes.h"

#include <QLineF>
#include <QRect>
#include <QSize>
#include <array>

namespace velmora {

// Where the parts of a button and a check box go, as plain functions of sizes, so painting,
// the focus cue and size hints read one geometry and tests can check it without a window.

// A button's caption: centred, two pixels below the middle (halves truncated toward zero),
// ten pixels wider than the text for its glow.
TGPRect ButtonCaptionRect(const TGPRect& ADrawRect, QSize ACaption);
// The smallest button showing ACaption whole in that place: its height plus six, its width plus
// sixteen for the skin's frame.
QSize ButtonSizeFor(QSize ACaption);

// A check box of height AHeight with a square of ASquare pixels at the left of ADrawRect.
struct TCheckBoxGeometry {
    QRect Square;       // the hover outline's rectangle
    QRect Frame;        // filled with the gradient
    QRect GradientSpan; // what the gradient runs over: the frame, one pixel up while not hovered
    QRect Inside;       // the window-coloured inside
    std::array<QLineF, 2> Mark; // the two strokes of the mark
    QPoint Caption;             // where the caption's text starts
};
TCheckBoxGeometry CheckBoxGeometry(const TGPRect& ADrawRect, int AHeight, int ASquare,
                                   bool AHovered);
// The focus cue's place: the caption's line with two pixels of air where a caption shows, else
// the whole box.
QRect CheckBoxCueRect(QSize ABox, int ASquare, QSize ACaption);
// The box that shows the square and ACaption on one line.
QSize CheckBoxSizeFor(int ASquare, QSize ACaption);

} // namespace velmora
