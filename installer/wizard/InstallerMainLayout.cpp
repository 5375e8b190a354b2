#include "installer/wizard/InstallerMainLayout.h"

#include <algorithm>

namespace velmora {

QRect TInstallerMainLayout::BarRect(const QRect& client, int barHeight) {
    const int height = std::clamp(barHeight, 0, client.height());
    return QRect(client.left(), client.bottom() + 1 - height, client.width(), height);
}

QRect TInstallerMainLayout::PageRect(const QRect& client, int barHeight) {
    const int height = std::clamp(barHeight, 0, client.height());
    return QRect(client.left(), client.top(), client.width(), client.height() - height);
}

QRect TInstallerMainLayout::OperatorRect(const QSize& barSize, const QSize& label) {
    return QRect(QPoint(barSize.width() - LinkMargin - label.width(),
                        (barSize.height() - label.height()) / 2),
                 label);
}

QRect TInstallerMainLayout::PriorRect(const QRect& operatorRect, int barHeight,
                                      const QSize& label) {
    return QRect(
        QPoint(operatorRect.left() - LinkGap - label.width(), (barHeight - label.height()) / 2),
        label);
}

QRect TInstallerMainLayout::CentredAt(int width, int top, const QSize& size) {
    return QRect(QPoint((width - size.width()) / 2, top), size);
}

} // namespace velmora
