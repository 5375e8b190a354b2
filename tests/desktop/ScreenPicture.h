#pragma once

#include <QImage>
#include <QRect>
#include <optional>

namespace velmora::testing {

// Screenshots read as numbers. A desktop is first pictured empty; what a program adds is
// then the difference to that picture. A window's own pixels are told from a shadow falling
// on the desktop by colour: a shadow only darkens the desktop, keeping its hue, so the
// desktop colour is chosen unlike anything the wizard draws.

// Whether APixel differs from ADesktop by more than compositing rounding.
bool IsChanged(QRgb APixel, QRgb ADesktop);

// Whether APixel is ADesktop darkened, as a black shadow of any opacity leaves it (solid
// black included).
bool IsShadowOn(QRgb APixel, QRgb ADesktop);

// The bounding box of every pixel that differs from the empty desktop; empty when none.
QRect ChangedRegion(const QImage& AShot, const QImage& ADesktop);

// How many pixels outside AAllowed differ from the empty desktop.
qsizetype ChangedOutside(const QImage& AShot, const QImage& ADesktop, const QRect& AAllowed);

// The windows of a shot: each connected area of changed pixels that are not shadow, by its
// bounding box, largest first.
QList<QRect> SurfacesIn(const QImage& AShot, const QImage& ADesktop);

// The surface whose size is ASize (give or take two pixels of anti-aliased corners).
std::optional<QRect> FindSurface(const QImage& AShot, const QImage& ADesktop, QSize ASize);

// The share of the band of AWidth pixels around AForm that is near black where the desktop
// is not: 0 under a translucent shadow, about 1 under the solid frame a shadow window leaves
// where nothing blends it.
double BlackFrameShare(const QImage& AShot, const QImage& ADesktop, const QRect& AForm, int AWidth);

// Mean absolute difference per channel (0..255) of two pictures of the same size.
double MeanDifference(const QImage& A, const QImage& B);

// The share of pixels whose channels differ by more than ATolerance.
double DifferingShare(const QImage& A, const QImage& B, int ATolerance);

// Edge sharpness. Steepness is the mean of the picture's strong edges (those rising or
// falling by at least a quarter of the grey range), each edge's contrast over its 10-90 %
// rise distance along rows and columns, in grey levels per pixel. A picture drawn for the
// pixels it lands on keeps the steepness of its 1x drawing at any scale; a 1x picture scaled
// up smoothly spreads every edge over more pixels and loses it. Scaled up by repeating pixels
// it keeps hard edges hard, and shows instead as blocks: DoubledShare is the share of 2 x 2
// blocks at strong edges that hold a single colour (at the best of the four grid offsets),
// 1 for a picture doubled that way and well below for one drawn at 2x.
struct TEdgeSharpness {
    double Steepness = 0;
    int Edges = 0;
    double DoubledShare = 0;
};
TEdgeSharpness EdgeSharpness(const QImage& APicture);

} // namespace velmora::testing
