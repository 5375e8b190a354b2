#pragma once

#include <QCursor>
#include <QRegion>
#include <Qt>

namespace velmora {

// Border styles of a form.
enum TFormBorderStyle : int {
    bsNone = 0,
    bsSingle = 1,
    bsSizeable = 2,
    bsDialog = 3,
    bsToolWindow = 4,
    bsSizeToolWin = 5,
};

// Border icons of a form, as bits.
enum TBorderIcon : int {
    biSystemMenu = 1,
    biMinimize = 2,
    biMaximize = 4,
    biHelp = 8,
};
using TBorderIcons = int;

// Hit-test results, numbered as the window system numbers them.
enum THitTestCode : int {
    HTTRANSPARENT = -1,
    HTNOWHERE = 0,
    HTCLIENT = 1,
    HTCAPTION = 2,
    HTLEFT = 10,
    HTRIGHT = 11,
    HTTOP = 12,
    HTTOPLEFT = 13,
    HTTOPRIGHT = 14,
    HTBOTTOM = 15,
    HTBOTTOMLEFT = 16,
    HTBOTTOMRIGHT = 17,
};

bool IsResizableBorderStyle(TFormBorderStyle style);

// The code for client point (x, y) of a form with client size CW x CH: corners 8 pixels
// deep, edges 4, everything else client. Forms that cannot be resized are client throughout.
int SkinFormHitTest(int x, int y, int CW, int CH, TFormBorderStyle style);

// The edges a resize code drags (none for other codes), and the cursor it shows.
Qt::Edges EdgesOfHitTest(int code);
Qt::CursorShape CursorOfHitTest(int code);

// A width x height rectangle whose corners are rounded by an ellipse of ellipse x ellipse.
QRegion RoundRectRegion(int width, int height, int ellipse);

} // namespace velmora
