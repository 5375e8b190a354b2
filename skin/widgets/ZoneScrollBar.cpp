#include "skin/widgets/ZoneScrollBar.h"

#include "skin/widgets/ZoneLayout.h"

#include <algorithm>

namespace velmora {

namespace {

bool Contains(const TRect& ARect, const QPoint& APoint) {
    return APoint.x() >= ARect.Left && APoint.x() < ARect.Right && APoint.y() >= ARect.Top &&
           APoint.y() < ARect.Bottom;
}

} // namespace

bool TZoneScrollBar::Show(int AMax, int AStep) {
    FVisible = true;
    FMax = std::max(0, AMax);
    FStep = std::max(1, AStep);
    const int position = std::clamp(FPosition, 0, FMax);
    const bool changed = position != FPosition;
    FPosition = position;
    PlaceThumb();
    return changed;
}

bool TZoneScrollBar::Hide() {
    const bool changed = FPosition != 0;
    FVisible = false;
    FMax = 0;
    FPosition = 0;
    FDragging = false;
    FBar = FLowButton = FHighButton = FTrack = FThumb = TRect{};
    FThumbLength = FThumbOffset = FTrackLength = 0;
    FPressed = FHover = zspNone;
    return changed;
}

bool TZoneScrollBar::ScrollBy(int ADelta) {
    if (!FVisible)
        return false;
    const qint64 wanted = qint64(FPosition) + ADelta;
    const int position = static_cast<int>(std::clamp<qint64>(wanted, 0, FMax));
    if (position == FPosition)
        return false;
    FPosition = position;
    PlaceThumb();
    return true;
}

void TZoneScrollBar::Arrange(const TRect& ABar, qint64 AViewport, qint64 AContent) {
    FBar = ABar;
    const int start = BarStart();
    const int length = BarLength();
    const int end = start + length;
    auto along = [this](int AFrom, int ATo) {
        return FVertical ? TRect{FBar.Left, AFrom, FBar.Right, ATo}
                         : TRect{AFrom, FBar.Top, ATo, FBar.Bottom};
    };
    FLowButton = along(start, start + std::min(KZoneScrollBarSize, length));
    FHighButton = along(std::max(start, end - KZoneScrollBarSize), end);
    FTrack = along(start + KZoneScrollBarSize,
                   std::max(start + KZoneScrollBarSize, end - KZoneScrollBarSize));
    // Between the buttons; a bar too short for a thumb shows none and cannot be dragged.
    const int room = length - 2 * KZoneScrollBarSize;
    if (room < KZoneMinThumbLength || AContent <= 0) {
        FThumbLength = 0;
        FTrackLength = 0;
    } else {
        const qint64 proportional = std::max<qint64>(0, AViewport) * room / AContent;
        FThumbLength =
            static_cast<int>(std::clamp<qint64>(proportional, KZoneMinThumbLength, room));
        FTrackLength = room - FThumbLength;
    }
    PlaceThumb();
}

void TZoneScrollBar::PlaceThumb() {
    // A range or a track of 0 leaves the thumb at its start: there is nowhere to move it.
    FThumbOffset = FMax > 0 && FTrackLength > 0
                       ? static_cast<int>(qint64(FTrackLength) * FPosition / FMax)
                       : 0;
    if (FThumbLength <= 0) {
        FThumb = TRect{};
        return;
    }
    const int from = BarStart() + KZoneScrollBarSize + 1 + FThumbOffset;
    const int to = from + FThumbLength - 1;
    FThumb =
        FVertical ? TRect{FBar.Left, from, FBar.Right, to} : TRect{from, FBar.Top, to, FBar.Bottom};
}

TZoneScrollPart TZoneScrollBar::PartAt(const QPoint& APoint) const {
    if (!FVisible || !Contains(FBar, APoint))
        return zspNone;
    if (Contains(FLowButton, APoint))
        return zspLowButton;
    if (Contains(FHighButton, APoint))
        return zspHighButton;
    if (Contains(FThumb, APoint))
        return zspThumb;
    return zspTrack;
}

int TZoneScrollBar::PageLength() const {
    return std::max(1, FVertical ? FTrack.Bottom - FTrack.Top : FTrack.Right - FTrack.Left);
}

int TZoneScrollBar::PageDirection(const QPoint& APoint) const {
    const int at = Along(APoint);
    if (FThumbLength > 0)
        return at < (FVertical ? FThumb.Top : FThumb.Left) ? -1 : 1;
    const int middle =
        FVertical ? (FTrack.Top + FTrack.Bottom) / 2 : (FTrack.Left + FTrack.Right) / 2;
    return at < middle ? -1 : 1;
}

void TZoneScrollBar::BeginDrag(const QPoint& APoint) {
    FDragging = true;
    FDragCoordinate = Along(APoint);
    FDragOffset = FDragCoordinate - BarStart() - FThumbOffset - KZoneScrollBarSize;
}

bool TZoneScrollBar::DragTo(int ACoordinate) {
    if (!FDragging || ACoordinate == FDragCoordinate)
        return false;
    FDragCoordinate = ACoordinate;
    if (FTrackLength <= 0 || FMax <= 0)
        return false;
    const int offset =
        std::clamp(ACoordinate - BarStart() - FDragOffset - KZoneScrollBarSize, 0, FTrackLength);
    const int position =
        static_cast<int>(std::clamp<qint64>(qint64(offset) * FMax / FTrackLength, 0, FMax));
    if (position == FPosition)
        return false;
    FPosition = position;
    PlaceThumb();
    return true;
}

bool TZoneScrollBar::SetMarks(TZoneScrollPart APressed, TZoneScrollPart AHover) {
    if (FPressed == APressed && FHover == AHover)
        return false;
    FPressed = APressed;
    FHover = AHover;
    return true;
}

std::array<TThumbSlice, 5> TZoneScrollBar::ThumbSlices(const QSize& APictureSize) const {
    std::array<TThumbSlice, 5> slices{};
    if (FThumbLength <= 0 || APictureSize.isEmpty())
        return slices;
    const int picture = FVertical ? APictureSize.height() : APictureSize.width();
    const int across = FVertical ? APictureSize.width() : APictureSize.height();
    const int start = FVertical ? FThumb.Top : FThumb.Left;
    const int length = FVertical ? FThumb.Bottom - FThumb.Top : FThumb.Right - FThumb.Left;
    auto slice = [&](int ASrcFrom, int ASrcTo, int ADstFrom, int ADstTo) {
        ASrcFrom = std::max(0, ASrcFrom);
        ASrcTo = std::min(picture, ASrcTo);
        if (ASrcTo <= ASrcFrom || ADstTo <= ADstFrom)
            return TThumbSlice{};
        if (FVertical)
            return TThumbSlice{
                QRect(0, ASrcFrom, across, ASrcTo - ASrcFrom),
                QRect(FThumb.Left, ADstFrom, FThumb.Right - FThumb.Left, ADstTo - ADstFrom)};
        return TThumbSlice{
            QRect(ASrcFrom, 0, ASrcTo - ASrcFrom, across),
            QRect(ADstFrom, FThumb.Top, ADstTo - ADstFrom, FThumb.Bottom - FThumb.Top)};
    };
    const int end = start + length;
    const int grip = start + length / 2 - 5;
    const int pictureGrip = picture / 2 - 5;
    slices[0] = slice(0, 3, start, start + 3);
    slices[1] = slice(3, pictureGrip, start + 3, grip);
    slices[2] = slice(pictureGrip, pictureGrip + 10, grip, grip + 10);
    slices[3] = slice(pictureGrip + 10, picture - 3, grip + 10, end - 3);
    slices[4] = slice(picture - 3, picture, end - 3, end);
    return slices;
}

} // namespace velmora
