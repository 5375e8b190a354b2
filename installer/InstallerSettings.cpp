#include "installer/InstallerSettings.h"

namespace velmora {

TInstallerSettings DefaultInstallerSettings() {
    TInstallerSettings s;
    s.ProductName = QStringLiteral("Velmora");
    s.Version = QStringLiteral("3.0");
    s.ProductExe = QStringLiteral("Corvex.exe");
    s.UninstallerExe = QStringLiteral("Uninstall.exe");
    s.PublisherFolder = QStringLiteral("Norvane");
    s.DisplayName = QStringLiteral("Velmora V3.0");
    s.Publisher = QStringLiteral("Norvane Technology Co., Ltd.");
    s.WebAddress = QStringLiteral("https://www.norvane.com.cn/velmora/");
    s.CancelQuestion = u"您确定要退出"_qs + s.ProductName + u"的安装吗?"_qs;
    s.InstallerRunningMessage = s.ProductName + s.Version + u"安装程序已经在运行。"_qs;
    s.PageTitles = {u"重要须知"_qs, u"安装选项"_qs, u"选择路径"_qs, u"正在安装"_qs, u"安装完成"_qs};
    s.StatusRemoving = u"正在卸载已安装版本..."_qs;
    s.StatusCopying = u"正在复制文件..."_qs;
    s.StatusShortcut = u"正在创建快捷方式..."_qs;
    s.StatusProgramsMenu = u"正在创建快速启动栏..."_qs;
    s.StatusRecord = u"正在注册安装信息..."_qs;
    s.LogFileName = QStringLiteral("InstallLog.log");
    s.ProductIcon = QStringLiteral("Corvex.png");
    s.ShortcutComment = u"启动 "_qs + s.DisplayName;
    s.UninstallShortcutComment = u"卸载 "_qs + s.DisplayName;
    s.ShortcutCategories = QStringLiteral("Utility;");
    return s;
}

namespace {
TInstallerSettings& MutableSettings() {
    static TInstallerSettings settings;
    return settings;
}
} // namespace

const TInstallerSettings& InstallerSettings() {
    return MutableSettings();
}

void FillInstallerSettings() {
    MutableSettings() = DefaultInstallerSettings();
}

const TInstallerSettings& InstallerSettingsOrDefault() {
    static const TInstallerSettings defaults = DefaultInstallerSettings();
    const TInstallerSettings& filled = InstallerSettings();
    return filled.ProductName.isEmpty() ? defaults : filled;
}

TInstallState& InstallState() {
    static TInstallState state;
    return state;
}

} // namespace velmora
