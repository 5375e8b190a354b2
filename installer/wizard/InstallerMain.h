#pragma once

#include "installer/InstallSequence.h"
#include "installer/InstallerSettings.h"
#include "skin/controls/SkinForms.h"

#include <QHash>
#include <QIODevice>
#include <functional>
#include <memory>

class QLineEdit;
class QProgressBar;

namespace velmora {

class IProcessLauncher;
class TPlatformServices;
class TSkinCheckBox;
class TSkinImage;
class TSkinLabel;
class TSkinPageControl;
class TSkinPanel;
class TSkinTabSheet;
class TSkinTimer;
class TWizardImageButton;

// The wizard's main window: five pages (notice, options, path, installing, finished) shown
// one at a time above one of two bottom bars, the install buttons that run the install
// sequence, and the finish actions. Controls carry their form names as object names.
//
// Two actions come from the program that creates the window:
//  - OnConfirmCancel asks whether to quit and returns true to close. Empty: CancelInstall
//    closes without asking.
//  - OnShowAgreement shows the licence text (modally). Empty: the licence link does nothing.
class TfrmInstallerMain : public TDefaultSkinForm {
public:
    static constexpr int ClientWidth = 562;
    static constexpr int ClientHeight = 371;
    static constexpr int FadeInterval = 10;
    static constexpr int FadeStep = 6;
    static constexpr int PageCount = 5;

    // services: the system the install goes to; launcher starts the product and the web
    // address on the finished page; state: the install state the sequence fills.
    TfrmInstallerMain(TPlatformServices& services, IProcessLauncher& launcher, TInstallState& state,
                      QWidget* parent = nullptr);
    ~TfrmInstallerMain() override;

    QString ClassName() const override { return QStringLiteral("TfrmInstallerMain"); }

    int PageIndex() const { return FPageIndex; }
    bool InstallSuccess() const { return FInstallSuccess; }
    bool Installing() const { return FInstalling; }
    // The window's alpha, 0 (transparent) .. 255, as the fade-in has brought it.
    int Alpha() const { return FAlpha; }

    void ShowPage();
    void NextPage();
    void PriorPage();
    void InstallSoftware();
    void FinishInstall();
    void CancelInstall();
    void ToggleAgreement();

    std::function<bool()> OnConfirmCancel;
    std::function<void()> OnShowAgreement;
    // Shows the install's one error message (text, caption); a system-style box without an
    // owner unless replaced.
    TShowInstallError OnShowInstallError;
    // Where the payload comes from; empty: the payload embedded in the program.
    std::function<std::unique_ptr<QIODevice>()> PayloadSource;

    // The button Return presses on the current page (确定, 快速安装, the path page's 确定,
    // 完成), or null on the installing page.
    TWizardImageButton* DefaultButton() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void CreatePages();
    TSkinPanel* CreatePage(int index, const QString& sheetName, const QString& panelName);
    void CreateAnnouncePage(TSkinPanel* page);
    void CreateOptionPage(TSkinPanel* page);
    void CreatePathPage(TSkinPanel* page);
    void CreateInstallingPage(TSkinPanel* page);
    void CreateFinishedPage(TSkinPanel* page);
    void CreateOperateBar();
    void CreateBackBar();
    void MovePanelsOntoForm();
    // Tab and Shift+Tab walk the controls in the order the eye reads them: the title-bar
    // buttons, the page from top to bottom, then the bottom bar from left to right.
    void SetTabChain();
    // A shown page takes the focus on its default button (or its first control when the
    // default cannot be pressed) and names the window after it for screen readers.
    void FocusPage();
    void NameAfterPage();
    void LayoutPageArea();
    void PlaceLinks();
    QString DefaultInstallPath();

    // An image button with its three hidden pictures named <base>Nor, <base>Hov, <base>Down.
    TWizardImageButton* CreateImageButton(QWidget* parent, const QString& name,
                                          const QString& pictures, const QRect& bounds);
    TSkinImage* CreatePicture(QWidget* parent, const QString& name, const QRect& bounds);
    // A page picture that carries words (its heading first) is read as that heading and text.
    TSkinImage* CreateWordsPicture(QWidget* parent, const QString& name, const QRect& bounds);
    void ShowButtonPicture(TWizardImageButton* button, const QString& state);
    void BindImageButton(TWizardImageButton* button, const std::vector<TWizardImageButton*>& group);

    void TimerShowTimer();
    void imgOKButtonClick();
    void imgOkInstallClick();
    void imgFastButtomClick();
    void imgSelectClick();
    void imgFinishedButtonClick();
    void lblOperatorClick();
    void lblPriorClick();
    void lblAnnounceClick();
    void lblReadedAnnounceClick();
    void chkReadedAnnounceClick();
    void SetInstallButtonsEnabled(bool Value);
    // Runs the install and tells whether the window is still to go on to the next page.
    bool RunInstall();
    void Launch(const QString& target, const QString& what);

    TPlatformServices& FServices;
    IProcessLauncher& FLauncher;
    TInstallState& FState;
    int FPageIndex = 0;
    bool FInstallSuccess = false;
    bool FInstalling = false;
    bool FCloseAfterInstall = false;
    int FAlpha = 0;
    std::unique_ptr<TSkinTimer> FTimerShow;

    // The hidden pictures the image buttons take their looks from, by name.
    QHash<QString, TSkinImage*> FPictures;
    TSkinPageControl* pcInstallProgress = nullptr;
    TSkinTabSheet* FSheets[PageCount] = {};
    TSkinPanel* FPanels[PageCount] = {};
    TSkinPanel* pnlOperate = nullptr;
    TSkinPanel* pnlReaderAnnounce = nullptr;
    TSkinPanel* pnlBack = nullptr;
    TSkinCheckBox* chkReadedAnnounce = nullptr;
    TSkinLabel* lblReadedAnnounce = nullptr;
    TSkinLabel* lblAnnounce = nullptr;
    TSkinLabel* lblOperator = nullptr;
    TSkinLabel* lblPrior = nullptr;
    TWizardImageButton* imgOKButton = nullptr;
    TWizardImageButton* imgFastButtom = nullptr;
    TWizardImageButton* imgSelect = nullptr;
    TWizardImageButton* imgOkInstall = nullptr;
    TWizardImageButton* imgFinishedButton = nullptr;
    QLineEdit* edtInstallPath = nullptr;
    TSkinLabel* lblInstallState = nullptr;
    TSkinLabel* lblFinishedState = nullptr;
    QProgressBar* pbProgress = nullptr;
    TSkinCheckBox* chkRunRightNow = nullptr;
    TSkinCheckBox* chkAccessWebgle = nullptr;
};

} // namespace velmora
