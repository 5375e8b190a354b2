#include "installer/wizard/InstallerMainPageTable.h"

namespace velmora {

TInstallerMainPageLook InstallerMainPageLook(int pageIndex) {
    TInstallerMainPageLook look;
    look.HasPage = pageIndex >= 0 && pageIndex <= 4;
    switch (pageIndex) {
    case 0:
        // The caption goes to the hidden bar, ready for the next page's look.
        look.OperatorCaption = QStringLiteral("继续安装>>");
        break;
    case 1:
        look.OperateBar = true;
        look.AgreementRow = true;
        look.OperatorShown = true;
        look.OperatorCaption = QStringLiteral("自定义安装>>");
        look.PriorShown = true;
        break;
    case 2:
        look.OperateBar = true;
        look.OperatorShown = true;
        look.OperatorCaption = QStringLiteral("返回上一步>>");
        break;
    case 4:
        look.OperatorCaption = QStringLiteral("完成安装");
        break;
    default:
        break;
    }
    return look;
}

TOperatorAction InstallerMainOperatorAction(int pageIndex) {
    switch (pageIndex) {
    case 0:
    case 1:
        return TOperatorAction::Next;
    case 2:
        return TOperatorAction::Prior;
    case 4:
        return TOperatorAction::Finish;
    default:
        return TOperatorAction::None;
    }
}

} // namespace velmora
