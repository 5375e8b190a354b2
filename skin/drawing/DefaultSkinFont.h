#pragma once

#include <QString>

namespace velmora {

struct TDefaultSkinFont {
    QString Family;
    int Size = 9;
};

// The point size for a caption font of captionHeight (negative: character height in pixels,
// as the system reports it) at dpi dots per inch, clamped to 9..12. A dpi of zero or less is
// taken as 96 so that a broken screen report cannot produce a size of 1.
int DefaultSkinFontSizeFor(int captionHeight, int dpi);

// Family "微软雅黑" with the size from the system's caption font and screen resolution;
// computed on first use while an application runs, then cached.
TDefaultSkinFont DefaultSkinFont();

} // namespace velmora
