#pragma once

#include "installer/ProgressDisplay.h"

class QProgressBar;

namespace velmora {

class TSkinLabel;

// The installing page as the install steps' progress display: the status label and the
// progress bar. The steps pump messages themselves, so setting is enough.
class TInstallerMainProgress final : public IProgressDisplay {
public:
    TInstallerMainProgress(TSkinLabel& status, QProgressBar& bar) : FStatus(status), FBar(bar) {}

    void SetStatusText(const QString& text) override;
    void SetProgressRange(int minimum, int maximum) override;
    void SetProgressPosition(int position) override;

private:
    TSkinLabel& FStatus;
    QProgressBar& FBar;
};

} // namespace velmora
