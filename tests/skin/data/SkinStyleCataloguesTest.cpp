// The style catalogues filled from small skins: every family, its paths, kinds and defaults.
#include "skin/data/SkinControlClasses.h"
#include "skin/data/SkinMng.h"
#include "tests/support/SkinDocBuilder.h"
#include "tests/support/SkinTestSupport.h"

namespace velmora {
namespace {

using testing::TSkinDocBuilder;

class SkinCataloguesTest : public testing::SkinTest {
protected:
    // Loads the skin into the test's own manager.
    void Load(const TSkinDocBuilder& ASkin) {
        const QString path = ASkin.SaveTo(FFolder, QStringLiteral("skin%1.btd").arg(++FCount));
        ASSERT_TRUE(FMng.ChangeSkinFile(path, false));
    }
    QTemporaryDir FFolder;
    int FCount = 0;
    TSkinMng FMng;
};

TEST_F(SkinCataloguesTest, NewManagerHasEmptyCataloguesWithTheirNodeNames) {
    EXPECT_EQ(FMng.SkinButtonStyles().Count(), 0);
    EXPECT_EQ(FMng.SkinFormStyles().FormStyleItem(), nullptr);
    EXPECT_EQ(FMng.SkinButtonStyles().StyleNodeName(), QStringLiteral("Button"));
    EXPECT_EQ(FMng.SkinBitButtonStyles().StyleNodeName(), QStringLiteral("BitButton"));
    EXPECT_EQ(FMng.SkinSpeedButtonStyles().StyleNodeName(), QStringLiteral("SpeedButton"));
    EXPECT_EQ(FMng.SkinDropDownButtonStyles().StyleNodeName(), QStringLiteral("DropDownButton"));
    EXPECT_EQ(FMng.HorzPageControlStyles().StyleNodeName(), QStringLiteral("Horizontal"));
    EXPECT_EQ(FMng.SkinFormStyles().StyleNodeName(), QStringLiteral("SkinForm"));
    EXPECT_EQ(FMng.SkinZoneViewStyles().StyleNodeName(), QStringLiteral("ZoneViewStyle"));
    EXPECT_EQ(FMng.SkinZoneViewItems().StyleNodeName(), QStringLiteral("ZoneViewScrollBar"));
    EXPECT_EQ(FMng.SkinPanelStyles().StyleNodeName(), QStringLiteral("Panel"));
    EXPECT_EQ(FMng.SkinHeadFrameStyles().StyleNodeName(), QStringLiteral("HeadFrame"));
}

TEST_F(SkinCataloguesTest, EmptyFamilyGivesAnEmptyCatalogue) {
    TSkinDocBuilder skin;
    skin.Dir("ControlStyle\\Button");
    Load(skin);
    EXPECT_EQ(FMng.SkinButtonStyles().Count(), 0);
    EXPECT_EQ(FMng.SkinButtonStyles().GetItem("0"), nullptr);
    EXPECT_EQ(FMng.SkinButtonStyles().GetItem(""), nullptr);
}

TEST_F(SkinCataloguesTest, ButtonStylesReadTheirPicturesAndPrepareElements) {
    TSkinDocBuilder skin;
    skin.Png("ControlStyle\\Button\\0\\Normal.png", 20, 10);
    skin.Png("ControlStyle\\Button\\0\\Focused.png", 12, 12);
    skin.Int("ControlStyle\\Button\\0\\Ignored", 1);
    skin.Png("ControlStyle\\BitButton\\Big\\Down.png", 30, 30);
    skin.Png("ControlStyle\\SpeedButton\\S\\Hover.png", 9, 9);
    Load(skin);
    const TSkinButtonStyleItem* button = FMng.SkinButtonStyles().GetItem("0");
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->NormalBitmap());
    EXPECT_EQ(button->NormalBitmap()->Width(), 20);
    EXPECT_FALSE(button->HoverBitmap());
    EXPECT_FALSE(button->DownBitmap());
    EXPECT_FALSE(button->DisabledBitmap());
    ASSERT_TRUE(button->FocusedBitmap());
    EXPECT_EQ(button->NormalBitmapElement()->Image(), button->NormalBitmap());
    EXPECT_EQ(button->NormalBitmapElement()->LeftMargin(), 3);
    EXPECT_EQ(button->NormalBitmapElement()->TopMargin(), 3);
    EXPECT_FALSE(button->HoverBitmapElement()->Image());
    EXPECT_EQ(FMng.SkinButtonStyles().Count(), 1);
    ASSERT_NE(FMng.SkinBitButtonStyles().GetItem("Big"), nullptr);
    EXPECT_TRUE(FMng.SkinBitButtonStyles().GetItem("Big")->DownBitmap());
    ASSERT_NE(FMng.SkinSpeedButtonStyles().GetItem("S"), nullptr);
    EXPECT_TRUE(FMng.SkinSpeedButtonStyles().GetItem("S")->HoverBitmap());
}

TEST_F(SkinCataloguesTest, StyleNamesAreExactAndTheFirstOfEqualNamesWins) {
    TSkinDocBuilder skin;
    TBinTreeNode100* family = skin.Dir("ControlStyle\\Button");
    skin.Dir("ControlStyle\\Button\\Blue");
    skin.Png("ControlStyle\\Button\\Blue\\Normal.png", 7, 7);
    // A second directory of the same name, which a path lookup would never reach.
    TBinTreeNode100* twin = new TDirectoryNode100(family, "Blue");
    auto* picture = new TBinaryNode100(twin, "Normal.png");
    const QByteArray png = fixtures::EncodePng(fixtures::Solid(9, 9, 0xFFFF0000));
    picture->WriteBuffer(png.constData(), png.size());
    Load(skin);
    TButtonStyles& styles = FMng.SkinButtonStyles();
    ASSERT_EQ(styles.Count(), 2);
    EXPECT_EQ(styles.GetItem("Blue"), styles.Items(0));
    EXPECT_EQ(styles.GetItem("blue"), nullptr);
    EXPECT_EQ(styles.GetItem("Blue "), nullptr);
    EXPECT_EQ(styles.GetItem("BLUE"), nullptr);
}

TEST_F(SkinCataloguesTest, DropDownWidthComesFromTheSkinOrIsZero) {
    TSkinDocBuilder skin;
    skin.Png("ControlStyle\\DropDownButton\\0\\Normal.png", 40, 20);
    skin.Int("ControlStyle\\DropDownButton\\Wide\\DropDownWidth", 16);
    skin.Png("ControlStyle\\DropDownButton\\Wide\\Normal.png", 40, 20);
    Load(skin);
    const TSkinDropDownButtonStyleItem* plain = FMng.SkinDropDownButtonStyles().GetItem("0");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->DropDownWidth(), 0);
    EXPECT_FALSE(plain->IsLeftRightBitmapSeperate());
    const TSkinDropDownButtonStyleItem* wide = FMng.SkinDropDownButtonStyles().GetItem("Wide");
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->DropDownWidth(), 16);
    // The whole picture is cut by the width read before it: the right part keeps 16 + 4.
    EXPECT_EQ(wide->RightNormalBitmapElement()->ClipLeftMargin(), 40 - 16 - 4);
    EXPECT_EQ(wide->LeftNormalBitmapElement()->ClipRightMargin(), 40 - 16 - 4);
    EXPECT_FALSE(wide->LeftNormalBitmap());
}

TEST_F(SkinCataloguesTest, SeparateDropDownPicturesSkipTheWholeOnes) {
    TSkinDocBuilder skin;
    const QString base = "ControlStyle\\DropDownButton\\Split\\";
    skin.Bool(base + "IsLeftRightBitmapSeperate", true);
    skin.Png(base + "Normal.png", 40, 20);
    skin.Png(base + "LeftNormal.png", 30, 20);
    skin.Png(base + "RightHover.png", 12, 20);
    Load(skin);
    const TSkinDropDownButtonStyleItem* split = FMng.SkinDropDownButtonStyles().GetItem("Split");
    ASSERT_NE(split, nullptr);
    EXPECT_TRUE(split->IsLeftRightBitmapSeperate());
    EXPECT_FALSE(split->NormalBitmap());
    ASSERT_TRUE(split->LeftNormalBitmap());
    EXPECT_EQ(split->LeftNormalBitmapElement()->LeftMargin(), 8);
    EXPECT_TRUE(split->RightBitmap(sbsHover));
}

TEST_F(SkinCataloguesTest, PageControlReadsTheHorizontalFamilyOnly) {
    TSkinDocBuilder skin;
    skin.Png("ControlStyle\\PageControlEx\\Horizontal\\0\\TabBtnImg_Normal.png", 30, 20);
    skin.Png("ControlStyle\\PageControlEx\\Horizontal\\0\\PageUpButton_Disabled.png", 5, 5);
    skin.Png("ControlStyle\\PageControlEx\\Vertical\\V\\TabBtnImg_Normal.png", 30, 20);
    Load(skin);
    TSkinPageControlStyles& styles = FMng.HorzPageControlStyles();
    ASSERT_EQ(styles.Count(), 1);
    const TSkinPageControlStyleItem* item = styles.GetItem("0");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->TabBtnImg_Normal());
    EXPECT_EQ(item->TabBtnImg_NormalElement()->Image(), item->TabBtnImg_Normal());
    EXPECT_EQ(item->TabBtnImg_NormalElement()->LeftMargin(), 8);
    EXPECT_TRUE(item->Image(pciPageUpBtnDisabled));
    EXPECT_FALSE(item->Image(pciCloseBtnNormal));
    EXPECT_EQ(item->AverageGPColor(), 0u);
}

TEST_F(SkinCataloguesTest, FormStyleDefaultsWithoutNodes) {
    TSkinDocBuilder skin;
    skin.Dir("SkinForm");
    Load(skin);
    const TSkinFormStyleItem* form = FMng.SkinFormStyles().FormStyleItem();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->StyleName(), QStringLiteral("SkinForm"));
    EXPECT_EQ(form->CloseBtnRight(), 37);
    EXPECT_EQ(form->CloseBtnTop(), 1);
    EXPECT_EQ(form->MaxBtnRight(), 64);
    EXPECT_EQ(form->MinBtnRight(), 90);
    EXPECT_EQ(form->AppCaptionX(), 5);
    EXPECT_EQ(form->AppCaptionY(), 5);
    EXPECT_FALSE(form->EnabledShadow());
    EXPECT_FALSE(form->IsDrawCaption());
    EXPECT_EQ(form->ShadowSizeMargin(), TMargin{});
    EXPECT_FALSE(form->SufferBackGrounds().DefaultPngBkg()->Image());
}

TEST_F(SkinCataloguesTest, FormStyleReadsButtonsShadowAndPositions) {
    TSkinDocBuilder skin;
    skin.Png("SkinForm\\SysBtns\\Close_Hover_Active.png", 28, 20);
    skin.Png("SkinForm\\SysBtns\\Close_Hover_Inactive.png", 28, 20);
    skin.Png("SkinForm\\SysBtns\\Min_Normal_Active.png", 28, 20);
    skin.Int("SkinForm\\SysBtns\\Position\\CloseBtnRight", 38);
    skin.Int("SkinForm\\AppCaption\\Y", -4);
    skin.Bool("SkinForm\\Shadow\\EnabledShadow", true);
    skin.Png("SkinForm\\Shadow\\ShadowBitmap.png", 30, 30);
    skin.String("SkinForm\\Shadow\\ShadowSizeMargin", "3,3,3,5");
    skin.String("SkinForm\\Shadow\\ShadowDrawMargin", "8");
    Load(skin);
    const TSkinFormStyleItem* form = FMng.SkinFormStyles().FormStyleItem();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->SysBtnBmp(sysClose, sysHover));
    EXPECT_FALSE(form->SysBtnBmp(sysClose, sysNormal));
    EXPECT_TRUE(form->SysBtnBmp(sysMin, sysNormal));
    EXPECT_EQ(form->CloseBtnRight(), 38);
    EXPECT_EQ(form->AppCaptionY(), -4);
    EXPECT_EQ(form->AppCaptionX(), 5);
    EXPECT_TRUE(form->EnabledShadow());
    EXPECT_TRUE(form->ShadowBitmap());
    EXPECT_EQ(form->ShadowSizeMargin(), (TMargin{3, 3, 3, 5}));
    EXPECT_EQ(form->ShadowDrawMargin(), (TMargin{0, 8, 0, 0}));
}

TEST_F(SkinCataloguesTest, TwoBackgroundConfigsTheLastWins) {
    TSkinDocBuilder skin;
    skin.Png("SkinForm\\SufferBackGroundConfigs\\First\\Image", 10, 10, 0xFF0000FF);
    skin.Int("SkinForm\\SufferBackGroundConfigs\\First\\StretchMode", 3);
    skin.String("SkinForm\\SufferBackGroundConfigs\\First\\Margin", "1,1,1,1");
    skin.Png("SkinForm\\SufferBackGroundConfigs\\Second\\Image", 20, 10, 0xFF00FF00);
    skin.String("SkinForm\\SufferBackGroundConfigs\\Second\\ClipMargin", "2,0,2,0");
    skin.Bool("SkinForm\\SufferBackGroundConfigs\\Second\\Stretch", true);
    Load(skin);
    const TSufferBackGroundItem* item =
        FMng.SkinFormStyles().FormStyleItem()->SufferBackGrounds().GetItem("anything");
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->Image());
    EXPECT_EQ(item->Image()->Width(), 20);
    EXPECT_EQ(item->StretchMode(), smStretchBoth);
    EXPECT_TRUE(item->Stretch());
    // Absent in the second config, so back to zero rather than the first one's value.
    EXPECT_EQ(item->Margin(), TMargin{});
    EXPECT_EQ(item->ClipMargin(), (TMargin{0, 2, 2, 0}));
    EXPECT_EQ(item->SufferTextureGdiImage()->ClipLeftMargin(), 2);
}

TEST_F(SkinCataloguesTest, ZoneViewStylesReadPicturesOffsetsAndFonts) {
    TSkinDocBuilder skin;
    const QString base = "ControlStyle\\ZoneViewStyle\\Default\\";
    skin.Png(base + "ZoneBackImage\\Active", 30, 30);
    skin.Png(base + "ZoneNodeStateIcons\\Expand", 9, 9);
    skin.Int(base + "ZoneIcons\\IconYOffset", 6);
    skin.String(base + "ZoneFont\\NodeNormalFont", "\"宋体\", 12, [], [DA7003]");
    // The shipped skin's spelling, which the reader does not know.
    skin.String(base + "ZoneFont\\NodeAcitveFont", "\"宋体\", 14, [Bold], [0000FF]");
    skin.String(base + "ZoneFont\\InfoHoverFont", "");
    skin.String(base + "ZoneFont\\MainHoverFont", "\"Broken\", x, [], [0]");
    skin.Int(base + "ZoneFont\\NodeFontYOffset", 9);
    skin.Dir("ControlStyle\\ZoneViewStyle\\MsgBox");
    Load(skin);
    ASSERT_EQ(FMng.SkinZoneViewStyles().Count(), 2);
    const TSkinZoneViewStyleItem* zone = FMng.SkinZoneViewStyles().GetItem("Default");
    ASSERT_NE(zone, nullptr);
    EXPECT_TRUE(zone->Image(zviZoneActive));
    EXPECT_EQ(zone->ImageElement(zviZoneActive)->Image(), zone->Image(zviZoneActive));
    EXPECT_EQ(zone->ImageElement(zviZoneActive)->LeftMargin(), 8);
    EXPECT_TRUE(zone->Image(zviNodeExpandIcon));
    EXPECT_EQ(zone->ImageElement(zviNodeExpandIcon), nullptr);
    EXPECT_EQ(zone->IconXOffset(), 2);
    EXPECT_EQ(zone->IconYOffset(), 6);
    EXPECT_EQ(zone->NodeFontXOffset(), 20);
    EXPECT_EQ(zone->NodeFontYOffset(), 9);
    EXPECT_EQ(zone->Font(zvfNodeNormal).Name, QStringLiteral("宋体"));
    EXPECT_EQ(zone->Font(zvfNodeNormal).Size, 12);
    EXPECT_EQ(zone->Font(zvfNodeNormal).Color, 0xDA7003u);
    const TSkinZoneViewStyleItem* msgBox = FMng.SkinZoneViewStyles().GetItem("MsgBox");
    ASSERT_NE(msgBox, nullptr);
    EXPECT_EQ(zone->Font(zvfNodeActive).Name, msgBox->Font(zvfNodeActive).Name);
    EXPECT_EQ(zone->Font(zvfNodeActive).Color, 0x363636u);
    EXPECT_EQ(zone->Font(zvfNodeActive).Style, 0);
    EXPECT_EQ(zone->Font(zvfInfoHover).Color, 0xA5A5A5u);
    EXPECT_EQ(zone->Font(zvfMainHover).Name, QStringLiteral("Broken"));
    EXPECT_EQ(zone->Font(zvfMainHover).Color, 0u);
    EXPECT_EQ(msgBox->Font(zvfNickNormal).Color, KDefaultTextColor);
    EXPECT_EQ(msgBox->Font(zvfNickActive).Color, 0u);
    EXPECT_EQ(msgBox->Font(zvfInfoNormal).Color, 0xA5A5A5u);
    EXPECT_TRUE(Log()->Lines().isEmpty()); // font failures are silent
}

TEST_F(SkinCataloguesTest, ScrollBarPanelAndHeadFrame) {
    TSkinDocBuilder skin;
    skin.Png("ControlStyle\\ZoneViewScrollBar\\0\\Vertical\\Scroll.png", 8, 30);
    skin.Png("ControlStyle\\Panel\\FormClientPanelBackImage", 50, 50);
    skin.Png("ControlStyle\\HeadFrame\\0\\FrameActive", 40, 40);
    skin.Int("ControlStyle\\HeadFrame\\0\\FrameMargin", 6);
    skin.Png("ControlStyle\\HeadFrame\\1\\FrameNormal", 40, 40);
    Load(skin);
    const TSkinZoneViewScrollBarItem* bar = FMng.SkinZoneViewItems().GetItem("0");
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->Bitmap_VertScrollBtn());
    EXPECT_FALSE(bar->Bitmap(sbiHorzScroll));
    ASSERT_EQ(FMng.SkinPanelStyles().Count(), 1);
    EXPECT_TRUE(FMng.SkinPanelStyles().GetItem("Panel")->FormClientPanelBackImage());
    const TSkinHeadFrameStyleItem* frame = FMng.SkinHeadFrameStyles().GetItem("0");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->FrameMargin(), 6);
    EXPECT_EQ(frame->FrameActiveElement()->LeftMargin(), 6);
    EXPECT_EQ(frame->FrameNormalElement()->BottomMargin(), 6);
    const TSkinHeadFrameStyleItem* other = FMng.SkinHeadFrameStyles().GetItem("1");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->FrameMargin(), 4);
    EXPECT_EQ(other->FrameNormalElement()->LeftMargin(), 4);
}

TEST_F(SkinCataloguesTest, ABrokenButtonPictureIsLoggedAndEndsOnlyThatItem) {
    TSkinDocBuilder skin;
    skin.Bytes("ControlStyle\\Button\\0\\Normal.png", QByteArray("broken", 6));
    skin.Png("ControlStyle\\Button\\0\\Hover.png");
    skin.Png("ControlStyle\\Button\\1\\Normal.png");
    Load(skin);
    ASSERT_EQ(FMng.SkinButtonStyles().Count(), 2);
    EXPECT_FALSE(FMng.SkinButtonStyles().GetItem("0")->HoverBitmap());
    EXPECT_TRUE(FMng.SkinButtonStyles().GetItem("1")->NormalBitmap());
    const QStringList lines = Log()->Lines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains("AdditionalMsg:LoadButtonStyleItem"));
}

TEST_F(SkinCataloguesTest, ABrokenPageControlPictureEndsTheChangeForTheCaller) {
    TSkinDocBuilder skin;
    skin.Png("ControlStyle\\Button\\0\\Normal.png");
    skin.Bytes("ControlStyle\\PageControlEx\\Horizontal\\0\\TabBackGround.png",
               QByteArray("broken", 6));
    skin.Dir("SkinForm");
    const QString path = skin.SaveTo(FFolder, "broken.btd");
    int told = 0;
    RegisterSkinControlClass(sccSkinCustomControl, [&] { ++told; });
    EXPECT_ANY_THROW(FMng.ChangeSkinFile(path, false));
    UnRegisterSkinControlClass(sccSkinCustomControl);
    EXPECT_EQ(FMng.SkinButtonStyles().Count(), 1);
    EXPECT_EQ(FMng.SkinFormStyles().FormStyleItem(), nullptr); // never refilled
    EXPECT_EQ(told, 1); // controls drop their references to the cleared catalogue
}

} // namespace
} // namespace velmora
