#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

namespace velmora {

// The message box's box type follows the bit layout of the system message box's style
// flags: buttons in the low four bits, the icon in the next four, the default button above.
constexpr int MsgBoxButtonMask = 0x000F;
constexpr int MsgBoxIconMask = 0x00F0;
constexpr int MsgBoxDefaultMask = 0x0F00;

// The result codes (button tags) of a button code, in display order; codes 6 to 15 are OK.
std::vector<int> MsgBoxButtonTags(int AButtonType);
// The hint image-list index of an icon code (0x10..0x40), -1 for any other value.
int MsgBoxHintIconIndex(int AIconType);
// The default-button index of a default-button code (0x000..0x300), 0 for any other value.
int MsgBoxDefaultBtnIndex(int ADefaultType);

// Top-left of the i-th of ACount buttons right-aligned at the bottom of APanel, each followed
// by 20 pixels and the row 15 pixels above the panel's bottom.
QPoint ArrangedButtonPos(QSize APanel, QSize AButton, int ACount, int AIndex);

// The window size FitToText gives: wide enough for the text's right edge plus 20, tall
// enough that the text ends 10 pixels above the button row.
QSize FittedBoxSize(QSize AWindow, QRect AText, int ALastButtonTop);

} // namespace velmora
