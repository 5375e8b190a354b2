#include "skin/controls/SkinFont.h"

#include "skin/data/SkinMng.h"
#include "skin/drawing/SkinColors.h"
#include "skin/drawing/SkinTypes.h"

#include <QWidget>
#include <algorithm>

namespace velmora {

void ApplyFrameworkFont(QWidget& AControl, const TFrameworkFont& AFont) {
    QFont font = AControl.font();
    if (!AFont.Name.isEmpty())
        font.setFamily(AFont.Name);
    font.setPointSize(std::max(1, AFont.Size));
    font.setBold((AFont.Style & 1) != 0);
    font.setItalic((AFont.Style & 2) != 0);
    font.setUnderline((AFont.Style & 4) != 0);
    font.setStrikeOut((AFont.Style & 8) != 0);
    if (font != AControl.font())
        AControl.setFont(font);
    const QColor colour = QColor::fromRgba(ColorToGPColor(AFont.Color));
    QPalette palette = AControl.palette();
    if (palette.color(QPalette::WindowText) == colour && palette.color(QPalette::Text) == colour)
        return;
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    AControl.setPalette(palette);
}

void ApplySkinManagerFont(QWidget& AControl) {
    ApplyFrameworkFont(AControl, SkinMng().SkinFont());
}

} // namespace velmora
