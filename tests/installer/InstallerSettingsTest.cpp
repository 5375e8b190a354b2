#include "installer/InstallerSettings.h"

#include <gtest/gtest.h>

using namespace velmora;

TEST(InstallerSettingsTest, FilledTableComposesTextsFromNameVersionAndPublisherFolder) {
    EXPECT_TRUE(InstallerSettings().ProductName.isEmpty()); // nothing before start-up fills it
    FillInstallerSettings();
    const TInstallerSettings& s = InstallerSettings();
    EXPECT_EQ(s.ProgramKey(), QStringLiteral("Velmora3.0"));
    EXPECT_EQ(s.CancelQuestion, u"您确定要退出Velmora的安装吗?"_qs);
    EXPECT_EQ(s.InstallerRunningMessage, u"Velmora3.0安装程序已经在运行。"_qs);
    EXPECT_EQ(s.DisplayName, QStringLiteral("Velmora V3.0"));
    EXPECT_EQ(s.ProductExe, QStringLiteral("Corvex.exe"));
    EXPECT_EQ(s.UninstallerExe, QStringLiteral("Uninstall.exe"));
    EXPECT_EQ(s.PublisherFolder, QStringLiteral("Norvane"));
    EXPECT_EQ(s.Publisher, QStringLiteral("Norvane Technology Co., Ltd."));
    EXPECT_TRUE(s.WebAddress.startsWith(QStringLiteral("https://")));
    const std::array<QString, 5> titles{u"重要须知"_qs, u"安装选项"_qs, u"选择路径"_qs,
                                        u"正在安装"_qs, u"安装完成"_qs};
    EXPECT_EQ(s.PageTitles, titles);
    EXPECT_EQ(s.StatusRemoving, u"正在卸载已安装版本..."_qs);
    EXPECT_EQ(s.StatusCopying, u"正在复制文件..."_qs);
    EXPECT_EQ(s.StatusShortcut, u"正在创建快捷方式..."_qs);
    EXPECT_EQ(s.StatusProgramsMenu, u"正在创建快速启动栏..."_qs);
    EXPECT_EQ(s.StatusRecord, u"正在注册安装信息..."_qs);
    EXPECT_EQ(s.LogFileName, QStringLiteral("InstallLog.log"));

    const TInstallState& state = InstallState();
    EXPECT_TRUE(state.InstallFolder.isEmpty());
    EXPECT_FALSE(state.PreviousVersionFound || state.IsSetStartPage || state.IsAutoRun ||
                 state.IsCreateDeskTopShortCut || state.IsCreateProgramsShortCut);
}
