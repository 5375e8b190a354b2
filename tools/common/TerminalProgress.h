#pragma once

#include "installer/ProgressDisplay.h"

#include <cstdio>

namespace velmora {

// Draws the status text and progress bar on a terminal; on a pipe or file it prints one
// line per finished step instead, so logs of unattended runs stay readable.
class TTerminalProgress : public IProgressDisplay {
public:
    explicit TTerminalProgress(std::FILE* out);
    ~TTerminalProgress() override;

    void SetStatusText(const QString& text) override;
    void SetProgressRange(int minimum, int maximum) override;
    void SetProgressPosition(int position) override;

private:
    void Redraw();

    std::FILE* FOut;
    bool FInteractive;
    QString FStatus;
    int FMinimum = 0;
    int FMaximum = 0;
    int FPosition = 0;
    bool FDrawn = false;
};

} // namespace velmora
