#pragma once

#include "platform/graphics/GPBitmap.h"
#include "skin/drawing/GDIIMGADV.h"
#include "skin/drawing/SkinTypes.h"

#include <QString>
#include <array>
#include <memory>

namespace velmora {

// The ten pictures of a zone view style, in the order the loader reads them.
enum TZoneViewImage : int {
    zviNodeExpandIcon,
    zviNodeCollapseIcon,
    zviZoneActive,
    zviZoneHover,
    zviZoneNormal,
    zviHeadActiveFrame,
    zviHeadNomalFrame,
    zviNodeCollapseBackImage,
    zviNodeExpandBackImage,
    zviNodeHover,
};
inline constexpr int KZoneViewImageCount = 10;
extern const std::array<const char*, KZoneViewImageCount> KZoneViewImageNodes;

// The twelve fonts: node, nick, info and main, each normal, active and hover.
enum TZoneViewFont : int {
    zvfNodeNormal,
    zvfNodeActive,
    zvfNodeHover,
    zvfNickNormal,
    zvfNickActive,
    zvfNickHover,
    zvfInfoNormal,
    zvfInfoActive,
    zvfInfoHover,
    zvfMainNormal,
    zvfMainActive,
    zvfMainHover,
};
inline constexpr int KZoneViewFontCount = 12;
extern const std::array<const char*, KZoneViewFontCount> KZoneViewFontNodes;

// Text colour of a font the skin leaves alone: the system's window text.
inline constexpr quint32 KDefaultTextColor = 0x80000008u;

class TSkinZoneViewStyleItem {
public:
    TSkinZoneViewStyleItem();
    const QString& StyleName() const { return FStyleName; }
    void SetStyleName(const QString& AValue) { FStyleName = AValue; }

    const IGPBitmap& Image(TZoneViewImage AImage) const { return FImages[AImage]; }
    // The six background pictures also prepare their elements.
    void SetImage(TZoneViewImage AImage, const IGPBitmap& AValue);
    // nullptr for the pictures without an element (icons and head frames).
    TGDIIMGADV* ImageElement(TZoneViewImage AImage) const;

    const TFrameworkFont& Font(TZoneViewFont AFont) const { return FFonts[AFont]; }
    TFrameworkFont& Font(TZoneViewFont AFont) { return FFonts[AFont]; }

    int IconXOffset() const { return FIconXOffset; }
    void SetIconXOffset(int AValue) { FIconXOffset = AValue; }
    int IconYOffset() const { return FIconYOffset; }
    void SetIconYOffset(int AValue) { FIconYOffset = AValue; }
    int NodeFontXOffset() const { return FNodeFontXOffset; }
    void SetNodeFontXOffset(int AValue) { FNodeFontXOffset = AValue; }
    int NodeFontYOffset() const { return FNodeFontYOffset; }
    void SetNodeFontYOffset(int AValue) { FNodeFontYOffset = AValue; }

private:
    int FIconXOffset = 2;
    int FIconYOffset = 3;
    int FNodeFontXOffset = 20;
    int FNodeFontYOffset = 5;
    QString FStyleName;
    std::array<IGPBitmap, KZoneViewImageCount> FImages;
    std::array<std::unique_ptr<TGDIIMGADV>, KZoneViewImageCount> FElements;
    std::array<TFrameworkFont, KZoneViewFontCount> FFonts;
};

} // namespace velmora
