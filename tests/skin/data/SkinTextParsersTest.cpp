// The skin's small text formats: font specs, margins, bounds, anchors and image settings.
#include "skin/data/SkinTextParsers.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TFrameworkFont StartFont() {
    return TFrameworkFont{QStringLiteral("Start"), 9, 15, 0x123456};
}

TEST(FontSpecTest, ShippedFormGivesFaceSizePlainStyleAndBgrColour) {
    TFrameworkFont font = StartFont();
    ParseFontSpec(QStringLiteral("\"宋体\", 12, [], [DA7003]"), font, true);
    EXPECT_EQ(font.Name, QStringLiteral("宋体"));
    EXPECT_EQ(font.Size, 12);
    EXPECT_EQ(font.Style, 0);
    EXPECT_EQ(font.Color, 0xDA7003u);
    EXPECT_EQ(font.Color & 0xFF, 0x03u);         // red
    EXPECT_EQ((font.Color >> 8) & 0xFF, 0x70u);  // green
    EXPECT_EQ((font.Color >> 16) & 0xFF, 0xDAu); // blue
}

TEST(FontSpecTest, StylesAreFoundAnywhereInTheListCaseSensitively) {
    TFrameworkFont font = StartFont();
    ParseFontSpec(QStringLiteral("\"Face\", 10, [Italic|Bold|Strikeout], [000000]"), font, true);
    EXPECT_EQ(font.Style, 1 | 2 | 8);
    ParseFontSpec(QStringLiteral("\"Face\", 10, [bold|Underline], [000000]"), font, true);
    EXPECT_EQ(font.Style, 4);
}

TEST(FontSpecTest, ColourIsLeftAloneWhenNotAskedFor) {
    TFrameworkFont font = StartFont();
    ParseFontSpec(QStringLiteral("\"Face\", 11, [Bold], [FFFFFF]"), font, false);
    EXPECT_EQ(font.Color, 0x123456u);
    EXPECT_EQ(font.Style, 1);
}

TEST(FontSpecTest, FailureKeepsWhatWasParsedBeforeIt) {
    TFrameworkFont font = StartFont();
    EXPECT_THROW(ParseFontSpec(QStringLiteral("\"Face\", big, [], [000000]"), font, true),
                 ESkinParseError);
    EXPECT_EQ(font.Name, QStringLiteral("Face"));
    EXPECT_EQ(font.Size, 9);
    EXPECT_EQ(font.Style, 15);
}

TEST(FontSpecTest, MalformedTextsFailAndKeepWhatTheStepsBeforeTheFaultSet) {
    // Each text stops at its first fault; the face and size before it are set, nothing after.
    struct TCase {
        const char* Text;
        const char* Face;
        int Size;
    };
    const TCase cases[] = {
        {"", "Start", 9},                    // no comma at all
        {"\"", "Start", 9},                  // no comma at all
        {",", "", 9},                        // the face is empty, no second comma
        {",,,", "", 9},                      // an empty size
        {"x,1,[],[1]", "", 9},               // no quotes or blanks: face and size come out empty
        {"\"a\",", "a", 9},                  // no size
        {"\"a\", 1,", "a", 1},               // no style list
        {"\"a\", 1, [],", "a", 1},           // no colour
        {"\"a\", 1, [], [", "a", 1},         // a colour that never closes
        {"\"a\", 1, [], [GG]", "a", 1},      // a colour that is not hexadecimal
        {"\"a\", 1, [], [1000000]", "a", 1}, // a colour wider than 0xBBGGRR
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        TFrameworkFont font = StartFont();
        EXPECT_THROW(ParseFontSpec(QString::fromUtf8(c.Text), font, true), ESkinParseError);
        EXPECT_EQ(font.Name, QString::fromUtf8(c.Face));
        EXPECT_EQ(font.Size, c.Size);
        EXPECT_EQ(font.Style, 15);
        EXPECT_EQ(font.Color, 0x123456u);
    }
}

TEST(MarginTextTest, FourItemsAreLeftTopRightBottom) {
    int l = -1, t = -1, r = -1, b = -1;
    ParseMarginText(QStringLiteral("3,3,3,5"), l, t, r, b);
    EXPECT_EQ(l, 3);
    EXPECT_EQ(t, 3);
    EXPECT_EQ(r, 3);
    EXPECT_EQ(b, 5);
}

TEST(MarginTextTest, OneItemSetsOnlyTheLeftMargin) {
    int l = -1, t = -1, r = -1, b = -1;
    ParseMarginText(QStringLiteral("8"), l, t, r, b);
    EXPECT_EQ(l, 8);
    EXPECT_EQ(t, -1);
    EXPECT_EQ(r, -1);
    EXPECT_EQ(b, -1);
}

TEST(MarginTextTest, EmptyTextSetsNothingAndANonNumberStopsWithEarlierFieldsSet) {
    int l = -1, t = -1, r = -1, b = -1;
    ParseMarginText(QString(), l, t, r, b);
    EXPECT_EQ(l, -1);
    EXPECT_THROW(ParseMarginText(QStringLiteral("4,x,6"), l, t, r, b), ESkinParseError);
    EXPECT_EQ(l, 4);
    EXPECT_EQ(t, -1);
    EXPECT_EQ(r, -1);
}

TEST(BoundsTextTest, TwoItemsSetOnlyLeftAndTop) {
    int l = -1, t = -1, w = -1, h = -1, type = -1;
    ParseBoundsText(QStringLiteral("10,20"), l, t, w, h, type);
    EXPECT_EQ(l, 10);
    EXPECT_EQ(t, 20);
    EXPECT_EQ(w, -1);
    EXPECT_EQ(h, -1);
    EXPECT_EQ(type, -1);
    ParseBoundsText(QStringLiteral("1,2,3,4,5,99"), l, t, w, h, type);
    EXPECT_EQ(type, 5);
}

TEST(AnchorsTextTest, ExactNamesInAnyOrder) {
    EXPECT_EQ(ParseAnchorsText(QStringLiteral("akBottom,akLeft")), TSkinAnchors(akLeft | akBottom));
    EXPECT_EQ(ParseAnchorsText(QStringLiteral("akleft,akbottom")), TSkinAnchors(0));
    EXPECT_EQ(ParseAnchorsText(QStringLiteral("akTop,akRight,other")),
              TSkinAnchors(akTop | akRight));
}

TEST(ImageSettingTextTest, PathRectangleAndStretchMode) {
    QString image;
    int l = -1, t = -1, w = -1, h = -1;
    TStretchMode mode = smTileBoth;
    ParseImageSettingText(QStringLiteral("Pictures.png,1,2,30,40,4"), image, l, t, w, h, mode);
    EXPECT_EQ(image, QStringLiteral("Pictures.png"));
    EXPECT_EQ(l, 1);
    EXPECT_EQ(t, 2);
    EXPECT_EQ(w, 30);
    EXPECT_EQ(h, 40);
    EXPECT_EQ(mode, smAvgColor);
    mode = smTileVert;
    ParseImageSettingText(QStringLiteral("Other.png,5,6,7,8,259"), image, l, t, w, h, mode);
    EXPECT_EQ(mode, smTileBoth); // only the low byte: 259 is 256 + 3
    ParseImageSettingText(QStringLiteral("Other.png,5,6,7,8,9"), image, l, t, w, h, mode);
    EXPECT_EQ(mode, smStretchBoth); // no such mode
}

} // namespace
} // namespace velmora
