#pragma once

#include "skin/data/SkinDataTypes.h"

#include <QString>

namespace velmora {

// Pure parsers of the skin's text formats. Each raises ESkinParseError with a fixed message on
// the first item it cannot read; outputs set before that keep their new values, later ones stay
// untouched. Logging and swallowing is the callers' business.

// "\"face\", size, [Bold|Italic], [BBGGRR]" applied to an existing font.
void ParseFontSpec(const QString& AText, TFrameworkFont& AFont, bool AWithColor);

// Up to four comma-separated integers: left, top, right, bottom.
void ParseMarginText(const QString& AText, int& ALeft, int& ATop, int& ARight, int& ABottom);

// Up to five comma-separated integers: left, top, width, height, anchoring type.
void ParseBoundsText(const QString& AText, int& ALeft, int& ATop, int& AWidth, int& AHeight,
                     int& AType);

// Image path, then left, top, width, height and a stretch-mode ordinal.
void ParseImageSettingText(const QString& AText, QString& AImage, int& ALeft, int& ATop,
                           int& AWidth, int& AHeight, TStretchMode& AStretchMode);

// Exact items "akLeft", "akTop", "akRight", "akBottom" in any order; others are ignored.
TSkinAnchors ParseAnchorsText(const QString& AText);

// The fixed messages, so that tests and logs agree on them.
inline const QString KParseNotInteger = QStringLiteral("Item is not an integer");
inline const QString KParseNotHex = QStringLiteral("Colour is not hexadecimal");
inline const QString KParseFontSpec = QStringLiteral("Invalid font description");

} // namespace velmora
