#include "tools/skin-gallery/GalleryZoneStyle.h"

#include <QFontMetrics>

namespace velmora::gallery {

void TGalleryZoneStyle::DoDrawZone(TSkinZoneView* ASender, TGPGraphics& AGraphics, TZone* AZone,
                                   const TRect& ADrawRect) {
    const int state = AZone->Selected() ? 1 : AZone->MouseOver() ? 2 : 0;
    const int indent = AZone->Level() * KLevelIndent;
    const int left = ADrawRect.Left + indent;
    const int width = ADrawRect.Right - left;
    const int height = ADrawRect.Bottom - ADrawRect.Top;
    const bool group = AZone->ChildZones().Count() > 0;

    const TZoneStyleImage back = group
                                     ? (AZone->Expanded() ? zsiNodeExpandBack : zsiNodeCollapseBack)
                                 : state == 1 ? zsiZoneActive
                                 : state == 2 ? zsiZoneHover
                                              : zsiZoneNormal;
    const TZoneStyleImage picture = group && state == 2 ? zsiNodeHover : back;
    if (Image(picture) && width > 0) {
        TGDIIMGADV& element = Element(picture);
        // An element draws its picture at the origin it is given, at its own size.
        element.SetBounds(0, 0, width, height);
        element.Paint(&AGraphics, left, ADrawRect.Top);
    } else {
        AGraphics.FillRectangle(state == 1 ? 0xFFD6EFEC : 0xFFF7F9F9,
                                QRectF(left, ADrawRect.Top, width, height));
    }

    int textLeft = left + 8;
    if (group) {
        const IGPBitmap& icon = AZone->Expanded() ? NodeExpandIcon() : NodeCollapseIcon();
        if (icon) {
            const int top = ADrawRect.Top + (height - icon->Height()) / 2;
            AGraphics.DrawImage(*icon, left + IconXOffset(), top);
            textLeft = left + IconXOffset() + icon->Width() + 6;
        }
    }
    const TZoneViewFont nameFont = group ? (state == 1   ? zvfNodeActive
                                            : state == 2 ? zvfNodeHover
                                                         : zvfNodeNormal)
                                         : (state == 1   ? zvfMainActive
                                            : state == 2 ? zvfMainHover
                                                         : zvfMainNormal);
    const TGDIText& name = Text(nameFont);
    const TGDIText& info = Text(state == 1 ? zvfInfoActive : zvfInfoNormal);
    const int lineHeight = QFontMetrics(name.Font()).height();
    const QString detail = group ? QStringLiteral("第 %1 层 · %2 项")
                                       .arg(AZone->Level() + 1)
                                       .arg(AZone->ChildZones().Count())
                                 : QStringLiteral("第 %1 层").arg(AZone->Level() + 1);
    const int textTop = ADrawRect.Top + (height - lineHeight) / 2;
    AGraphics.DrawString(AZone->ZoneName(), name.Font(), name.FontColor(),
                         QPointF(textLeft, textTop));
    const int detailWidth = QFontMetrics(info.Font()).horizontalAdvance(detail);
    AGraphics.DrawString(detail, info.Font(), info.FontColor(),
                         QPointF(ADrawRect.Right - detailWidth - 12, textTop));
    TBaseZoneViewStyle::DoDrawZone(ASender, AGraphics, AZone, ADrawRect);
}

void TGalleryZoneStyle::DoClickZone(TSkinZoneView* ASender, TZone* AZone, const TRect& AZoneRect) {
    // The handlers the click passes through may free the zone.
    const std::weak_ptr<void> alive = AZone != nullptr ? AZone->Alive() : std::weak_ptr<void>();
    TBaseZoneViewStyle::DoClickZone(ASender, AZone, AZoneRect);
    if (AZone != nullptr && !alive.expired() && AZone->ChildZones().Count() > 0)
        AZone->SetExpanded(!AZone->Expanded());
}

} // namespace velmora::gallery
