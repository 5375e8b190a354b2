#include "installer/wizard/frmCancelInstall.h"

#include "installer/InstallerSettings.h"
#include "skin/widgets/SkinBtns.h"

namespace velmora {

namespace {
TMsgBoxDesign CancelDesign() {
    TMsgBoxDesign design;
    design.Caption = QStringLiteral("安装向导-取消安装");
    design.ClientSize = QSize(375, 232);
    design.PanelRect = QRect(5, 28, 365, 199);
    return design;
}
} // namespace

TfrmCancelInstall::TfrmCancelInstall(QWidget* parent) : TfrmBaseMsgBox(parent, CancelDesign()) {
    setObjectName(QStringLiteral("frmCancelInstall"));
    btnNo->move(184, 169);
    btnNo->show();
    btnYes->move(256, 169);
    btnYes->show();
}

int TfrmCancelInstall::ModalShow() {
    SetContentText(InstallerSettingsOrDefault().CancelQuestion);
    SetCaptionStr(QStringLiteral("提示"));
    SetBoxType(68);
    PrepareBox();
    return TfrmBaseMsgBox::ModalShow();
}

} // namespace velmora
