#include "installer/wizard/frmCheckInstallerIsRunning.h"

#include "installer/InstallerSettings.h"
#include "skin/widgets/SkinBtns.h"

namespace velmora {

namespace {
TMsgBoxDesign InstallerRunningDesign() {
    TMsgBoxDesign design;
    design.Caption = QStringLiteral("安装向导-安装程序已经在运行");
    design.ClientSize = QSize(320, 122);
    design.PanelRect = QRect(5, 28, 310, 89);
    return design;
}
} // namespace

TfrmCheckInstallerIsRunning::TfrmCheckInstallerIsRunning(QWidget* parent)
    : TfrmBaseMsgBox(parent, InstallerRunningDesign()) {
    setObjectName(QStringLiteral("frmCheckInstallerIsRunning"));
    btnOK->move(226, btnOK->y());
    btnOK->show();
}

int TfrmCheckInstallerIsRunning::ModalShow() {
    SetContentText(InstallerSettingsOrDefault().InstallerRunningMessage);
    SetCaptionStr(QStringLiteral("安装检测"));
    SetBoxType(49);
    PrepareBox();
    return TfrmBaseMsgBox::ModalShow();
}

} // namespace velmora
