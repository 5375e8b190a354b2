#include "installer/wizard/MsgBoxLayout.h"

#include "platform/graphics/ModalDisplay.h"

#include <algorithm>

namespace velmora {

std::vector<int> MsgBoxButtonTags(int AButtonType) {
    switch (AButtonType & MsgBoxButtonMask) {
    case 1:
        return {mrOk, mrCancel};
    case 2:
        return {mrAbort, mrRetry, mrIgnore};
    case 3:
        return {mrYes, mrNo, mrCancel};
    case 4:
        return {mrYes, mrNo};
    case 5:
        return {mrRetry, mrCancel};
    default:
        return {mrOk};
    }
}

int MsgBoxHintIconIndex(int AIconType) {
    switch (AIconType & MsgBoxIconMask) {
    case 0x10:
        return 1;
    case 0x20:
        return 3;
    case 0x30:
        return 0;
    case 0x40:
        return 2;
    default:
        return -1;
    }
}

int MsgBoxDefaultBtnIndex(int ADefaultType) {
    const int code = (ADefaultType & MsgBoxDefaultMask) >> 8;
    return code <= 3 ? code : 0;
}

QPoint ArrangedButtonPos(QSize APanel, QSize AButton, int ACount, int AIndex) {
    return QPoint(APanel.width() - (ACount - AIndex) * (AButton.width() + 20),
                  APanel.height() - AButton.height() - 15);
}

QSize FittedBoxSize(QSize AWindow, QRect AText, int ALastButtonTop) {
    QSize size = AWindow;
    const int textRight = AText.x() + AText.width();
    if (textRight > size.width() - 20)
        size.setWidth(textRight + 20);
    const int textBottom = AText.y() + AText.height();
    if (ALastButtonTop - 10 < textBottom)
        size.setHeight(size.height() + textBottom - ALastButtonTop + 10);
    return size;
}

} // namespace velmora
