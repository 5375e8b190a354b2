#include "tools/common/TerminalProgress.h"

#include <algorithm>
#include <unistd.h>

namespace velmora {

TTerminalProgress::TTerminalProgress(std::FILE* out)
    : FOut(out), FInteractive(::isatty(::fileno(out)) == 1) {}

TTerminalProgress::~TTerminalProgress() {
    if (FInteractive && FDrawn)
        std::fputc('\n', FOut);
}

void TTerminalProgress::SetStatusText(const QString& text) {
    if (FStatus == text)
        return;
    FStatus = text;
    if (FInteractive)
        Redraw();
}

void TTerminalProgress::SetProgressRange(int minimum, int maximum) {
    FMinimum = minimum;
    FMaximum = maximum;
    if (FInteractive)
        Redraw();
}

void TTerminalProgress::SetProgressPosition(int position) {
    if (FPosition == position)
        return;
    FPosition = position;
    if (FInteractive) {
        Redraw();
        return;
    }
    std::fprintf(FOut, "[%d/%d] %s\n", FPosition - FMinimum, FMaximum - FMinimum,
                 FStatus.toUtf8().constData());
}

void TTerminalProgress::Redraw() {
    constexpr int kWidth = 30;
    const int span = FMaximum - FMinimum;
    const int filled =
        std::clamp(span > 0 ? (FPosition - FMinimum) * kWidth / span : kWidth, 0, kWidth);
    const QByteArray bar = QByteArray(filled, '#') + QByteArray(kWidth - filled, '.');
    // Clear the line first: a shorter status must not leave the tail of a longer one.
    std::fprintf(FOut, "\r\033[K[%s] %d/%d %s", bar.constData(), FPosition - FMinimum, span,
                 FStatus.left(60).toUtf8().constData());
    std::fflush(FOut);
    FDrawn = true;
}

} // namespace velmora
