#include "installer/wizard/MainWindowFactory.h"

#include "installer/InstallLog.h"
#include "installer/InstallerSettings.h"
#include "platform/graphics/SkinApplication.h"

#include <QGuiApplication>
#include <QScreen>

namespace velmora {

std::unique_ptr<TDefaultSkinForm> CreateMainWindow() {
    // Until the five-page window exists this is a plain skinned form of the wizard's size and
    // caption, doing what the main window does at creation: it takes over escaping errors.
    TSkinApplication::SetOnException([](const QString& message) { WriteInstallLog(message); });
    auto form = std::make_unique<TDefaultSkinForm>();
    form->setObjectName(QStringLiteral("frmInstallerMain"));
    const TInstallerSettings& settings = InstallerSettingsOrDefault();
    form->setWindowTitle(settings.ProductName + settings.Version + QStringLiteral(" 安装向导"));
    form->SetBorderIcons(biSystemMenu | biMinimize);
    form->SetBorderStyle(bsSingle);
    form->setFixedSize(562, 371);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        form->move(screen->availableGeometry().center() - form->rect().center());
    return form;
}

} // namespace velmora
