#pragma once

#include "platform/graphics/GPGraphics.h"
#include "skin/drawing/SkinTypes.h"

#include <QImage>
#include <vector>

namespace velmora {

constexpr int GlowRadius = 6;

// The (2r + 1) x (2r + 1) integer Gaussian weights, row by row: sigma = r / 2 (1.45 when that
// is 0), weight = round(1000 * e^(-(dx^2 + dy^2) / (2 sigma^2)) / (2 pi sigma^2)).
std::vector<int> GlowKernel(int radius);

// Replaces the alpha of every pixel at least radius from each edge by the kernel-weighted
// mean of the source alphas around it, and its colour by the shadow colour's red, green and
// blue; pixels nearer the edges stay as they are. image is straight ARGB.
void BlurAlpha(QImage& image, int radius, TGPColor shadowColor);

// The soft glow behind a text: the text drawn on its own bitmap, its alpha blurred and
// tinted, drawn back where the text's measured box lies. The caller then draws the text.
void DrawTextGlow(TGPGraphics& graphics, const QString& text, const QFont& font, TGPColor brush,
                  const QPointF& origin, const TGPStringFormat* format, TGPColor shadowColor);

} // namespace velmora
