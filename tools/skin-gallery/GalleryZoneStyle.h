#pragma once

#include "skin/widgets/BaseZoneViewStyle.h"

namespace velmora::gallery {

// A small drawing style on the skin's zone pictures: each zone is a framed row indented by its
// level, with the expand or collapse icon when it has children, its name and a line saying
// which level it is on. A click on a zone with children opens or closes it.
class TGalleryZoneStyle : public TBaseZoneViewStyle {
public:
    QString ClassName() const override { return QStringLiteral("TGalleryZoneStyle"); }

    // Indent of one nesting level, in pixels.
    static constexpr int KLevelIndent = 18;

protected:
    void DoDrawZone(TSkinZoneView* ASender, TGPGraphics& AGraphics, TZone* AZone,
                    const TRect& ADrawRect) override;
    void DoClickZone(TSkinZoneView* ASender, TZone* AZone, const TRect& AZoneRect) override;
};

} // namespace velmora::gallery
