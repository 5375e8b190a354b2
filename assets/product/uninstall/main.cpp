// The product's uninstaller: finds the install record of this product and version, asks,
// removes the product the same way a reinstall removes its previous version (user data in
// Users and Config stays), and says what it did.
//
//   Uninstall.exe [--yes] [--root DIR | --machine-root DIR]
// --yes skips the question and prints the report instead of showing it; --root works on a
// staged install below DIR.
#include "installer/InstallerSettings.h"
#include "installer/Uninstaller.h"
#include "platform/system/InstallerUmask.h"
#include "platform/system/LogFile.h"
#include "platform/system/PlatformServices.h"
#include "tools/common/RootOption.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

using namespace velmora;

int main(int argc, char** argv) {
    UseInstallerUmask();
    QApplication app(argc, argv);
    FillInstallerSettings();
    const TInstallerSettings& settings = InstallerSettings();
    const QString title = settings.DisplayName + u" 卸载"_qs;

    // The uninstaller's own folder is what it removes; its log lives elsewhere.
    SetLogFolders(FallbackLogFolder(), FallbackLogFolder());
    QStringList args = app.arguments().mid(1);
    const bool unattended = args.removeAll(QStringLiteral("--yes")) > 0;
    const std::optional<TSystemRoots> roots = TakeRootOption(args);
    if (!roots || !args.isEmpty()) {
        std::fputs("usage: Uninstall.exe [--yes] [--root DIR | --machine-root DIR]\n", stderr);
        return 2;
    }

    TPlatformServices services(*roots);
    if (!ReadInstalledRecord(services, settings, InstallState())) {
        const QString text = DescribeUninstall(TUninstallOutcome{}, settings);
        if (unattended)
            std::fprintf(stderr, "%s\n", text.toUtf8().constData());
        else
            QMessageBox::warning(nullptr, title, text);
        return 1;
    }
    if (!unattended &&
        QMessageBox::question(nullptr, title,
                              u"确定要卸载 "_qs + settings.DisplayName +
                                  u" 吗?\n用户数据(Users、Config 文件夹)将被保留。"_qs) !=
            QMessageBox::Yes)
        return 0;

    const TUninstallOutcome outcome = UninstallProduct(services, settings, InstallState());
    const QString report = DescribeUninstall(outcome, settings);
    const bool clean = UninstallComplete(outcome);
    if (unattended)
        std::fprintf(clean ? stdout : stderr, "%s\n", report.toUtf8().constData());
    else if (clean)
        QMessageBox::information(nullptr, title, report);
    else
        QMessageBox::warning(nullptr, title, report);
    return clean ? 0 : 1;
}
