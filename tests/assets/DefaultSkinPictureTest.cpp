// The default skin's pictures and numbers against the way they are drawn: every picture
// decodes, nine-slice pictures leave a centre beyond their margins, pictures that share a
// place share a size, and positions and margins fit the pictures they place.
#include "tests/assets/DefaultSkin.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <functional>
#include <gtest/gtest.h>

namespace velmora {
namespace {

using testing::SkinBytes;
using testing::SkinImage;
using testing::SkinInt;
using testing::SkinString;

// The wizard's client area, its title strip (bottom edge of the title rectangle) and the
// page control's tab height: the sizes the form and tab pictures are drawn at.
constexpr int KWizardWidth = 562;
constexpr int KWizardHeight = 371;
constexpr int KTitleBottom = 25;
constexpr int KTabHeight = 26;

void ForEachNode(const TBinTreeNode100& ANode, const QString& APath,
                 const std::function<void(const TBinTreeNode100&, const QString&)>& AVisit) {
    AVisit(ANode, APath);
    for (const TBinTreeNode100* child : ANode.ChildNodes())
        ForEachNode(*child, APath.isEmpty() ? child->NodeName() : APath + '\\' + child->NodeName(),
                    AVisit);
}

QSize SizeOf(const QString& APath) {
    const QImage image = SkinImage(APath);
    EXPECT_FALSE(image.isNull()) << APath.toStdString();
    return image.size();
}

// A picture cut into nine pieces must keep at least one pixel of centre between margins.
void ExpectNineSlice(const QString& APath, int ALeft, int ATop, int ARight, int ABottom) {
    const QSize size = SizeOf(APath);
    EXPECT_GT(size.width(), ALeft + ARight) << APath.toStdString();
    EXPECT_GT(size.height(), ATop + ABottom) << APath.toStdString();
}

void ExpectSameSize(const QStringList& APaths) {
    const QSize first = SizeOf(APaths.first());
    for (const QString& path : APaths)
        EXPECT_EQ(SizeOf(path), first) << path.toStdString();
}

int Int(const QString& APath) {
    const auto value = SkinInt(APath);
    EXPECT_TRUE(value) << APath.toStdString();
    return value.value_or(0);
}

testing::TMarginText Margin(const QString& APath) {
    const auto text = SkinString(APath);
    EXPECT_TRUE(text) << APath.toStdString();
    const auto margin = testing::ParseMargin(text.value_or(QString()));
    EXPECT_TRUE(margin && margin->Items == 4) << APath.toStdString();
    return margin.value_or(testing::TMarginText());
}

TEST(DefaultSkinPictures, EveryBinaryNodeIsAPictureThatDecodes) {
    int pictures = 0;
    ForEachNode(*testing::DefaultSkin().TopNode(), QString(),
                [&](const TBinTreeNode100& node, const QString& path) {
                    if (node.NodeType() != nt100_Binary)
                        return;
                    ++pictures;
                    QByteArray bytes = SkinBytes(path);
                    QBuffer buffer(&bytes);
                    QImageReader reader(&buffer);
                    const QByteArray format = reader.format();
                    // Only the window background is a photograph-like JPEG; everything drawn
                    // over something else needs PNG's alpha channel.
                    const QByteArray expected =
                        path == "SkinMgr\\DefaultSkins\\Image" ? "jpeg" : "png";
                    EXPECT_EQ(format, expected) << path.toStdString();
                    const QImage image = reader.read();
                    EXPECT_FALSE(image.isNull()) << path.toStdString();
                    if (expected == "png") {
                        EXPECT_TRUE(image.hasAlphaChannel()) << path.toStdString();
                    }
                });
    EXPECT_GT(pictures, 150);
}

// The 2x pictures ("DATA"/"SKIN@2x") are the same drawings at twice the pixels: every picture
// of the skin has one at the same path, of the same kind and exactly twice its size, and the
// document holds no picture the skin lacks.
TEST(DefaultSkinPictures, EveryPictureHasATwiceRenderingOfTwiceItsSize) {
    QFile file(QStringLiteral(":/DATA/SKIN@2x"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    TBinaryTreeDocument100 twice;
    twice.LoadFromStream(stream);
    int pictures = 0;
    ForEachNode(*testing::DefaultSkin().TopNode(), QString(),
                [&](const TBinTreeNode100& node, const QString& path) {
                    if (node.NodeType() != nt100_Binary)
                        return;
                    ++pictures;
                    const auto* rendering = NodeCast<TBinaryNode100>(twice.FindNodeByPath(path));
                    ASSERT_NE(rendering, nullptr) << path.toStdString();
                    QByteArray data = rendering->Bytes();
                    QBuffer buffer(&data);
                    QImageReader reader(&buffer);
                    const QByteArray format = reader.format();
                    const QImage image = reader.read();
                    const QImage own = SkinImage(path);
                    EXPECT_EQ(image.size(), own.size() * 2) << path.toStdString();
                    QByteArray ownBytes = SkinBytes(path);
                    QBuffer ownBuffer(&ownBytes);
                    EXPECT_EQ(format, QImageReader(&ownBuffer).format()) << path.toStdString();
                });
    int renderings = 0;
    ForEachNode(*twice.TopNode(), QString(), [&](const TBinTreeNode100& node, const QString& path) {
        if (node.NodeType() != nt100_Binary)
            return;
        ++renderings;
        EXPECT_NE(testing::DefaultSkin().FindNodeByPath(path), nullptr) << path.toStdString();
    });
    EXPECT_EQ(renderings, pictures);
}

TEST(DefaultSkinPictures, TheBackgroundCoversTheWizardWithoutUpscaling) {
    const QImage background = SkinImage("SkinMgr\\DefaultSkins\\Image");
    EXPECT_GE(background.width(), KWizardWidth);
    EXPECT_GE(background.height(), KWizardHeight);
    // The average-colour mode fades the last 26 columns and rows into the colour of the right
    // edge; a calm edge keeps that fade invisible.
    const QColor topRight = background.pixelColor(background.width() - 1, 40);
    const QColor bottomRight =
        background.pixelColor(background.width() - 1, background.height() - 1);
    EXPECT_LT(std::abs(topRight.lightness() - bottomRight.lightness()), 24);
}

TEST(DefaultSkinPictures, TitleBarButtonsSitSideBySideInsideTheTitleStrip) {
    const QString dir = "SkinForm\\SysBtns\\";
    QStringList all;
    for (const char* button : {"Min", "Max", "Restore", "Close"})
        for (const char* state : {"Normal", "Hover", "Down"})
            for (const char* active : {"Active", "Inactive"})
                all << dir + QString("%1_%2_%3.png").arg(button, state, active);
    ExpectSameSize(all);
    const QSize button = SizeOf(all.first());
    const int close = Int(dir + "Position\\CloseBtnRight");
    const int max = Int(dir + "Position\\MaxBtnRight");
    const int min = Int(dir + "Position\\MinBtnRight");
    EXPECT_GE(close, button.width()) << "the close button reaches past the right edge";
    EXPECT_GE(max - close, button.width()) << "maximise overlaps close";
    EXPECT_GE(min - max, button.width()) << "minimise overlaps maximise";
    for (const char* top : {"CloseBtnTop", "MaxBtnTop", "MinBtnTop"}) {
        EXPECT_GE(Int(dir + "Position\\" + top), 0);
        EXPECT_LE(Int(dir + "Position\\" + top) + button.height(), KTitleBottom) << top;
    }
    // The caption starts left of the buttons and inside the strip.
    EXPECT_GE(Int("SkinForm\\AppCaption\\X"), 0);
    EXPECT_LT(Int("SkinForm\\AppCaption\\X"), KWizardWidth - min);
    EXPECT_GE(Int("SkinForm\\AppCaption\\Y"), -3);
}

TEST(DefaultSkinPictures, HoverAndDownLookDifferentFromNormal) {
    for (const char* button : {"Min", "Max", "Restore", "Close"}) {
        const QString base = QString("SkinForm\\SysBtns\\%1_").arg(button);
        const QImage normal = SkinImage(base + "Normal_Active.png");
        EXPECT_NE(normal, SkinImage(base + "Hover_Active.png")) << button;
        EXPECT_NE(SkinImage(base + "Hover_Active.png"), SkinImage(base + "Down_Active.png"))
            << button;
        EXPECT_NE(normal, SkinImage(base + "Normal_Inactive.png")) << button;
    }
}

TEST(DefaultSkinPictures, TheShadowFitsItsMarginsAndFadesOut) {
    const QString dir = "SkinForm\\Shadow\\";
    const testing::TMarginText size = Margin(dir + "ShadowSizeMargin");
    const testing::TMarginText draw = Margin(dir + "ShadowDrawMargin");
    ExpectNineSlice(dir + "ShadowBitmap.png", draw.Left, draw.Top, draw.Right, draw.Bottom);
    // The shadow around the form lies inside the corner and side pieces, so stretching the
    // centre never stretches the fall-off.
    EXPECT_GT(size.Left, 0);
    EXPECT_GT(size.Top, 0);
    EXPECT_LT(size.Left, draw.Left);
    EXPECT_LT(size.Top, draw.Top);
    EXPECT_LT(size.Right, draw.Right);
    EXPECT_LT(size.Bottom, draw.Bottom);
    const QImage shadow = SkinImage(dir + "ShadowBitmap.png");
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(shadow.width() - 1, 0), QPoint(0, shadow.height() - 1),
          QPoint(shadow.width() - 1, shadow.height() - 1)})
        EXPECT_EQ(qAlpha(shadow.pixel(corner)), 0) << corner.x() << "," << corner.y();
    EXPECT_GT(qAlpha(shadow.pixel(size.Left, shadow.height() / 2)), 0);
    // Without the nine-slice picture the strips decide how far the shadow reaches, so they
    // must agree with the size margins.
    EXPECT_EQ(SizeOf(dir + "ShadowTopBitmap.png").height(), size.Top);
    EXPECT_EQ(SizeOf(dir + "ShadowBottomBitmap.png").height(), size.Bottom);
    EXPECT_EQ(SizeOf(dir + "ShadowLeftBitmap.png").width(), size.Left);
    EXPECT_EQ(SizeOf(dir + "ShadowRightBitmap.png").width(), size.Right);
}

TEST(DefaultSkinPictures, TheBackgroundOverlayLeavesACentreToStretch) {
    for (const QString& name : testing::SkinDirectories("SkinForm\\SufferBackGroundConfigs")) {
        const QString dir = "SkinForm\\SufferBackGroundConfigs\\" + name + "\\";
        const testing::TMarginText margin = Margin(dir + "Margin");
        ExpectNineSlice(dir + "Image", margin.Left, margin.Top, margin.Right, margin.Bottom);
        // The overlay's top piece carries the title strip, so it must be as deep as the strip.
        EXPECT_GE(margin.Top, KTitleBottom);
    }
}

TEST(DefaultSkinPictures, ButtonFamiliesHaveOneSizePerFamilyAndRoomForTheirMargins) {
    for (const char* family : {"Button", "BitButton", "SpeedButton", "DropDownButton"}) {
        QStringList states;
        for (const char* state : {"Normal", "Hover", "Down", "Disabled", "Focused"})
            states << QString("ControlStyle\\%1\\0\\%2.png").arg(family, state);
        ExpectSameSize(states);
        // Buttons cut their pictures with 3-pixel margins.
        ExpectNineSlice(states.first(), 3, 3, 3, 3);
        // A touched button answers: hover and down each look different from the rest.
        EXPECT_NE(SkinImage(states[0]), SkinImage(states[1])) << family;
        EXPECT_NE(SkinImage(states[1]), SkinImage(states[2])) << family;
        EXPECT_NE(SkinImage(states[0]), SkinImage(states[2])) << family;
    }
    // A drop-down picture is split into a left part and an arrow part of the drop-down width
    // plus 4 pixels each; both parts need room for the 4-pixel margins they are cut with.
    const int width = Int("ControlStyle\\DropDownButton\\0\\DropDownWidth");
    EXPECT_EQ(testing::SkinBool("ControlStyle\\DropDownButton\\0\\IsLeftRightBitmapSeperate"),
              false);
    EXPECT_GT(width, 8);
    EXPECT_GT(SizeOf("ControlStyle\\DropDownButton\\0\\Normal.png").width(), 2 * (width + 4));
}

TEST(DefaultSkinPictures, PageControlPicturesFitTheTabStrip) {
    for (const char* orientation : {"Horizontal", "Vertical"}) {
        const QString dir = QString("ControlStyle\\PageControlEx\\%1\\0\\").arg(orientation);
        ExpectSameSize({dir + "TabBtnImg_Normal.png", dir + "TabBtnImg_Hover.png",
                        dir + "TabBtnImg_Down.png"});
        // The active tab stands out from the hovered one, and both from a plain tab.
        EXPECT_NE(SkinImage(dir + "TabBtnImg_Down.png"), SkinImage(dir + "TabBtnImg_Hover.png"));
        EXPECT_NE(SkinImage(dir + "TabBtnImg_Hover.png"), SkinImage(dir + "TabBtnImg_Normal.png"));
        // Tabs and the strip are cut with 8-pixel margins.
        for (const char* picture : {"TabBtnImg_Normal.png", "TabBackGround.png"})
            ExpectNineSlice(dir + picture, 8, 8, 8, 8);
        for (const char* button :
             {"AttachButton", "CustomButton", "CloseButton", "PageDownButton", "PageUpButton"}) {
            QStringList states;
            for (const char* state : {"Normal", "Hover", "Down"})
                states << dir + QString("%1_%2.png").arg(button, state);
            ExpectSameSize(states);
            // A strip button is centred vertically at its own height.
            EXPECT_LE(SizeOf(states.first()).height(), KTabHeight) << button;
            EXPECT_LE(SizeOf(states.first()).width(), KTabHeight) << button;
        }
    }
    const QString horizontal = "ControlStyle\\PageControlEx\\Horizontal\\0\\";
    EXPECT_EQ(SizeOf(horizontal + "TabBtnImg_Down.png").height(), KTabHeight);
    EXPECT_EQ(SizeOf(horizontal + "TabBackGround.png").height(), KTabHeight);
}

TEST(DefaultSkinPictures, ScrollBarPicturesMatchTheBarThickness) {
    constexpr int bar = 17;
    for (const char* orientation : {"Horizontal", "Vertical"}) {
        const QString dir = QString("ControlStyle\\ZoneViewScrollBar\\0\\%1\\").arg(orientation);
        EXPECT_EQ(SizeOf(dir + "Up.png"), QSize(bar, bar));
        EXPECT_EQ(SizeOf(dir + "Down.png"), QSize(bar, bar));
        // The thumb is cut into two 3-pixel caps, a 10-pixel grip and stretches between.
        const QSize thumb = SizeOf(dir + "Scroll.png");
        const bool vertical = QString(orientation) == "Vertical";
        EXPECT_EQ(vertical ? thumb.width() : thumb.height(), bar);
        EXPECT_GT(vertical ? thumb.height() : thumb.width(), 3 + 10 + 3 + 2);
    }
}

TEST(DefaultSkinPictures, ZoneViewStylesHaveCuttablePicturesAndReadableFonts) {
    for (const QString& style : testing::SkinDirectories("ControlStyle\\ZoneViewStyle")) {
        const QString dir = "ControlStyle\\ZoneViewStyle\\" + style + "\\";
        for (const char* picture :
             {"ZoneBackImage\\Active", "ZoneBackImage\\Hover", "ZoneBackImage\\Normal",
              "ZoneNodeBackImage\\CollapseBackImage", "ZoneNodeBackImage\\ExpandBackImage",
              "ZoneNodeBackImage\\Hover"})
            ExpectNineSlice(dir + picture, 8, 8, 8, 8);
        ExpectSameSize({dir + "ZoneNodeStateIcons\\Expand", dir + "ZoneNodeStateIcons\\Collapse"});
        const QSize icon = SizeOf(dir + "ZoneNodeStateIcons\\Expand");
        // Node captions start right of the state icon.
        EXPECT_GE(Int(dir + "ZoneFont\\NodeFontXOffset"),
                  Int(dir + "ZoneIcons\\IconXOffset") + icon.width())
            << style.toStdString();
        for (const char* kind : {"Node", "Nick", "Info", "Main"})
            for (const char* state : {"Normal", "Active", "Hover"}) {
                const QString path = dir + QString("ZoneFont\\%1%2Font").arg(kind, state);
                const auto font = testing::ParseFontSpec(SkinString(path).value_or(QString()));
                ASSERT_TRUE(font) << path.toStdString();
                EXPECT_GE(font->Size, 8);
                EXPECT_LE(font->Size, 16);
                for (const QString& name : font->Styles)
                    EXPECT_TRUE(
                        QStringList({"Bold", "Italic", "Underline", "Strikeout"}).contains(name))
                        << path.toStdString();
            }
        // Selected entries must stay readable: the active caption colour differs from the
        // active background's centre.
        const QImage active = SkinImage(dir + "ZoneBackImage\\Active");
        const QRgb centre = active.pixel(active.width() / 2, active.height() / 2);
        const auto font =
            testing::ParseFontSpec(SkinString(dir + "ZoneFont\\NodeActiveFont").value_or(""));
        ASSERT_TRUE(font);
        const QColor text(font->Colour & 0xFF, (font->Colour >> 8) & 0xFF, font->Colour >> 16);
        EXPECT_GT(std::abs(QColor(centre).lightness() - text.lightness()), 60)
            << style.toStdString();
    }
}

TEST(DefaultSkinPictures, FontSpecsParseByPosition) {
    const auto font = testing::ParseFontSpec("\"宋体\", 12, [], [DA7003]");
    ASSERT_TRUE(font);
    EXPECT_EQ(font->Face, QStringLiteral("宋体"));
    EXPECT_EQ(font->Size, 12);
    EXPECT_TRUE(font->Styles.isEmpty());
    EXPECT_EQ(font->Colour, 0xDA7003u);
    EXPECT_FALSE(testing::ParseFontSpec("\"宋体\",12, [], [DA7003]"));
    EXPECT_FALSE(testing::ParseFontSpec("宋体, 12, [], [DA7003]"));
}

TEST(DefaultSkinPictures, HeadFramesAndPanelLeaveRoomForTheirMargins) {
    const int margin = Int("ControlStyle\\HeadFrame\\0\\FrameMargin");
    EXPECT_GT(margin, 0);
    ExpectSameSize(
        {"ControlStyle\\HeadFrame\\0\\FrameActive", "ControlStyle\\HeadFrame\\0\\FrameNormal"});
    ExpectNineSlice("ControlStyle\\HeadFrame\\0\\FrameActive", margin, margin, margin, margin);
    ExpectNineSlice("ControlStyle\\Panel\\FormClientPanelBackImage", 8, 8, 8, 8);
}

TEST(DefaultSkinPictures, PopupMenuNumbersFitItsPictures) {
    const QString dir = "ControlStyle\\PopupMenu\\";
    const int left = Int(dir + "MenuBkgBitmapLeftMargin");
    const int right = Int(dir + "MenuBkgBitmapRightMargin");
    ExpectNineSlice(dir + "MenuBkgBitmap", left, Int(dir + "MenuBkgBitmapTopMargin"), right,
                    Int(dir + "MenuBkgBitmapBottomMargin"));
    ExpectNineSlice(dir + "MenuCover", left, 0, right, 0);
    // The check mark sits in the icon column, left of the captions.
    EXPECT_LE(Int(dir + "MenuIconDrawLeftMargin") + SizeOf(dir + "MenuCheck").width(),
              Int(dir + "MenuCaptionDrawLeftMargin"));
    EXPECT_LE(SizeOf(dir + "MenuArrowBitmap").width(), Int(dir + "MenuArrowBitmapDrawRightMargin"));
    EXPECT_LE(Int(dir + "MenuCutlingDrawHeight"), Int(dir + "MenuCutlingHeight"));
    EXPECT_EQ(SizeOf(dir + "MenuCutling").height(), Int(dir + "MenuCutlingDrawHeight"));
    EXPECT_GE(Int(dir + "MenuCaptionDrawLeftMargin"), left);
}

} // namespace
} // namespace velmora
