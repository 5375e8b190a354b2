#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QWidget;

namespace velmora {

class TSkinCustomControl;

// The main window's palette and fonts, the same colours as the default skin's artwork, in
// one place so that the pictures and the widgets drawn in code agree.
namespace InstallerMainStyle {

inline constexpr QRgb Accent = 0xFF0E7C72;     // the skin's teal
inline constexpr QRgb AccentDeep = 0xFF1F5F8B; // the skin's blue
inline constexpr QRgb Ink = 0xFF23363C;        // body text
inline constexpr QRgb Failure = 0xFFB8432F;    // a failed install's headline

QFont FormFont();
// Body text in the form font, not the skin's font, so the page reads the same in any skin.
void PlainText(TSkinCustomControl& AControl);
// A clickable text in the accent colour, optionally underlined.
void Link(TSkinCustomControl& AControl, bool underline);
// The finished page's headline, in the accent colour or the failure colour.
void Headline(TSkinCustomControl& AControl, bool success);

QString PathEditSheet();
QString ProgressSheet();
// Gives AWidget the style sheet ASheet when it is first shown, before it paints. Qt's style
// sheet machinery costs milliseconds a widget, and the pages these widgets are on are not
// seen at start-up.
void SheetWhenFirstShown(QWidget& AWidget, const QString& ASheet);

} // namespace InstallerMainStyle

} // namespace velmora
