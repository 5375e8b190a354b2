#pragma once

#include "tests/desktop/DesktopInput.h"
#include "tests/desktop/DesktopSession.h"

#include <QImage>
#include <QProcess>
#include <QRect>
#include <optional>

namespace velmora::testing {

// Where the wizard's controls are, in window coordinates at 1x: the pages and bars sit below
// the skinned title bar (28 high) inside a 3-pixel border.
namespace wizard {
inline constexpr QSize KFormSize(562, 371);
inline constexpr QPoint KTitleGrip(200, 14);      // the caption band, away from its buttons
inline constexpr QPoint KCloseButton(547, 13);    // the title bar's close button
inline constexpr QPoint KNoticeNext(281, 300);    // imgOKButton
inline constexpr QPoint KFastInstall(281, 276);   // imgFastButtom
inline constexpr QPoint KAgreementBox(27, 350);   // chkReadedAnnounce
inline constexpr QPoint KPriorLink(403, 350);     // lblPrior " 返回上一步"
inline constexpr QPoint KOperatorLink(530, 350);  // lblOperator, right-aligned to the bar
inline constexpr QPoint KPathField(236, 196);     // edtInstallPath
inline constexpr QPoint KInstallButton(281, 272); // imgOkInstall
inline constexpr QPoint KRunNowBox(55, 252);      // chkRunRightNow's square
inline constexpr QPoint KWebBox(55, 280);         // chkAccessWebgle's square
inline constexpr QPoint KFinishButton(459, 276);  // imgFinishedButton
inline constexpr QPoint KBrowseButton(477, 196);  // imgSelect
// The notice picture (imgAnnounce) with its heading, as the window shows it.
inline constexpr QRect KNoticePicture(23, 38, 516, 232);
// The default skin's shadow reaches 7 pixels left and right of the form, 5 above and 9 below.
inline constexpr int KShadowMargin = 10;
// The pages as the wizard pictures them (docs/pictures, made by wizard-tour): 0 notice,
// 1 options, 2 path, 3 installing, 4 finished; -1 for none of them.
int PageOf(const QImage& AFormPicture);
// Whether the check box whose square is centred on ABox (window coordinates at 1x) shows its
// mark: the skin draws it green inside the square, where nothing else is green.
bool ShowsCheckMark(const QImage& AFormPicture, QPoint ABox, int AScale = 1);
} // namespace wizard

// The real VelmoraSetup on a desktop session, started as the session's user from a copy in
// the sandbox, found on the screen as a user sees it and worked with real input.
class TWizardOnDesktop {
public:
    TWizardOnDesktop(const TRealProcessSandbox& ASandbox, const TDesktopSession& ASession);
    ~TWizardOnDesktop();

    // Waits first for any running product to end (it would stop the wizard at its dialog),
    // unless AProductMayRun.
    void Start(const QString& AProgram = QStringLiteral(VELMORA_SETUP_PROGRAM),
               bool AProductMayRun = false);
    QProcess& Process() { return FProcess; }
    // Ends the program if it still runs.
    void Kill();

    // Waits until the main window is on the screen, fully faded in and still; its rectangle
    // on the screen (device pixels), remembered for At.
    std::optional<QRect> WaitForForm(int ATimeoutMs = 60000);
    // Where the form is now: the window system's answer on X11, the screen's on Wayland.
    std::optional<QRect> FindForm(const QImage& AShot) const;
    const QRect& Form() const { return FForm; }
    // Finds the form in a settled shot and remembers where it is; the shot for the caller.
    std::optional<QRect> Locate(QImage* AShot = nullptr);
    // A point given in window coordinates at 1x, on the screen where the form was found.
    QPoint At(QPoint AWindowPoint) const;
    // The form's pixels in a shot, at the form's last place.
    QImage FormPicture(const QImage& AShot) const { return AShot.copy(FForm); }

    // The screen once it has settled, with the pointer parked away from every control.
    QImage Shot() const;
    // The page the form shows now, -1 for none; waits up to ATimeoutMs for AExpected.
    int WaitForPage(int AExpected, int ATimeoutMs = 10000);

    // The program's windows on X11 (empty on Wayland).
    struct TWindow {
        quint32 Id = 0;
        QString Title;
        QRect Geometry;
    };
    QList<TWindow> Windows() const;

    const TDesktopInput& Input() const { return FInput; }
    int Scale() const { return FSession.Options().Scale; }

private:
    const TRealProcessSandbox& FSandbox;
    const TDesktopSession& FSession;
    TDesktopInput FInput;
    QProcess FProcess;
    QRect FForm;
};

} // namespace velmora::testing
