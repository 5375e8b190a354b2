#pragma once

#include <QString>
#include <optional>

namespace velmora {

// What the main window shows around a page: which bottom bar, and on the operate bar the
// agreement row and the two link labels.
struct TInstallerMainPageLook {
    bool OperateBar = false; // pnlOperate; otherwise pnlBack
    bool AgreementRow = false;
    bool OperatorShown = false;
    std::optional<QString> OperatorCaption; // kept as it is when empty
    bool PriorShown = false;
    bool HasPage = false; // an index outside 0 .. 4 shows no page panel
};

// The look of page pageIndex (0 notice, 1 options, 2 path, 3 installing, 4 finished).
TInstallerMainPageLook InstallerMainPageLook(int pageIndex);

// What the operator link does on a page.
enum class TOperatorAction { Next, Prior, Finish, None };
TOperatorAction InstallerMainOperatorAction(int pageIndex);

} // namespace velmora
