#include "skin/drawing/GDIHintWindow.h"
#include "skin/drawing/GDIIMG.h"
#include "skin/drawing/GDIText.h"
#include "skin/drawing/SkinColors.h"
#include "tests/support/PictureFixtures.h"
#include "tests/support/SkinTestSupport.h"
#include "tests/support/VirtualClock.h"

#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>

namespace velmora {
namespace {

class ElementXml : public testing::SkinTest {
protected:
    QDomElement Element(const QString& xml) {
        FDocument.setContent(xml);
        return FDocument.documentElement();
    }
    QDomDocument FDocument;
};

TEST_F(ElementXml, FontStyleBitsAreRead) {
    TGDIText text;
    ASSERT_TRUE(text.LoadFromXMLNode(Element(R"(<TEXT FontStyle="1"/>)")));
    EXPECT_EQ(text.FontStyle(), FontStyleBold);
    EXPECT_TRUE(text.Font().bold());
    ASSERT_TRUE(text.LoadFromXMLNode(Element(R"(<TEXT FontStyle="12"/>)")));
    EXPECT_EQ(text.FontStyle(), FontStyleUnderline | FontStyleStrikeout);
    EXPECT_FALSE(text.Font().bold());
    EXPECT_TRUE(text.Font().underline());
    EXPECT_TRUE(text.Font().strikeOut());
    ASSERT_TRUE(text.LoadFromXMLNode(Element(R"(<TEXT FontStyle="19"/>)")));
    EXPECT_EQ(text.FontStyle(), 3); // only the four style bits
}

TEST_F(ElementXml, ColourRoundTripsAsUnsignedDecimal) {
    TGDIText text;
    ASSERT_TRUE(text.LoadFromXMLNode(Element(R"(<TEXT FontColor="4278190335"/>)")));
    EXPECT_EQ(text.FontColor(), 0xFF0000FFu);
    QDomElement out = FDocument.createElement("TEXT");
    ASSERT_TRUE(text.SaveToXMLNode(out));
    EXPECT_EQ(out.attribute("FontColor"), "4278190335");
    // Larger 64-bit values keep their low 32 bits; negative ones their two's complement.
    ASSERT_TRUE(
        text.LoadFromXMLNode(Element(R"(<TEXT FontColor="8573157631" ShadowColor="-1"/>)")));
    EXPECT_EQ(text.FontColor(), 0xFF0000FFu);
    EXPECT_EQ(text.ShadowColor(), 0xFFFFFFFFu);
}

TEST_F(ElementXml, EveryTextAttributeSurvivesARoundTrip) {
    TGDIText text;
    text.SetName("lblTitle");
    text.SetHint("hint text");
    text.SetLinkedURL("https://example.invalid/");
    text.SetEnableHovered(true);
    text.SetEnableClick(true);
    text.SetBounds(3, 4, 50, 60);
    text.SetVisible(false);
    text.SetShowHint(true);
    text.SetEnableHint(true);
    text.SetHintInterval(1500);
    text.SetText("安装");
    text.SetFontSize(11);
    text.SetHoveredFontSize(12);
    text.SetFontFamilyName("宋体");
    text.SetHoveredFontFamilyName("Sans");
    text.SetFontStyle(FontStyleItalic);
    text.SetHoveredFontStyle(FontStyleBold);
    text.SetFontColor(0xFF112233);
    text.SetHoveredFontColor(0xFF445566);
    text.SetShadowColor(0x80778899);
    text.SetFontUnitPoint(UnitPixel);
    text.SetHoveredFontUnitPoint(UnitPixel);
    text.SetPrintStyle(psPointFormat);
    text.SetIsDrawShadow(true);
    text.SetIsAutoShadowColor(false);
    text.SetAutoSize(true);
    QDomElement out = FDocument.createElement("TEXT");
    ASSERT_TRUE(text.SaveToXMLNode(out));
    EXPECT_EQ(out.attribute("EnableHovered"), "-1");
    EXPECT_EQ(out.attribute("Visible"), "0");

    TGDIText copy;
    ASSERT_TRUE(copy.LoadFromXMLNode(out));
    QDomElement again = FDocument.createElement("TEXT");
    ASSERT_TRUE(copy.SaveToXMLNode(again));
    const QDomNamedNodeMap attributes = out.attributes();
    EXPECT_EQ(attributes.count(), 29); // 13 common and 16 text attributes
    for (int i = 0; i < attributes.count(); ++i) {
        const QString name = attributes.item(i).nodeName();
        EXPECT_EQ(again.attribute(name), out.attribute(name)) << name.toStdString();
    }
    EXPECT_EQ(copy.PosY(), 4);
    EXPECT_EQ(copy.GetRect(), (TGPRectF{3, 4, 50, 60}));
    EXPECT_EQ(copy.ShadowColor(), 0x80778899u);
}

TEST_F(ElementXml, BooleanTextsAndAFailureThatKeepsEarlierValues) {
    TGDIText text;
    ASSERT_TRUE(text.LoadFromXMLNode(Element(R"(<TEXT IsDrawShadow="True" AutoSize="False"/>)")));
    EXPECT_TRUE(text.IsDrawShadow());
    EXPECT_FALSE(text.AutoSize());
    EXPECT_FALSE(text.LoadFromXMLNode(
        Element(R"(<TEXT Name="first" PosX="12" Visible="maybe" HintInterval="5"/>)")));
    EXPECT_EQ(text.Name(), "first");
    EXPECT_EQ(text.PosX(), 12);
    EXPECT_EQ(text.HintInterval(), 1000); // read after the failing attribute: not applied
    const QStringList lines = Log()->Lines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(
        lines[0].contains("ClassName:TGDIText   ObjectName:first   ExceptionName:ESkinXmlError"));
    EXPECT_TRUE(lines[0].endsWith("AdditionalMsg:LoadFromXMLNode"));
}

TEST_F(ElementXml, ImageAttributesAndFileDecoding) {
    QTemporaryDir folder;
    const QString path = folder.filePath("pic.png");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(fixtures::EncodePng(fixtures::Solid(3, 2, 0xFF00FF00)));
    file.close();
    TGDIIMG image;
    EXPECT_EQ(image.NodeName(), "IMAGE");
    QDomElement in = FDocument.createElement("IMAGE");
    in.setAttribute("FileName", path);
    in.setAttribute("Stretch", "-1");
    in.setAttribute("IsLocal", "0");
    ASSERT_TRUE(image.LoadFromXMLNode(in));
    EXPECT_TRUE(image.Stretch());
    EXPECT_FALSE(image.IsLocal());
    EXPECT_EQ(image.ImageWidth(), 3);
    QDomElement out = FDocument.createElement("IMAGE");
    ASSERT_TRUE(image.SaveToXMLNode(out));
    EXPECT_EQ(out.attribute("FileName"), path);
    EXPECT_EQ(out.attribute("Stretch"), "-1");
    image.SetFileName(folder.filePath("gone.png"));
    EXPECT_FALSE(image.Image());
}

TEST_F(ElementXml, ImageDrawsUnscaledUnlessStretched) {
    TGDIIMG image;
    image.SetImageGraphic(fixtures::Solid(2, 2, 0xFFFF0000));
    ASSERT_EQ(image.ImageWidth(), 2);
    image.SetBounds(1, 1, 6, 6);
    TGPBitmap plain(10, 10);
    {
        TGPGraphics graphics(plain);
        image.Paint(&graphics, 2, 0);
    }
    EXPECT_EQ(plain.GetPixel(3, 1), 0xFFFF0000u);
    EXPECT_EQ(plain.GetPixel(4, 2), 0xFFFF0000u);
    EXPECT_EQ(plain.GetPixel(5, 3), 0u); // width and height ignored
    image.SetStretch(true);
    TGPBitmap stretched(10, 10);
    {
        TGPGraphics graphics(stretched);
        image.Paint(&graphics, 2, 0);
    }
    EXPECT_EQ(stretched.GetPixel(8, 6), 0xFFFF0000u);
    EXPECT_EQ(stretched.GetPixel(9, 7), 0u);
    image.SetVisible(false);
    TGPBitmap hidden(10, 10);
    {
        TGPGraphics graphics(hidden);
        image.Paint(&graphics, 0, 0);
    }
    EXPECT_EQ(hidden.GetPixel(1, 1), 0u);
    image.SuitImageSize();
    EXPECT_EQ(image.Width(), 2);
}

TEST(HintGeometry, WrapsAt240Pixels) {
    EXPECT_EQ(HintRectAt(100, 50, 300, 16), QRect(100, 50, 240, 32));
    EXPECT_EQ(HintRectAt(0, 0, 230, 16), QRect(0, 0, 240, 16)); // exactly 240: one line
    EXPECT_EQ(HintRectAt(0, 0, 231, 16), QRect(0, 0, 240, 32));
    EXPECT_EQ(HintRectAt(0, 0, 480, 10), QRect(0, 0, 240, 30));
    EXPECT_EQ(HintRectAt(5, 6, 40, 16), QRect(5, 6, 50, 16));
}

class HintDelay : public testing::SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        FObject.SetBounds(0, 0, 100, 20);
        FObject.SetEnableHint(true);
        FObject.SetHint(QStringLiteral("点击安装"));
        FObject.SetFormLeft(300);
        FObject.SetFormTop(200);
        FObject.OnMouseHover = [this](TGDIObject* sender, int x, int y) {
            EXPECT_EQ(sender, &FObject);
            FHovers.push_back(QPoint(x, y));
        };
    }
    testing::TVirtualClock FClock;
    TGDIText FObject;
    std::vector<QPoint> FHovers;
};

TEST_F(HintDelay, HoverFiresOnceAfterTheIntervalFromTheFirstInsideHit) {
    ASSERT_TRUE(FObject.IsInRegion(10, 5));
    FClock.Advance(500);
    ASSERT_TRUE(FObject.IsInRegion(12, 6)); // the delay keeps running, not restarted
    FClock.Advance(499);
    EXPECT_TRUE(FHovers.empty());
    FClock.Advance(1);
    ASSERT_EQ(FHovers.size(), 1u);
    EXPECT_EQ(FHovers[0], QPoint(12, 6)); // the last inside point
    FClock.Advance(5000);
    EXPECT_EQ(FHovers.size(), 1u);
    EXPECT_FALSE(FObject.IsStartHintTimer());
}

TEST_F(HintDelay, LeavingBeforeTheDelayRaisesNothing) {
    ASSERT_TRUE(FObject.IsInRegion(10, 5));
    FClock.Advance(300);
    EXPECT_FALSE(FObject.IsInRegion(150, 5));
    FClock.Advance(1000);
    EXPECT_TRUE(FHovers.empty());
}

TEST_F(HintDelay, TooltipShowsBesideTheHoveredPointAndHidesOnLeave) {
    FObject.SetShowHint(true);
    FObject.SetHintInterval(200);
    ASSERT_TRUE(FObject.IsInRegion(10, 5));
    FClock.Advance(200);
    TGDIHintWindow* window = FObject.HintWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->Text(), QStringLiteral("点击安装"));
    EXPECT_EQ(window->geometry(), window->CalcHintRect(330, 225, FObject.Hint()));
    EXPECT_FALSE(FObject.IsInRegion(-1, 5));
    EXPECT_FALSE(window->isVisible());
}

TEST_F(HintDelay, DisabledHintsStartNoDelay) {
    FObject.SetEnableHint(false);
    ASSERT_TRUE(FObject.IsInRegion(10, 5));
    EXPECT_FALSE(FObject.IsStartHintTimer());
    FClock.Advance(2000);
    EXPECT_TRUE(FHovers.empty());
}

TEST_F(HintDelay, TooltipPaintsInfoColourInsideABlackFrame) {
    TGDIHintWindow window;
    window.ActivateHint(QRect(10, 10, 60, 20), QStringLiteral("提示"));
    const QImage picture = window.grab().toImage();
    ASSERT_EQ(picture.size(), QSize(60, 20));
    EXPECT_EQ(picture.pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(picture.pixel(59, 19), 0xFF000000u);
    EXPECT_EQ(picture.pixel(30, 19), 0xFF000000u);
    EXPECT_EQ(picture.pixel(1, 1), ColorToGPColor(SystemColorFlag | 24));
    window.ReleaseHandle();
    EXPECT_FALSE(window.isVisible());
}

TEST(ElementEvents, ClickMoveAndHoverReachTheirHandlers) {
    TGDIText object;
    std::vector<QString> seen;
    object.OnClick = [&](TGDIObject*, int x, int y) {
        seen.push_back(QString("click %1,%2").arg(x).arg(y));
    };
    object.OnMouseMove = [&](TGDIObject*, int x, int y) {
        seen.push_back(QString("move %1,%2").arg(x).arg(y));
    };
    object.Click(1, 2);
    object.MouseMove(3, 4, true);
    object.MouseHover(5, 6); // no handler: nothing
    EXPECT_EQ(seen, (std::vector<QString>{"click 1,2", "move 3,4"}));
}

} // namespace
} // namespace velmora
