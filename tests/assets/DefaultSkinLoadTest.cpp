// The skin the installer embeds, loaded the way start-up loads it.
#include "platform/system/LogFile.h"
#include "skin/data/SkinManage.h"
#include "tests/support/ScaledScreens.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace velmora {
namespace {

// Screens of ratios 1, 1.5 and 2, so the skin's 2x pictures are read.
[[maybe_unused]] const bool GScaledScreens = testing::UseScaledScreens();

QGuiApplication& GuiApp() {
    static int argc = 1;
    static char name[] = "default-skin-load";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return app;
}

TEST(DefaultSkinLoad, EmbeddedSkinFillsEveryCatalogueWithoutALogEntry) {
    GuiApp();
    QTemporaryDir logs;
    SetLogFolders(logs.path(), logs.path());

    TSkinMng manager;
    manager.SetIsPrepareBuildBackGndImage(false);
    ASSERT_TRUE(manager.ChangeSkinRes(QStringLiteral("SKIN"), false));
    EXPECT_TRUE(manager.Loaded());
    EXPECT_EQ(manager.SkinName(), QStringLiteral("Default"));

    EXPECT_GT(manager.SkinButtonStyles().Count(), 0);
    EXPECT_GT(manager.SkinBitButtonStyles().Count(), 0);
    EXPECT_GT(manager.SkinSpeedButtonStyles().Count(), 0);
    EXPECT_GT(manager.SkinDropDownButtonStyles().Count(), 0);
    EXPECT_GT(manager.HorzPageControlStyles().Count(), 0);
    EXPECT_NE(manager.SkinFormStyles().FormStyleItem(), nullptr);
    EXPECT_EQ(manager.SkinZoneViewStyles().Count(), 6);
    EXPECT_GT(manager.SkinZoneViewItems().Count(), 0);
    EXPECT_GT(manager.SkinPanelStyles().Count(), 0);
    EXPECT_GT(manager.SkinHeadFrameStyles().Count(), 0);

    // With a screen of two device pixels per logical pixel attached, the pictures come with
    // their 2x renderings, which the drawing elements pick there.
    const TSkinFormStyleItem* form = manager.SkinFormStyles().FormStyleItem();
    ASSERT_NE(form, nullptr);
    const IGPBitmap& close = form->SysBtnBmp(sysClose, sysNormal);
    ASSERT_TRUE(close);
    ASSERT_EQ(close->Variants().size(), 1u);
    EXPECT_EQ(close->Variants()[0].size(), QSize(close->Width(), close->Height()) * 2);
    EXPECT_EQ(close->Variants()[0].devicePixelRatio(), 2);

    // Loading the same resource again without asking for a reload changes nothing.
    EXPECT_FALSE(manager.ChangeSkinRes(QStringLiteral("SKIN"), false));

    EXPECT_TRUE(QDir(logs.path()).entryList(QDir::Files).isEmpty())
        << QDir(logs.path()).entryList(QDir::Files).join(u' ').toStdString();
    SetLogFolders({}, {});
}

} // namespace
} // namespace velmora
