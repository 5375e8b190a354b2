// The embedded default skin against the skin's schema: every node the skin engine reads is
// present with the kind its reader expects, and every family holds the styles controls ask for.
#include "tests/assets/DefaultSkin.h"

#include <QFile>
#include <QResource>
#include <gtest/gtest.h>
#include <vector>

namespace velmora {
namespace {

using testing::DefaultSkin;
using testing::SkinBytes;
using testing::SkinDirectories;

struct Expected {
    QString Path;
    std::uint32_t Kind;
};

void Add(std::vector<Expected>& AList, const QString& ADir, const QStringList& ANames,
         std::uint32_t AKind) {
    for (const QString& name : ANames)
        AList.push_back({ADir + name, AKind});
}

// Every path a reader of the skin asks for, with the kind that reader takes it as.
std::vector<Expected> ReadPaths() {
    std::vector<Expected> paths;
    Add(paths, "SkinInfo\\", {"SkinName", "SkinVersion"}, nt100_WideString);

    QStringList sysButtons;
    for (const char* button : {"Min", "Max", "Restore", "Close"})
        for (const char* state : {"Normal", "Hover", "Down"})
            sysButtons << QString("%1_%2_Active.png").arg(button, state);
    Add(paths, "SkinForm\\SysBtns\\", sysButtons, nt100_Binary);
    Add(paths, "SkinForm\\SysBtns\\Position\\",
        {"CloseBtnRight", "CloseBtnTop", "MaxBtnRight", "MaxBtnTop", "MinBtnRight", "MinBtnTop"},
        nt100_Int32);
    Add(paths, "SkinForm\\AppCaption\\", {"X", "Y"}, nt100_Int32);
    Add(paths, "SkinForm\\Shadow\\", {"EnabledShadow"}, nt100_Bool32);
    Add(paths, "SkinForm\\Shadow\\",
        {"ShadowBitmap.png", "ShadowTopBitmap.png", "ShadowLeftBitmap.png", "ShadowRightBitmap.png",
         "ShadowBottomBitmap.png"},
        nt100_Binary);
    Add(paths, "SkinForm\\Shadow\\", {"ShadowSizeMargin", "ShadowDrawMargin"}, nt100_WideString);

    const QStringList buttonStates = {"Normal.png", "Hover.png", "Down.png", "Disabled.png",
                                      "Focused.png"};
    for (const char* family : {"Button", "BitButton", "SpeedButton", "DropDownButton"})
        Add(paths, QString("ControlStyle\\%1\\0\\").arg(family), buttonStates, nt100_Binary);
    Add(paths, "ControlStyle\\DropDownButton\\0\\", {"DropDownWidth"}, nt100_Int32);
    Add(paths, "ControlStyle\\DropDownButton\\0\\", {"IsLeftRightBitmapSeperate"}, nt100_Bool32);

    QStringList pageControl = {"TabBtnImg_Hover.png", "TabBtnImg_Down.png", "TabBtnImg_Normal.png",
                               "TabBackGround.png"};
    for (const char* button : {"AttachButton", "CustomButton", "CloseButton"})
        for (const char* state : {"Hover", "Down", "Normal"})
            pageControl << QString("%1_%2.png").arg(button, state);
    for (const char* button : {"PageDownButton", "PageUpButton"})
        for (const char* state : {"Hover", "Down", "Normal", "Disabled"})
            pageControl << QString("%1_%2.png").arg(button, state);
    EXPECT_EQ(pageControl.size(), 21);
    Add(paths, "ControlStyle\\PageControlEx\\Horizontal\\0\\", pageControl, nt100_Binary);

    Add(paths, "ControlStyle\\ZoneViewScrollBar\\0\\",
        {"Horizontal\\Up.png", "Horizontal\\Scroll.png", "Horizontal\\Down.png", "Vertical\\Up.png",
         "Vertical\\Scroll.png", "Vertical\\Down.png"},
        nt100_Binary);

    for (const char* style :
         {"Default", "SearchPopup", "TeamUser", "TeamOption", "MenuList", "MsgBox"}) {
        const QString dir = QString("ControlStyle\\ZoneViewStyle\\%1\\").arg(style);
        Add(paths, dir,
            {"ZoneNodeStateIcons\\Expand", "ZoneNodeStateIcons\\Collapse", "ZoneBackImage\\Active",
             "ZoneBackImage\\Hover", "ZoneBackImage\\Normal", "ZoneHeadFrame\\FrameActive",
             "ZoneHeadFrame\\FrameNormal", "ZoneNodeBackImage\\CollapseBackImage",
             "ZoneNodeBackImage\\ExpandBackImage", "ZoneNodeBackImage\\Hover"},
            nt100_Binary);
        Add(paths, dir,
            {"ZoneIcons\\IconXOffset", "ZoneIcons\\IconYOffset", "ZoneFont\\NodeFontXOffset",
             "ZoneFont\\NodeFontYOffset"},
            nt100_Int32);
        QStringList fonts;
        for (const char* kind : {"Node", "Nick", "Info", "Main"})
            for (const char* state : {"Normal", "Active", "Hover"})
                fonts << QString("ZoneFont\\%1%2Font").arg(kind, state);
        Add(paths, dir, fonts, nt100_WideString);
    }

    Add(paths, "ControlStyle\\HeadFrame\\0\\", {"FrameActive", "FrameNormal"}, nt100_Binary);
    Add(paths, "ControlStyle\\HeadFrame\\0\\", {"FrameMargin"}, nt100_Int32);
    Add(paths, "ControlStyle\\Panel\\", {"FormClientPanelBackImage"}, nt100_Binary);

    Add(paths, "ControlStyle\\PopupMenu\\",
        {"MenuArrowBitmap", "MenuBkgBitmap", "MenuCheck", "MenuCutling", "MenuHighLight",
         "MenuCover"},
        nt100_Binary);
    Add(paths, "ControlStyle\\PopupMenu\\",
        {"MenuBkgBitmapTopMargin", "MenuBkgBitmapLeftMargin", "MenuBkgBitmapRightMargin",
         "MenuBkgBitmapBottomMargin", "MenuCutlingDrawLeftMargin", "MenuCutlingDrawRightMargin",
         "MenuCutlingHeight", "MenuCutlingDrawHeight", "MenuBkgBitmapStrecthMode",
         "MenuHighLightDrawLeftMargin", "MenuHighLightDrawRightMargin",
         "MenuHighLightDrawTopMargin", "MenuHighLightDrawBottomMargin", "MenuIconDrawLeftMargin",
         "MenuArrowBitmapDrawRightMargin", "MenuCaptionDrawLeftMargin", "MenuItemsDrawTopMargin",
         "MenuOtherHeight", "MenuOtherWidth"},
        nt100_Int32);

    Add(paths, "SkinMgr\\DefaultSkins\\", {"Image"}, nt100_Binary);
    Add(paths, "SkinMgr\\DefaultSkins\\", {"StretchMode"}, nt100_Int32);
    Add(paths, "SkinMgr\\DefaultSkins\\", {"Margin", "ClipMargin"}, nt100_WideString);
    return paths;
}

TEST(DefaultSkinResource, EqualsTheDocumentSkinToolBuilt) {
    QFile built(QStringLiteral(VELMORA_SKIN_DOCUMENT));
    ASSERT_TRUE(built.open(QIODevice::ReadOnly));
    const QByteArray bytes = built.readAll();
    EXPECT_FALSE(bytes.isEmpty());
    EXPECT_EQ(testing::EmbeddedSkinBytes(), bytes);
    // The skin manager takes the resource's bytes as the document, so they must be stored
    // as they are.
    EXPECT_EQ(QResource(QStringLiteral(":/DATA/SKIN")).compressionAlgorithm(),
              QResource::NoCompression);
}

TEST(DefaultSkinResource, LoadsAsADocumentThatSavesBackToTheSameBytes) {
    EXPECT_EQ(DefaultSkin().SaveToByteArray(), testing::EmbeddedSkinBytes());
    QStringList top;
    for (const TBinTreeNode100* child : DefaultSkin().TopNode()->ChildNodes())
        top << child->NodeName();
    EXPECT_EQ(top, QStringList({"SkinInfo", "SkinForm", "ControlStyle", "SkinMgr"}));
}

TEST(DefaultSkinSchema, EveryReadPathExistsWithTheKindItsReaderTakes) {
    const std::vector<Expected> paths = ReadPaths();
    EXPECT_GT(paths.size(), 250u);
    for (const Expected& expected : paths) {
        const TBinTreeNode100* node = DefaultSkin().FindNodeByPath(expected.Path);
        ASSERT_NE(node, nullptr) << expected.Path.toStdString();
        EXPECT_EQ(NodeTypeName(node->NodeType()).toStdString(),
                  NodeTypeName(expected.Kind).toStdString())
            << expected.Path.toStdString();
        EXPECT_GT(node->DataSize(), 0u) << expected.Path.toStdString() << " holds no value";
    }
}

TEST(DefaultSkinSchema, EachFamilyHoldsTheStylesControlsAskFor) {
    for (const char* family :
         {"Button", "BitButton", "SpeedButton", "DropDownButton", "PageControlEx\\Horizontal",
          "PageControlEx\\Vertical", "ZoneViewScrollBar", "HeadFrame"})
        EXPECT_EQ(SkinDirectories(QString("ControlStyle\\%1").arg(family)), QStringList{"0"})
            << family;
    EXPECT_EQ(
        SkinDirectories("ControlStyle\\ZoneViewStyle"),
        QStringList({"Default", "SearchPopup", "TeamUser", "TeamOption", "MenuList", "MsgBox"}));
    EXPECT_EQ(SkinDirectories("ControlStyle\\PageControlEx"),
              QStringList({"Horizontal", "Vertical"}));
}

TEST(DefaultSkinSchema, SkinInfoNamesTheSkin) {
    EXPECT_EQ(testing::SkinString("SkinInfo\\SkinName"), QStringLiteral("Default"));
    EXPECT_FALSE(testing::SkinString("SkinInfo\\SkinVersion").value_or(QString()).isEmpty());
}

TEST(DefaultSkinSchema, TheFormAsksForItsShadowAndHasABackgroundConfiguration) {
    EXPECT_EQ(testing::SkinBool("SkinForm\\Shadow\\EnabledShadow"), true);
    const QStringList configs = SkinDirectories("SkinForm\\SufferBackGroundConfigs");
    ASSERT_FALSE(configs.isEmpty());
    for (const QString& name : configs) {
        const QString dir = "SkinForm\\SufferBackGroundConfigs\\" + name + "\\";
        EXPECT_FALSE(testing::SkinImage(dir + "Image").isNull()) << name.toStdString();
        for (const char* margin : {"Margin", "ClipMargin"}) {
            const auto text = testing::SkinString(dir + margin);
            ASSERT_TRUE(text) << margin;
            const auto parsed = testing::ParseMargin(*text);
            ASSERT_TRUE(parsed) << text->toStdString();
            EXPECT_EQ(parsed->Items, 4);
        }
        const auto mode = testing::SkinInt(dir + "StretchMode");
        ASSERT_TRUE(mode);
        EXPECT_GE(*mode, 0);
        EXPECT_LE(*mode, 4);
        EXPECT_TRUE(testing::SkinBool(dir + "Stretch").has_value());
    }
}

TEST(DefaultSkinSchema, PopupMenuSkinningIsSwitchedOn) {
    // The switch is the arrow picture read as a Boolean: any byte turns it on.
    EXPECT_FALSE(SkinBytes("ControlStyle\\PopupMenu\\MenuArrowBitmap").isEmpty());
    const auto mode = testing::SkinInt("ControlStyle\\PopupMenu\\MenuBkgBitmapStrecthMode");
    ASSERT_TRUE(mode);
    EXPECT_GE(*mode, 0);
    EXPECT_LE(*mode, 4);
}

TEST(DefaultSkinSchema, TheDefaultBackgroundIsAJpegDrawnWithTheAverageColour) {
    const QByteArray image = SkinBytes("SkinMgr\\DefaultSkins\\Image");
    EXPECT_TRUE(image.startsWith("\xFF\xD8\xFF"));
    EXPECT_EQ(testing::SkinInt("SkinMgr\\DefaultSkins\\StretchMode"), 4);
    EXPECT_EQ(testing::SkinString("SkinMgr\\DefaultSkins\\Margin"), QStringLiteral("0,0,0,0"));
    EXPECT_EQ(testing::SkinString("SkinMgr\\DefaultSkins\\ClipMargin"), QStringLiteral("0,0,0,0"));
}

} // namespace
} // namespace velmora
