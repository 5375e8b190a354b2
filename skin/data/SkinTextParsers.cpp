#include "skin/data/SkinTextParsers.h"

#include <QStringList>

namespace velmora {
namespace {

// Comma-separated items; an empty text has no items, so it sets nothing.
QStringList SplitItems(const QString& AText) {
    if (AText.isEmpty())
        return {};
    return AText.split(QLatin1Char(','));
}

int ToInt(const QString& AItem) {
    bool ok = false;
    const int value = AItem.trimmed().toInt(&ok, 10);
    if (!ok)
        throw ESkinParseError(KParseNotInteger);
    return value;
}

// 1-based positions as the font format counts them; [AFrom, ATo] inclusive, empty when
// ATo < AFrom.
QString Positions(const QString& AText, qsizetype AFrom, qsizetype ATo) {
    if (AFrom < 1 || ATo > AText.size())
        throw ESkinParseError(KParseFontSpec);
    if (ATo < AFrom)
        return {};
    return AText.mid(AFrom - 1, ATo - AFrom + 1);
}

qsizetype CommaPosition(const QString& AText) {
    const qsizetype index = AText.indexOf(QLatin1Char(','));
    if (index < 0)
        throw ESkinParseError(KParseFontSpec);
    return index + 1;
}

} // namespace

void ParseFontSpec(const QString& AText, TFrameworkFont& AFont, bool AWithColor) {
    QString rest = AText;
    qsizetype c = CommaPosition(rest);
    AFont.Name = Positions(rest, 2, c - 2);
    rest.remove(0, c);

    c = CommaPosition(rest);
    const int size = ToInt(Positions(rest, 2, c - 1));
    AFont.Size = size;
    rest.remove(0, c);

    c = CommaPosition(rest);
    const QString styles = Positions(rest, 3, c - 2);
    rest.remove(0, c);

    if (AWithColor) {
        const QString colour = Positions(rest, 3, rest.size() - 1);
        bool ok = false;
        const uint value = colour.toUInt(&ok, 16);
        if (!ok || value > 0xFFFFFFu)
            throw ESkinParseError(KParseNotHex);
        AFont.Color = value;
    }

    const QString marked = QLatin1Char('|') + styles;
    int style = 0;
    if (marked.contains(QLatin1String("|Bold")))
        style |= 1;
    if (marked.contains(QLatin1String("|Italic")))
        style |= 2;
    if (marked.contains(QLatin1String("|Underline")))
        style |= 4;
    if (marked.contains(QLatin1String("|Strikeout")))
        style |= 8;
    AFont.Style = style;
}

void ParseMarginText(const QString& AText, int& ALeft, int& ATop, int& ARight, int& ABottom) {
    const QStringList items = SplitItems(AText);
    int* const fields[] = {&ALeft, &ATop, &ARight, &ABottom};
    for (qsizetype i = 0; i < items.size() && i < 4; ++i)
        *fields[i] = ToInt(items[i]);
}

void ParseBoundsText(const QString& AText, int& ALeft, int& ATop, int& AWidth, int& AHeight,
                     int& AType) {
    const QStringList items = SplitItems(AText);
    int* const fields[] = {&ALeft, &ATop, &AWidth, &AHeight, &AType};
    for (qsizetype i = 0; i < items.size() && i < 5; ++i)
        *fields[i] = ToInt(items[i]);
}

void ParseImageSettingText(const QString& AText, QString& AImage, int& ALeft, int& ATop,
                           int& AWidth, int& AHeight, TStretchMode& AStretchMode) {
    const QStringList items = SplitItems(AText);
    if (items.isEmpty())
        return;
    AImage = items[0].trimmed();
    int* const fields[] = {&ALeft, &ATop, &AWidth, &AHeight};
    for (qsizetype i = 1; i < items.size() && i < 5; ++i)
        *fields[i - 1] = ToInt(items[i]);
    if (items.size() > 5)
        AStretchMode = StretchModeFromInt(ToInt(items[5]));
}

TSkinAnchors ParseAnchorsText(const QString& AText) {
    TSkinAnchors anchors = 0;
    for (const QString& raw : SplitItems(AText)) {
        const QString item = raw.trimmed();
        if (item == QLatin1String("akLeft"))
            anchors |= akLeft;
        else if (item == QLatin1String("akTop"))
            anchors |= akTop;
        else if (item == QLatin1String("akRight"))
            anchors |= akRight;
        else if (item == QLatin1String("akBottom"))
            anchors |= akBottom;
    }
    return anchors;
}

} // namespace velmora
