#pragma once

#include <QRect>
#include <QSize>

namespace velmora {

// Where the main window's parts go, from the form's client rectangle: a bottom-aligned bar
// and the page above it filling the rest, as the form description aligns them.
struct TInstallerMainLayout {
    static constexpr int OperateBarHeight = 35;
    static constexpr int BackBarHeight = 30;
    static constexpr int LinkMargin = 16; // from the bar's right edge to the operator link
    static constexpr int LinkGap = 12;    // between the prior link and the operator link

    static QRect BarRect(const QRect& client, int barHeight);
    static QRect PageRect(const QRect& client, int barHeight);
    // The operator link at the bar's right edge and the prior link before it, both centred
    // vertically in a bar of barSize.
    static QRect OperatorRect(const QSize& barSize, const QSize& label);
    static QRect PriorRect(const QRect& operatorRect, int barHeight, const QSize& label);
    // A rectangle of size centred horizontally in width at top.
    static QRect CentredAt(int width, int top, const QSize& size);
};

} // namespace velmora
