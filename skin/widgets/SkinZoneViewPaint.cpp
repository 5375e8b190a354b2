#include "skin/widgets/SkinWidgetSupport.h"
#include "skin/widgets/SkinZoneView.h"

#include <algorithm>

// Painting: the zones that need it through the drawing events, the head strip, the scroll
// bars and the append step, on a surface that keeps the pixels of the other zones.

namespace velmora {

namespace {

QRect ToQRect(const TRect& ARect) {
    return QRect(ARect.Left, ARect.Top, ARect.Right - ARect.Left, ARect.Bottom - ARect.Top);
}

// Pictures of the bars, in the skin's order: horizontal left, thumb, right; vertical up,
// thumb, down.
enum TBarPicture : int { bpLow, bpThumb, bpHigh };

int PictureIndex(bool AVertical, TBarPicture APicture) {
    return (AVertical ? 3 : 0) + APicture;
}

// Marks a paint as under way for its lifetime, whatever way it ends.
class TPaintingScope {
public:
    explicit TPaintingScope(bool& AFlag) : FFlag(AFlag) { FFlag = true; }
    ~TPaintingScope() { FFlag = false; }
    TPaintingScope(const TPaintingScope&) = delete;
    TPaintingScope& operator=(const TPaintingScope&) = delete;

private:
    bool& FFlag;
};

} // namespace

IGPBitmap TSkinZoneView::CreateSelfBufferGPBitmap() {
    IGPBitmap fresh = TSkinCustomControl::CreateSelfBufferGPBitmap();
    const IGPBitmap& previous = SelfBufferGPBitmap();
    if (!fresh || !previous)
        return fresh;
    // The zone area of the old surface comes along, so zones that need no redraw keep their
    // pixels when the control is resized.
    const int w = std::min(fresh->Width(), previous->Width() - FClientMargins.Right() -
                                               (FVertBar.Visible() ? KZoneScrollBarSize : 0));
    const int h = std::min(fresh->Height(), previous->Height() - FClientMargins.Bottom() -
                                                (FHorzBar.Visible() ? KZoneScrollBarSize : 0));
    if (w > 0 && h > 0) {
        TGPGraphics graphics(*fresh);
        graphics.CopyRect(previous->Image(), QRect(0, 0, w, h), QPoint(0, 0));
    }
    // Only what lies inside the copy is kept; a zone reaching outside it is drawn again.
    FKeptArea = QRect(0, 0, std::max(0, w), std::max(0, h));
    return fresh;
}

void TSkinZoneView::CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) {
    if (!FUpdatesEnabled || FUpdateCount > 0)
        return;
    const TPaintingScope painting(FPainting);

    LayoutZones();
    const quint64 pass = FLayoutPass;
    if (FRedrawAll)
        TSkinCustomControl::CustomPaint(Graphics, ADrawRect);
    // Without a surface of its own the view draws on the composed picture, rebuilt from the
    // background every time: every zone is drawn, and nothing may be cleared.
    const bool everything = FRedrawAll || !EnableGdiPlusBuffer();
    const quint64 version = FStructureVersion;
    const std::vector<TZone*> display = FDisplayList;
    for (TZone* zone : display) {
        bool draw = zone->FDispalyChanged || everything || zone->FSelected || zone->FMouseOver ||
                    zone->FMouseDown || zone->FBlinking || zone->FBlinkRedraw;
        const TRect& place = zone->FDisplayRect;
        zone->FDrawRect = TRect{place.Left - FHorzOffset, place.Top - FVertOffset,
                                place.Right - FHorzOffset, place.Bottom - FVertOffset};
        const TRect drawRect = zone->FDrawRect;
        if (OnPrepareDrawZone) {
            OnPrepareDrawZone(this, Graphics, zone, drawRect);
            if (StructureMoved(version))
                break;
        }
        if (drawRect.Right - drawRect.Left < zone->FNeedDisplayWidth ||
            drawRect.Bottom - drawRect.Top < zone->FNeedDisplayHeight ||
            (FKeptArea.isValid() && !FKeptArea.contains(ToQRect(drawRect).intersected(rect()))))
            draw = true;
        if (draw && OnDrawZone) {
            if (!everything) {
                QPainter& painter = Graphics.Painter();
                painter.save();
                painter.setCompositionMode(QPainter::CompositionMode_Clear);
                painter.fillRect(ToQRect(drawRect), Qt::transparent);
                painter.restore();
            }
            OnDrawZone(this, Graphics, zone, drawRect);
            if (StructureMoved(version))
                break;
        }
        zone->FBlinkRedraw = false;
        zone->FDispalyChanged = false;
    }
    if (StructureMoved(version)) {
        // A drawing event freed zones: what is on the surface may show them. Start over.
        FKeptArea = QRect();
        FRedrawAll = true;
        ZonesChanged(true, true);
        return;
    }
    if (OnDrawHead && FClientMargins.Top() > 0) {
        const TRect head{0, 0, FVertBar.Visible() ? width() - KZoneScrollBarSize : width(),
                         FClientMargins.Top()};
        QPainter& painter = Graphics.Painter();
        painter.save();
        painter.setCompositionMode(QPainter::CompositionMode_Clear);
        painter.fillRect(ToQRect(head), Qt::transparent);
        painter.restore();
        OnDrawHead(this, Graphics, head);
    }
    PaintScrollBars(Graphics);
    FKeptArea = QRect();
    // A drawing event that laid the zones out again, or asked for a full redraw, consumed
    // what this paint had already used: the next paint redraws everything.
    FRedrawAll = false;
    if (FRedrawAllPending || FLayoutPass != pass) {
        FRedrawAllPending = false;
        FRedrawAll = true;
        ZonesChanged(true, false);
    }
}

void TSkinZoneView::PaintScrollBars(TGPGraphics& Graphics) {
    QPainter& painter = Graphics.Painter();
    auto clear = [&painter](const TRect& ARect) {
        painter.save();
        painter.setCompositionMode(QPainter::CompositionMode_Clear);
        painter.fillRect(ToQRect(ARect), Qt::transparent);
        painter.restore();
    };
    for (const TZoneScrollBar* bar : {&FHorzBar, &FVertBar}) {
        if (!bar->Visible())
            continue;
        clear(bar->Bar());
        const IGPBitmap& low = FScrollBitmaps[PictureIndex(bar->Vertical(), bpLow)];
        const IGPBitmap& thumb = FScrollBitmaps[PictureIndex(bar->Vertical(), bpThumb)];
        const IGPBitmap& high = FScrollBitmaps[PictureIndex(bar->Vertical(), bpHigh)];
        // Without a skin the bar is drawn flat, so it still shows where to grab.
        if (!low || !thumb || !high) {
            Graphics.FillRectangle(0xFFE8E8E8, ToQRect(bar->Bar()));
            Graphics.FillRectangle(0xFFC8C8C8, ToQRect(bar->LowButton()));
            Graphics.FillRectangle(0xFFC8C8C8, ToQRect(bar->HighButton()));
            Graphics.FillRectangle(0xFF9A9A9A, ToQRect(bar->Thumb()));
            continue;
        }
        Graphics.DrawImage(*low, ToQRect(bar->LowButton()));
        Graphics.DrawImage(*high, ToQRect(bar->HighButton()));
        for (const TThumbSlice& slice : bar->ThumbSlices(thumb->Image().size()))
            if (!slice.Target.isEmpty())
                Graphics.DrawImage(*thumb, QRectF(slice.Target), QRectF(slice.Source));
    }
    if (FHorzBar.Visible() && FVertBar.Visible())
        clear(
            TRect{width() - KZoneScrollBarSize, height() - KZoneScrollBarSize, width(), height()});
}

void TSkinZoneView::AppendPaint(TGPGraphics& Graphics, const TGPRect&) {
    if (!OnAppendDrawZone)
        return;
    // Requests made by the append handlers are queued like those of the drawing events.
    const TPaintingScope painting(FPainting);
    const quint64 version = FStructureVersion;
    const std::vector<TZone*> display = FDisplayList;
    for (TZone* zone : display) {
        OnAppendDrawZone(this, Graphics, zone, zone->FDrawRect);
        if (StructureMoved(version))
            return;
    }
}

IGPBitmap TSkinZoneView::GetZoneBitmap(TZone* AZone) {
    if (AZone == nullptr ||
        std::find(FDisplayList.begin(), FDisplayList.end(), AZone) == FDisplayList.end())
        return nullptr;
    const int w = FFillWidth ? width() - (FVertBar.Visible() ? KZoneScrollBarSize : 0) -
                                   FClientMargins.Left() - FClientMargins.Right()
                             : AZone->Width();
    const int h = AZone->Height();
    if (w <= 0 || h <= 0)
        return nullptr;
    IGPBitmap bitmap = NewGPBitmap(w, h);
    if (!BufferBitmap().isNull()) {
        TGPGraphics graphics(*bitmap);
        graphics.CopyRect(BufferBitmap(),
                          QRect(AZone->DrawRect().Left, AZone->DrawRect().Top, w, h), QPoint(0, 0));
    }
    return bitmap;
}

} // namespace velmora
