#include "installer/wizard/InstallerMain.h"

#include "installer/InstallLog.h"
#include "installer/InstallRecord.h"
#include "installer/wizard/InstallerMainLayout.h"
#include "installer/wizard/InstallerMainPageTable.h"
#include "installer/wizard/InstallerMainProgress.h"
#include "installer/wizard/InstallerMainStyle.h"
#include "installer/wizard/SelectFolderDialog.h"
#include "installer/wizard/WizardImageButton.h"
#include "platform/graphics/SkinApplication.h"
#include "platform/system/PlatformServices.h"
#include "skin/drawing/GdiSkinHelper.h"
#include "skin/drawing/SkinTimer.h"
#include "skin/widgets/SkinCheckBox.h"
#include "skin/widgets/SkinImage.h"
#include "skin/widgets/SkinLabel.h"
#include "skin/widgets/SkinPageControl.h"
#include "skin/widgets/SkinPanel.h"
#include "skin/widgets/SkinTabSheet.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>

namespace velmora {

namespace {

// A label sizes itself to the room its parent leaves right of it; measured at the left edge
// it keeps its caption on one line wherever it goes afterwards.
void FitOnOneLine(TSkinLabel* label) {
    label->move(0, label->y());
    label->SetAutoSize(true);
}

void ShowSystemErrorBox(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok);
    box.setObjectName(QStringLiteral("InstallErrorBox"));
    box.exec();
}

} // namespace

TfrmInstallerMain::TfrmInstallerMain(TPlatformServices& services, IProcessLauncher& launcher,
                                     TInstallState& state, QWidget* parent)
    : TDefaultSkinForm(parent), FServices(services), FLauncher(launcher), FState(state) {
    setObjectName(QStringLiteral("frmInstallerMain"));
    setFont(InstallerMainStyle::FormFont());
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu | biMinimize);
    resize(ClientWidth, ClientHeight);
    // Fully transparent until shown; the fade takes it to opaque.
    setWindowOpacity(0.0);
    FTimerShow = CreateSkinTimer();
    FTimerShow->SetInterval(FadeInterval);
    FTimerShow->OnTimer = [this] { TimerShowTimer(); };
    CreatePages();
    CreateOperateBar();
    CreateBackBar();
    SetTabChain();
    FormCreate();
}

TfrmInstallerMain::~TfrmInstallerMain() {
    // The buttons outlive this part of the window: the base destructor hides them, and their
    // looks would be handed to a window that is already gone.
    for (TWizardImageButton* button :
         {imgOKButton, imgFastButtom, imgSelect, imgOkInstall, imgFinishedButton}) {
        button->OnMouseEnter = nullptr;
        button->OnMouseLeave = nullptr;
        button->OnMouseDown = nullptr;
    }
}

void TfrmInstallerMain::FormCreate() {
    MovePanelsOntoForm();
    TSkinApplication::SetOnException([](const QString& message) { WriteInstallLog(message); });
    pcInstallProgress->hide();
    setFixedSize(ClientWidth, ClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FPageIndex = 0;
    ShowPage();
    edtInstallPath->setText(DefaultInstallPath());
    const TInstallerSettings& settings = InstallerSettings();
    for (int i = 0; i < PageCount; ++i)
        FSheets[i]->SetCaption(settings.PageTitles[static_cast<size_t>(i)]);
    setWindowTitle(QString());
    FInstallSuccess = false;
}

QString TfrmInstallerMain::DefaultInstallPath() {
    TInstallRecord record(FServices.Registry(), InstallerSettings(), FState);
    QString folder = record.GetProgramFilesDir();
    if (folder.isEmpty())
        folder = FServices.Folders().Path(ISpecialFolders::ProgramFiles);
    const QString& publisher = InstallerSettings().PublisherFolder;
    return folder.endsWith(u'/') ? folder + publisher : folder + u'/' + publisher;
}

TWizardImageButton* TfrmInstallerMain::DefaultButton() const {
    switch (FPageIndex) {
    case 0:
        return imgOKButton;
    case 1:
        return imgFastButtom;
    case 2:
        return imgOkInstall;
    case 4:
        return imgFinishedButton;
    default:
        return nullptr;
    }
}

void TfrmInstallerMain::FocusPage() {
    TWizardImageButton* button = DefaultButton();
    if (button != nullptr && button->isEnabled() && button->isVisibleTo(this)) {
        button->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The default cannot be pressed (the agreement is unchecked): the page's first control.
    if (FPageIndex >= 0 && FPageIndex < PageCount && FPanels[FPageIndex]->isVisibleTo(this)) {
        for (QWidget* next = nextInFocusChain(); next != this; next = next->nextInFocusChain()) {
            if (next->isVisibleTo(this) && next->isEnabled() &&
                next->focusPolicy() != Qt::NoFocus && next->window() == this &&
                !dynamic_cast<TFormDrawSkinCustomControl*>(next)) {
                next->setFocus(Qt::OtherFocusReason);
                return;
            }
        }
    }
    // The installing page has nothing to press: the focus stays on the window.
    setFocus(Qt::OtherFocusReason);
}

void TfrmInstallerMain::NameAfterPage() {
    const TInstallerSettings& settings = InstallerSettingsOrDefault();
    QString name = settings.ProductName + settings.Version + QStringLiteral(" 安装向导");
    if (FPageIndex >= 0 && FPageIndex < PageCount)
        name += QStringLiteral(" - ") + settings.PageTitles[static_cast<size_t>(FPageIndex)];
    setAccessibleName(name);
}

void TfrmInstallerMain::keyPressEvent(QKeyEvent* event) {
    // Return that no control took (a check box, the path field, the page itself) presses the
    // page's default button.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        if (TWizardImageButton* button = DefaultButton()) {
            button->Activate();
            return;
        }
    }
    TDefaultSkinForm::keyPressEvent(event);
}

void TfrmInstallerMain::MovePanelsOntoForm() {
    for (TSkinPanel* panel : FPanels) {
        panel->hide();
        panel->setParent(this);
    }
    LayoutPageArea();
}

// ---- pages ----------------------------------------------------------------------------

void TfrmInstallerMain::LayoutPageArea() {
    const bool operate = pnlOperate->isVisibleTo(this);
    const int bar =
        operate ? TInstallerMainLayout::OperateBarHeight : TInstallerMainLayout::BackBarHeight;
    for (TSkinPanel* panel : FPanels)
        panel->setGeometry(TInstallerMainLayout::PageRect(contentsRect(), bar));
}

void TfrmInstallerMain::PlaceLinks() {
    for (TSkinLabel* label : {lblOperator, lblPrior, lblReadedAnnounce, lblAnnounce})
        FitOnOneLine(label);
    const QSize bar = pnlOperate->size();
    // The links' room for the focus cue lies around their text; the text keeps its place.
    const QRect operatorRect = TInstallerMainLayout::OperatorRect(bar, lblOperator->size())
                                   .translated(TInstallerMainLayout::LinkRoom.right(), 0);
    lblOperator->move(operatorRect.topLeft());
    lblPrior->move(
        TInstallerMainLayout::PriorRect(operatorRect, bar.height(), lblPrior->size()).topLeft());
    const int top = (bar.height() - lblReadedAnnounce->height()) / 2;
    lblReadedAnnounce->move(chkReadedAnnounce->geometry().right() + 6, top);
    lblAnnounce->move(lblReadedAnnounce->geometry().right() + 1 -
                          TInstallerMainLayout::LinkRoom.left(),
                      top - TInstallerMainLayout::LinkRoom.top());
}

void TfrmInstallerMain::ShowPage() {
    pnlReaderAnnounce->hide();
    for (TSkinPanel* panel : FPanels)
        panel->hide();
    const TInstallerMainPageLook look = InstallerMainPageLook(FPageIndex);
    if (look.HasPage)
        pcInstallProgress->SetActivePageIndex(FPageIndex);

    pnlOperate->setVisible(look.OperateBar);
    pnlBack->setVisible(!look.OperateBar);
    pnlReaderAnnounce->setVisible(look.AgreementRow);
    if (look.OperatorCaption)
        lblOperator->SetCaption(*look.OperatorCaption);
    lblOperator->setVisible(look.OperatorShown);
    lblPrior->setVisible(look.PriorShown);

    switch (FPageIndex) {
    case 0:
        ShowButtonPicture(imgOKButton, QStringLiteral("Nor"));
        break;
    case 1:
        ShowButtonPicture(imgFastButtom, QStringLiteral("Nor"));
        break;
    case 2:
        ShowButtonPicture(imgSelect, QStringLiteral("Nor"));
        break;
    case 4: {
        // After a failure there is nothing to run or visit, but the finish button still closes
        // the window: a disabled page would leave the user looking for the title-bar close.
        chkRunRightNow->SetChecked(FInstallSuccess);
        chkAccessWebgle->SetChecked(FInstallSuccess);
        chkRunRightNow->setEnabled(FInstallSuccess);
        chkAccessWebgle->setEnabled(FInstallSuccess);
        const QString result =
            FInstallSuccess ? QStringLiteral("安装完成") : QStringLiteral("安装失败");
        lblInstallState->SetCaption(result);
        // The finished page says which way the install went.
        lblFinishedState->SetCaption(result);
        InstallerMainStyle::Headline(*lblFinishedState, FInstallSuccess);
        ShowButtonPicture(imgFinishedButton, QStringLiteral("Nor"));
        break;
    }
    default:
        break;
    }
    LayoutPageArea();
    PlaceLinks();
    if (look.HasPage)
        FPanels[FPageIndex]->show();
    NameAfterPage();
    FocusPage();
}

void TfrmInstallerMain::NextPage() {
    ++FPageIndex;
    ShowPage();
}

void TfrmInstallerMain::PriorPage() {
    --FPageIndex;
    ShowPage();
}

// ---- install and finish ---------------------------------------------------------------

void TfrmInstallerMain::InstallSoftware() {
    if (FInstalling)
        return;
    FInstalling = true;
    TInstallerMainProgress display(*lblInstallState, *pbProgress);
    TInstallSequence sequence(FServices, InstallerSettings(), FState,
                              OnShowInstallError ? OnShowInstallError : ShowSystemErrorBox);
    // An error that escapes the sequence still goes to the application-wide handler, but the
    // window then goes on to say that the install failed instead of staying on this page.
    try {
        if (PayloadSource) {
            const std::unique_ptr<QIODevice> source = PayloadSource();
            if (source)
                sequence.InstallSoftware(edtInstallPath->text(), display, *source);
            else
                TSkinApplication::HandleException(QStringLiteral("InstallSoftware: no payload"));
        } else {
            sequence.InstallSoftware(edtInstallPath->text(), display);
        }
    } catch (const std::exception& error) {
        TSkinApplication::HandleException(TSkinApplication::ErrorMessage(error));
    } catch (...) {
        TSkinApplication::HandleException(QStringLiteral("Unknown error"));
    }
    FInstallSuccess = sequence.InstallSuccess();
    FInstalling = false;
}

bool TfrmInstallerMain::RunInstall() {
    InstallSoftware();
    if (!FCloseAfterInstall)
        return true;
    close();
    return false;
}

void TfrmInstallerMain::Launch(const QString& target, const QString& what) {
    try {
        FLauncher.Open(target);
    } catch (const std::exception& error) {
        WriteInstallLog(u"FinishInstall:"_qs + what + u"\r\n"_qs +
                        TSkinApplication::ErrorMessage(error));
    }
}

void TfrmInstallerMain::FinishInstall() {
    if (FInstallSuccess) {
        const TInstallerSettings& settings = InstallerSettings();
        // A failed start is logged and the next action still runs: the window always closes.
        if (chkRunRightNow->Checked())
            Launch(FState.ProductFolder + settings.ProductExe, QStringLiteral("运行已安装的程序"));
        if (chkAccessWebgle->Checked())
            Launch(settings.WebAddress, QStringLiteral("打开网站"));
    }
    close();
}

void TfrmInstallerMain::CancelInstall() {
    if (!OnConfirmCancel || OnConfirmCancel())
        close();
}

// ---- agreement ------------------------------------------------------------------------

void TfrmInstallerMain::SetInstallButtonsEnabled(bool Value) {
    imgFastButtom->setEnabled(Value);
    imgOkInstall->setEnabled(Value);
}

void TfrmInstallerMain::ToggleAgreement() {
    chkReadedAnnounce->SetChecked(!chkReadedAnnounce->Checked());
    SetInstallButtonsEnabled(chkReadedAnnounce->Checked());
}

// ---- event handlers -------------------------------------------------------------------

void TfrmInstallerMain::showEvent(QShowEvent* event) {
    TDefaultSkinForm::showEvent(event);
    if (FAlpha < 255)
        FTimerShow->Start();
}

void TfrmInstallerMain::closeEvent(QCloseEvent* event) {
    // Closing halfway through writing the product would leave it torn: the window closes as
    // soon as the install sequence returns.
    if (FInstalling) {
        FCloseAfterInstall = true;
        event->ignore();
        return;
    }
    FTimerShow->Stop();
    TDefaultSkinForm::closeEvent(event);
}

void TfrmInstallerMain::TimerShowTimer() {
    if (FAlpha + FadeStep < 255) {
        FAlpha += FadeStep;
    } else {
        FAlpha = 255;
        FTimerShow->Stop();
    }
    setWindowOpacity(FAlpha / 255.0);
}

void TfrmInstallerMain::imgOKButtonClick() {
    NextPage();
}

void TfrmInstallerMain::imgOkInstallClick() {
    NextPage();
    if (RunInstall())
        NextPage();
}

void TfrmInstallerMain::imgFastButtomClick() {
    FPageIndex = 3;
    ShowPage();
    if (RunInstall())
        NextPage();
}

void TfrmInstallerMain::imgSelectClick() {
    QString path = edtInstallPath->text();
    if (!SelectFolderDialog(this, QStringLiteral("选择文件夹:"), QString(), path, true, false,
                            false))
        return;
    const QString& publisher = InstallerSettings().PublisherFolder;
    edtInstallPath->setText(path.endsWith(u'/') ? path + publisher : path + u'/' + publisher);
}

void TfrmInstallerMain::imgFinishedButtonClick() {
    FinishInstall();
}

void TfrmInstallerMain::lblOperatorClick() {
    switch (InstallerMainOperatorAction(FPageIndex)) {
    case TOperatorAction::Next:
        NextPage();
        break;
    case TOperatorAction::Prior:
        PriorPage();
        break;
    case TOperatorAction::Finish:
        FinishInstall();
        break;
    case TOperatorAction::None:
        break;
    }
}

void TfrmInstallerMain::lblPriorClick() {
    PriorPage();
}

void TfrmInstallerMain::lblAnnounceClick() {
    if (OnShowAgreement)
        OnShowAgreement();
}

void TfrmInstallerMain::lblReadedAnnounceClick() {
    ToggleAgreement();
}

void TfrmInstallerMain::chkReadedAnnounceClick() {
    SetInstallButtonsEnabled(chkReadedAnnounce->Checked());
}

} // namespace velmora
