#include "installer/wizard/MainWindowFactory.h"

#include "installer/InstallerSettings.h"
#include "installer/wizard/InstallerMain.h"
#include "installer/wizard/frmAgreement.h"
#include "installer/wizard/frmCancelInstall.h"
#include "platform/system/PlatformServices.h"
#include "platform/system/UserProcessLauncher.h"

namespace velmora {

namespace {

// The system the wizard installs into and the person it starts programs for live as long as
// the process, like the install state.
TPlatformServices& ProcessServices() {
    static TPlatformServices services(TSystemRoots::ForSystem());
    return services;
}

IProcessLauncher& DesktopLauncher() {
    static const std::unique_ptr<TUserProcessLauncher> launcher =
        TUserProcessLauncher::ForThisProcess();
    return *launcher;
}

constexpr int IDYES = 6;

} // namespace

std::unique_ptr<TDefaultSkinForm> CreateMainWindow() {
    auto window =
        std::make_unique<TfrmInstallerMain>(ProcessServices(), DesktopLauncher(), InstallState());
    TfrmInstallerMain* raw = window.get();
    window->OnConfirmCancel = [raw] {
        TfrmCancelInstall question(raw);
        return question.ModalShow() == IDYES;
    };
    window->OnShowAgreement = [] {
        if (TfrmAgreement* agreement = AgreementForm())
            agreement->ModalShow();
    };
    return window;
}

} // namespace velmora
