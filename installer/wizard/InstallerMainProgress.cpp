#include "installer/wizard/InstallerMainProgress.h"

#include "skin/widgets/SkinLabel.h"

#include <QProgressBar>

namespace velmora {

void TInstallerMainProgress::SetStatusText(const QString& text) {
    FStatus.SetCaption(text);
}

void TInstallerMainProgress::SetProgressRange(int minimum, int maximum) {
    FBar.setRange(minimum, maximum);
}

void TInstallerMainProgress::SetProgressPosition(int position) {
    FBar.setValue(position);
}

} // namespace velmora
