// The product's uninstaller: finds the install record of this product and version, asks,
// removes the product the same way a reinstall removes its previous version (user data in
// Users and Config, and files the installer did not write, stay), and says what it did.
//
//   Uninstall.exe [--yes] [--root DIR | --machine-root DIR]
// --yes skips the question and prints the report instead of showing it, and needs no
// display; --root works on a staged install below DIR.
#include "installer/InstallerSettings.h"
#include "installer/SingleInstance.h"
#include "installer/Uninstaller.h"
#include "platform/system/InstallerUmask.h"
#include "platform/system/LogFile.h"
#include "platform/system/PlatformServices.h"
#include "tools/common/RootOption.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstring>
#include <memory>

using namespace velmora;

namespace {

bool HasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char** argv) {
    UseInstallerUmask();
    bool unattended = false;
    for (int i = 1; i < argc; ++i)
        unattended = unattended || std::strcmp(argv[i], "--yes") == 0;
    // Unattended there is nothing to show, so no display is needed at all.
    if (!unattended && !HasDisplay()) {
        std::fputs("Uninstall.exe: no display to ask on; run with --yes to uninstall without "
                   "asking\n",
                   stderr);
        return 1;
    }
    const std::unique_ptr<QCoreApplication> app =
        unattended ? std::make_unique<QCoreApplication>(argc, argv)
                   : std::make_unique<QApplication>(argc, argv);
    FillInstallerSettings();
    const TInstallerSettings& settings = InstallerSettings();
    const QString title = settings.DisplayName + u" 卸载"_qs;
    const auto tell = [&](bool good, const QString& text) {
        if (unattended)
            std::fprintf(good ? stdout : stderr, "%s\n", text.toUtf8().constData());
        else if (good)
            QMessageBox::information(nullptr, title, text);
        else
            QMessageBox::warning(nullptr, title, text);
    };

    // The uninstaller's own folder is what it removes; its log lives elsewhere.
    SetLogFolders(FallbackLogFolder(), FallbackLogFolder());
    QStringList args = app->arguments().mid(1);
    args.removeAll(QStringLiteral("--yes"));
    const std::optional<TSystemRoots> roots = TakeRootOption(args);
    if (!roots || !args.isEmpty()) {
        std::fputs("usage: Uninstall.exe [--yes] [--root DIR | --machine-root DIR]\n", stderr);
        return 2;
    }
    // Never beside the wizard or another uninstaller: they would change the same record.
    if (HoldInstallerName(*roots) == TSystemWideName::TResult::AlreadyHeld) {
        tell(false, settings.InstallerRunningMessage);
        return 1;
    }

    TPlatformServices services(*roots);
    try {
        if (!ReadInstalledRecord(services, settings, InstallState())) {
            tell(false, DescribeUninstall(TUninstallOutcome{}, settings));
            return 1;
        }
    } catch (const EVelmoraError& error) {
        TUninstallOutcome unreadable;
        unreadable.StoreError = error.Message();
        tell(false, DescribeUninstall(unreadable, settings));
        return 1;
    }
    if (!unattended &&
        QMessageBox::question(nullptr, title,
                              u"确定要卸载 "_qs + settings.DisplayName +
                                  u" 吗?\n用户数据(Users、Config 文件夹)将被保留。"_qs) !=
            QMessageBox::Yes)
        return 0;

    const TUninstallOutcome outcome = UninstallProduct(services, settings, InstallState());
    const bool clean = UninstallComplete(outcome);
    tell(clean, DescribeUninstall(outcome, settings));
    return clean ? 0 : 1;
}
