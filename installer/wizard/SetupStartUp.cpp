#include "installer/wizard/SetupStartUp.h"

#include "installer/InstallerSettings.h"
#include "installer/SingleInstance.h"
#include "installer/wizard/FirstEvent.h"
#include "installer/wizard/MainWindowFactory.h"
#include "installer/wizard/frmAgreement.h"
#include "installer/wizard/frmCheckInstallerIsRunning.h"
#include "installer/wizard/frmCheckInstanceIsRunning.h"
#include "platform/graphics/FontSubstitution.h"
#include "platform/graphics/ModalDisplay.h"
#include "platform/graphics/QtTranslations.h"
#include "platform/graphics/SkinApplication.h"
#include "platform/system/ImageHeap.h"
#include "platform/system/InstallerUmask.h"
#include "skin/data/SkinMng.h"

#include <QMetaObject>
#include <QTimer>

namespace velmora {

int SkinResourceAnchor();

namespace {

// Stopping only lowers the run flag: a quit posted now would be swallowed by the modal loop
// of the product dialog that may still follow, and the real loop would never end.
struct TRunFlag {
    bool Run = true;
    void Stop() { Run = false; }
};

} // namespace

void SettleImageHeapAfterFirstPaint(QWidget& AWindow) {
    // After the paint has been handed to the window system.
    OnFirstEvent(AWindow, QEvent::Paint, [] { QTimer::singleShot(0, [] { SettleImageHeap(); }); });
}

int RunVelmoraSetup(TSkinApplication& AApp) {
    UseInstallerUmask();
    // 1. Shared drawing objects: the skin's Chinese font families resolve to the installed
    //    CJK font for every form and control from here on.
    InstallCjkFontSubstitutions();
    // 2. The PNG and JPEG decoders are linked in and need no registration.
    // 3. The skin manager.
    TSkinMng& skins = SkinMng();
    // 4. Settings.
    FillInstallerSettings();
    // 5. The embedded skin, without building background pictures ahead of use. A skin that
    //    fails to load is logged by the manager; the forms then draw without it.
    skins.SetIsPrepareBuildBackGndImage(false);
    SkinResourceAnchor();
    skins.ChangeSkinRes(QStringLiteral("SKIN"), false);
    // 6. The application: dialogs closing before the main window exists must not end it.
    AApp.setQuitOnLastWindowClosed(false);
    AApp.setApplicationName(InstallerSettings().ProgramKey());
    InstallChineseQtTranslations(AApp);

    // 7. Installer test.
    TRunFlag flag;
    if (CheckInstallerIsRunning()) {
        TfrmCheckInstallerIsRunning dialog;
        dialog.ModalShow();
        flag.Stop();
    }
    // 8. Product test, whatever the installer test decided; only retry goes on.
    if (CheckInstanceIsRunning(InstallerSettings().ProductExe)) {
        TfrmCheckInstanceIsRunning dialog;
        if (dialog.ModalShow() != mrRetry)
            flag.Stop();
    }
    // 9. The wizard, or a message loop that is left at once.
    if (!flag.Run) {
        QMetaObject::invokeMethod(&AApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return AApp.exec();
    }
    std::unique_ptr<TDefaultSkinForm> mainWindow = CreateMainWindow();
    TfrmAgreement agreement;
    SetAgreementForm(&agreement);
    SettleImageHeapAfterFirstPaint(*mainWindow);
    mainWindow->show();
    // The main window is now the only window shown: closing it ends the program.
    AApp.setQuitOnLastWindowClosed(true);
    const int exitCode = AApp.exec();
    SetAgreementForm(nullptr);
    return exitCode;
}

} // namespace velmora
