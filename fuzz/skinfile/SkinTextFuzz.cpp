// Feeds arbitrary text to the skin's small text parsers. The first byte picks the parser, the
// rest is UTF-8 text. Beyond "no crash, no overread": a parse that succeeds must describe the
// text it came from, so writing the result back and parsing again gives the same values.
#include "skin/data/SkinTextParsers.h"

#include <QStringList>
#include <cstdint>
#include <cstdlib>

using namespace velmora;

namespace {

void CheckFont(const QString& AText) {
    TFrameworkFont font;
    try {
        ParseFontSpec(AText, font, true);
    } catch (const ESkinParseError&) {
        return;
    }
    if (font.Style < 0 || font.Style > 15 || font.Color > 0xFFFFFFu)
        std::abort();
    QStringList styles;
    for (const auto& [bit, name] :
         {std::pair{1, "Bold"}, {2, "Italic"}, {4, "Underline"}, {8, "Strikeout"}})
        if (font.Style & bit)
            styles << QLatin1String(name);
    // Concatenated, not formatted: a face may hold "%1" and the like.
    const QString written =
        QLatin1Char('"') + font.Name + QStringLiteral("\", ") + QString::number(font.Size) +
        QStringLiteral(", [") + styles.join(QLatin1Char('|')) + QStringLiteral("], [") +
        QStringLiteral("%1").arg(font.Color, 6, 16, QLatin1Char('0')) + QLatin1Char(']');
    TFrameworkFont again;
    try {
        ParseFontSpec(written, again, true);
    } catch (const ESkinParseError&) {
        // A face holding a comma cannot be written back in this format; nothing to compare.
        if (font.Name.contains(QLatin1Char(',')))
            return;
        std::abort();
    }
    if (!font.Name.contains(QLatin1Char(',')) &&
        (again.Name != font.Name || again.Size != font.Size || again.Style != font.Style ||
         again.Color != font.Color))
        std::abort();
}

void CheckMargins(const QString& AText) {
    int v[4] = {-7, -7, -7, -7};
    try {
        ParseMarginText(AText, v[0], v[1], v[2], v[3]);
    } catch (const ESkinParseError&) {
        return;
    }
    int w[4] = {-7, -7, -7, -7};
    ParseMarginText(QStringLiteral("%1,%2,%3,%4").arg(v[0]).arg(v[1]).arg(v[2]).arg(v[3]), w[0],
                    w[1], w[2], w[3]);
    for (int i = 0; i < 4; ++i)
        if (v[i] != w[i])
            std::abort();
}

void CheckOthers(const QString& AText) {
    int l = 0, t = 0, w = 0, h = 0, type = 0;
    try {
        ParseBoundsText(AText, l, t, w, h, type);
    } catch (const ESkinParseError&) {
    }
    QString image;
    TStretchMode mode = smStretchBoth;
    try {
        ParseImageSettingText(AText, image, l, t, w, h, mode);
    } catch (const ESkinParseError&) {
    }
    if (mode < smStretchBoth || mode > smAvgColor)
        std::abort();
    if (ParseAnchorsText(AText) > 15u)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1),
                                           static_cast<qsizetype>(size - 1));
    switch (data[0] % 3) {
    case 0:
        CheckFont(text);
        break;
    case 1:
        CheckMargins(text);
        break;
    default:
        CheckOthers(text);
        break;
    }
    return 0;
}
