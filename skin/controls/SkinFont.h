#pragma once

class QWidget;

namespace velmora {

struct TFrameworkFont;

// Gives a control a skin font: face, size and the four style bits on its font, the colour as
// its text colour (the palette's window-text and text roles).
void ApplyFrameworkFont(QWidget& AControl, const TFrameworkFont& AFont);

// The skin manager's skin font, as controls with UseSkinFont take it.
void ApplySkinManagerFont(QWidget& AControl);

} // namespace velmora
