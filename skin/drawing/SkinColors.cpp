#include "skin/drawing/SkinColors.h"

#include <QGuiApplication>
#include <QPalette>

namespace velmora {
namespace {

struct TSystemRole {
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
};

// Classic system colour indexes mapped onto the nearest palette roles.
constexpr TSystemRole SystemRoles[] = {
    {QPalette::Active, QPalette::Button},          // 0 scroll bar
    {QPalette::Active, QPalette::Dark},            // 1 desktop
    {QPalette::Active, QPalette::Highlight},       // 2 active caption
    {QPalette::Inactive, QPalette::Mid},           // 3 inactive caption
    {QPalette::Active, QPalette::Window},          // 4 menu
    {QPalette::Active, QPalette::Base},            // 5 window
    {QPalette::Active, QPalette::Shadow},          // 6 window frame
    {QPalette::Active, QPalette::WindowText},      // 7 menu text
    {QPalette::Active, QPalette::Text},            // 8 window text
    {QPalette::Active, QPalette::HighlightedText}, // 9 caption text
    {QPalette::Active, QPalette::Button},          // 10 active border
    {QPalette::Inactive, QPalette::Button},        // 11 inactive border
    {QPalette::Active, QPalette::Mid},             // 12 application workspace
    {QPalette::Active, QPalette::Highlight},       // 13 highlight
    {QPalette::Active, QPalette::HighlightedText}, // 14 highlight text
    {QPalette::Active, QPalette::Button},          // 15 button face
    {QPalette::Active, QPalette::Dark},            // 16 button shadow
    {QPalette::Disabled, QPalette::Text},          // 17 grey text
    {QPalette::Active, QPalette::ButtonText},      // 18 button text
    {QPalette::Inactive, QPalette::WindowText},    // 19 inactive caption text
    {QPalette::Active, QPalette::Light},           // 20 button highlight
    {QPalette::Active, QPalette::Shadow},          // 21 3-D dark shadow
    {QPalette::Active, QPalette::Midlight},        // 22 3-D light
    {QPalette::Active, QPalette::ToolTipText},     // 23 info text
    {QPalette::Active, QPalette::ToolTipBase},     // 24 info background
    {QPalette::Active, QPalette::Button},          // 25 unused slot
    {QPalette::Active, QPalette::Link},            // 26 hot light
    {QPalette::Active, QPalette::Highlight},       // 27 gradient active caption
    {QPalette::Inactive, QPalette::Mid},           // 28 gradient inactive caption
    {QPalette::Active, QPalette::Highlight},       // 29 menu highlight
    {QPalette::Active, QPalette::Window},          // 30 menu bar
};

} // namespace

TGPColor SystemColor(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(SystemRoles)))
        return 0xFF000000u;
    const QPalette palette = qGuiApp != nullptr ? QGuiApplication::palette() : QPalette();
    const TSystemRole& role = SystemRoles[index];
    return palette.color(role.Group, role.Role).rgb() | 0xFF000000u;
}

TGPColor ColorToGPColor(quint32 frameworkColor) {
    if ((frameworkColor & SystemColorFlag) != 0)
        return SystemColor(static_cast<int>(frameworkColor & 0xFFu));
    const quint32 red = frameworkColor & 0xFFu;
    const quint32 green = (frameworkColor >> 8) & 0xFFu;
    const quint32 blue = (frameworkColor >> 16) & 0xFFu;
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

} // namespace velmora
