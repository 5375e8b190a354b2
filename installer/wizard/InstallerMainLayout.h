#pragma once

#include <QMargins>
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

    static constexpr QMargins LinkRoom{3, 2, 3, 2}; // around a link's text, for its focus cue
    static constexpr int PageWidth = 556;           // the page panels' width

    // The controls on their pages (page coordinates) and bars.
    static constexpr QRect NoticePicture{20, 10, 516, 232};
    static constexpr QRect OptionPicture{20, 10, 516, 200};
    static constexpr QRect PathPicture{20, 10, 516, 124};
    static constexpr QRect PathFrame{40, 152, 384, 32};
    static constexpr QRect PathField{52, 157, 362, 22};
    static constexpr QRect BrowseButton{432, 152, 84, 32};
    static constexpr QRect InstallingPicture{20, 10, 516, 180};
    static constexpr QRect StatusLine{40, 206, 476, 20};
    static constexpr QRect ProgressBar{40, 234, 476, 14};
    static constexpr QRect FinishedPicture{20, 10, 516, 150};
    static constexpr QRect ResultHeadline{44, 168, 472, 30};
    static constexpr QRect RunNowBox{44, 214, 200, 20};
    static constexpr QRect WebBox{44, 242, 200, 20};
    static constexpr QRect FinishButton{396, 230, 120, 36};
    static constexpr QRect AgreementRow{0, 0, 300, OperateBarHeight};
    static constexpr QRect AgreementBox{16, 9, 17, 17};
    static QRect NoticeButton() { return CentredAt(PageWidth, 254, QSize(120, 36)); }
    static QRect QuickInstallButton() { return CentredAt(PageWidth, 226, QSize(168, 44)); }
    static QRect PathInstallButton() { return CentredAt(PageWidth, 226, QSize(120, 36)); }
    // The (hidden) page control below a title band ending at titleBottom.
    static QRect PageControlAt(int titleBottom) { return QRect(4, titleBottom + 2, 554, 320); }

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
