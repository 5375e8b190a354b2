#pragma once

#include "skin/drawing/SkinTypes.h"

#include <QPoint>
#include <QRect>
#include <array>

namespace velmora {

// The parts of a zone view scroll bar a point can be on.
enum TZoneScrollPart : int { zspNone, zspLowButton, zspHighButton, zspThumb, zspTrack };

// Shortest thumb drawn; a bar without room for it shows no thumb.
inline constexpr int KZoneMinThumbLength = 22;

// One source and destination rectangle of the thumb picture.
struct TThumbSlice {
    QRect Source;
    QRect Target;
};

// One scroll bar of a zone view: its range and position, and where its parts are. The
// arithmetic lives here, apart from painting and input.
class TZoneScrollBar {
public:
    explicit TZoneScrollBar(bool AVertical) : FVertical(AVertical) {}

    bool Vertical() const { return FVertical; }
    bool Visible() const { return FVisible; }
    int Step() const { return FStep; }
    int Min() const { return 0; }
    int Max() const { return FMax; }
    int Position() const { return FPosition; }

    // Shows the bar with a position range of 0 … AMax (0 at least) and a step (1 at least),
    // keeping the position inside. Returns whether the position changed.
    bool Show(int AMax, int AStep);
    // Hides the bar and resets its position. Returns whether the position changed.
    bool Hide();
    // Moves the position by ADelta inside the range. Returns whether it changed.
    bool ScrollBy(int ADelta);

    // Lays the parts out in ABar for a viewport of AViewport pixels over AContent pixels.
    void Arrange(const TRect& ABar, qint64 AViewport, qint64 AContent);
    const TRect& Bar() const { return FBar; }
    const TRect& LowButton() const { return FLowButton; }
    const TRect& HighButton() const { return FHighButton; }
    // Empty when the bar is too short to hold a thumb between its buttons.
    const TRect& Thumb() const { return FThumb; }
    int ThumbLength() const { return FThumbLength; }
    int ThumbOffset() const { return FThumbOffset; }
    int TrackLength() const { return FTrackLength; }
    TZoneScrollPart PartAt(const QPoint& APoint) const;
    // A page: the track's length. A press on the track pages towards the pointer: -1 before
    // the thumb (or, without one, before the track's middle), +1 after.
    int PageLength() const;
    int PageDirection(const QPoint& APoint) const;

    // Dragging: the press remembers where on the thumb it was; moving the pointer to
    // ACoordinate (along the bar, control coordinates) places the thumb and derives the
    // position. Returns whether the position changed.
    void BeginDrag(const QPoint& APoint);
    bool DragTo(int ACoordinate);
    bool Dragging() const { return FDragging; }
    void EndDrag() { FDragging = false; }

    // Pressed and hover marks of the parts; SetMarks returns whether any changed.
    bool SetMarks(TZoneScrollPart APressed, TZoneScrollPart AHover);
    TZoneScrollPart PressedPart() const { return FPressed; }

    // The five pieces of the thumb picture (caps of 3, a grip of 10 from the picture's middle,
    // the stretches between) for a picture of APictureSize; pieces with no room are empty.
    std::array<TThumbSlice, 5> ThumbSlices(const QSize& APictureSize) const;

private:
    int Along(const QPoint& APoint) const { return FVertical ? APoint.y() : APoint.x(); }
    int BarStart() const { return FVertical ? FBar.Top : FBar.Left; }
    int BarLength() const { return FVertical ? FBar.Bottom - FBar.Top : FBar.Right - FBar.Left; }
    // The thumb's place for the current position.
    void PlaceThumb();

    bool FVertical;
    bool FVisible = false;
    int FStep = 1;
    int FMax = 0;
    int FPosition = 0;
    TRect FBar;
    TRect FLowButton;
    TRect FHighButton;
    TRect FTrack;
    TRect FThumb;
    int FThumbLength = 0;
    int FThumbOffset = 0;
    int FTrackLength = 0;
    bool FDragging = false;
    int FDragOffset = 0;
    int FDragCoordinate = 0;
    TZoneScrollPart FPressed = zspNone;
    TZoneScrollPart FHover = zspNone;
};

} // namespace velmora
