#include "installer/InstallerSettings.h"
#include "installer/wizard/FormPictureWords.h"
#include "installer/wizard/FormPictures.h"
#include "installer/wizard/InstallerMain.h"
#include "installer/wizard/InstallerMainLayout.h"
#include "installer/wizard/InstallerMainStyle.h"
#include "installer/wizard/WizardImageButton.h"
#include "skin/drawing/SkinColors.h"
#include "skin/widgets/SkinCheckBox.h"
#include "skin/widgets/SkinImage.h"
#include "skin/widgets/SkinLabel.h"
#include "skin/widgets/SkinPageControl.h"
#include "skin/widgets/SkinPanel.h"
#include "skin/widgets/SkinTabSheet.h"

#include <QLineEdit>
#include <QProgressBar>

// Building the main window: its pages, bars, pictures and picture buttons, where the form
// description places them, and the Tab chain through them.

namespace velmora {

namespace {

const QString KForm = QStringLiteral("TfrmInstallerMain");

// The classic system colour index of a window's background, which fills check boxes.
constexpr int KWindowColourIndex = 5;

} // namespace

void TfrmInstallerMain::CreatePages() {
    pcInstallProgress = new TSkinPageControl(this);
    pcInstallProgress->setObjectName(QStringLiteral("pcInstallProgress"));
    pcInstallProgress->setGeometry(TInstallerMainLayout::PageControlAt(TitleRect().Bottom));
    pcInstallProgress->SetTabHeight(26);
    CreateAnnouncePage(CreatePage(0, QStringLiteral("tsAnnounce"), QStringLiteral("pnlAnnounce")));
    CreateOptionPage(
        CreatePage(1, QStringLiteral("tsInstallOption"), QStringLiteral("pnlInstallOption")));
    CreatePathPage(
        CreatePage(2, QStringLiteral("tsInstallPath"), QStringLiteral("pnlInstallPath")));
    CreateInstallingPage(
        CreatePage(3, QStringLiteral("tsInstalling"), QStringLiteral("pnlInstalling")));
    CreateFinishedPage(
        CreatePage(4, QStringLiteral("tsInstallFinished"), QStringLiteral("pnlInstallFinished")));
}

TSkinPanel* TfrmInstallerMain::CreatePage(int index, const QString& sheetName,
                                          const QString& panelName) {
    auto* sheet = new TSkinTabSheet(pcInstallProgress);
    sheet->setObjectName(sheetName);
    auto* panel = new TSkinPanel(sheet);
    panel->setObjectName(panelName);
    const TGPRect area = pcInstallProgress->DisplayRect();
    panel->setGeometry(0, 0, area.Width, area.Height);
    FSheets[index] = sheet;
    FPanels[index] = panel;
    return panel;
}

TSkinImage* TfrmInstallerMain::CreatePicture(QWidget* parent, const QString& name,
                                             const QRect& bounds) {
    auto* picture = new TSkinImage(parent);
    picture->setObjectName(name);
    picture->setGeometry(bounds);
    picture->SetPicture(FormPicture(KForm, name));
    return picture;
}

TSkinImage* TfrmInstallerMain::CreateWordsPicture(QWidget* parent, const QString& name,
                                                  const QRect& bounds) {
    TSkinImage* picture = CreatePicture(parent, name, bounds);
    picture->SetReadableWords(QAccessible::Heading, FormPictureWords(KForm + u'/' + name));
    return picture;
}

TWizardImageButton* TfrmInstallerMain::CreateImageButton(QWidget* parent, const QString& name,
                                                         const QString& pictures,
                                                         const QRect& bounds) {
    for (const char* state : {"Nor", "Hov", "Down"}) {
        const QString pictureName = pictures + QLatin1String(state);
        if (FPictures.contains(pictureName))
            continue;
        TSkinImage* picture = CreatePicture(parent, pictureName, bounds);
        picture->hide();
        FPictures.insert(pictureName, picture);
    }
    auto* button = new TWizardImageButton(parent);
    button->setObjectName(name);
    button->setGeometry(bounds);
    button->Pictures = pictures;
    button->setAccessibleName(FormButtonName(KForm + u'/' + pictures + u"Nor"_qs));
    ShowButtonPicture(button, QStringLiteral("Nor"));
    return button;
}

void TfrmInstallerMain::ShowButtonPicture(TWizardImageButton* button, const QString& state) {
    if (const TSkinImage* picture = FPictures.value(button->Pictures + state))
        button->SetPicture(picture->PictureBitmap());
}

// The buttons of a group share one set of handlers, so each look change reaches all of them.
void TfrmInstallerMain::BindImageButton(TWizardImageButton* button,
                                        const std::vector<TWizardImageButton*>& group) {
    const auto show = [this, group](const QString& state) {
        for (TWizardImageButton* member : group)
            ShowButtonPicture(member, state);
    };
    button->OnMouseEnter = [show] { show(QStringLiteral("Hov")); };
    button->OnMouseLeave = [show] { show(QStringLiteral("Nor")); };
    button->OnMouseDown = [show] { show(QStringLiteral("Down")); };
}

void TfrmInstallerMain::CreateAnnouncePage(TSkinPanel* page) {
    CreateWordsPicture(page, QStringLiteral("imgAnnounce"), TInstallerMainLayout::NoticePicture);
    imgOKButton = CreateImageButton(page, QStringLiteral("imgOKButton"), QStringLiteral("imgOK"),
                                    TInstallerMainLayout::NoticeButton());
    imgOKButton->OnClick = [this] { imgOKButtonClick(); };
}

void TfrmInstallerMain::CreateOptionPage(TSkinPanel* page) {
    CreateWordsPicture(page, QStringLiteral("imgOption"), TInstallerMainLayout::OptionPicture);
    imgFastButtom =
        CreateImageButton(page, QStringLiteral("imgFastButtom"), QStringLiteral("imgFast"),
                          TInstallerMainLayout::QuickInstallButton());
    BindImageButton(imgFastButtom, {imgFastButtom});
    imgFastButtom->OnClick = [this] { imgFastButtomClick(); };
}

void TfrmInstallerMain::CreatePathPage(TSkinPanel* page) {
    CreateWordsPicture(page, QStringLiteral("imgPathInfo"), TInstallerMainLayout::PathPicture);
    CreatePicture(page, QStringLiteral("imgPathFrame"), TInstallerMainLayout::PathFrame);
    edtInstallPath = new QLineEdit(page);
    edtInstallPath->setObjectName(QStringLiteral("edtInstallPath"));
    edtInstallPath->setGeometry(TInstallerMainLayout::PathField);
    edtInstallPath->setFrame(false);
    InstallerMainStyle::SheetWhenFirstShown(*edtInstallPath, InstallerMainStyle::PathEditSheet());
    edtInstallPath->setAccessibleName(QStringLiteral("安装路径"));
    imgSelect = CreateImageButton(page, QStringLiteral("imgSelect"), QStringLiteral("imgSelect"),
                                  TInstallerMainLayout::BrowseButton);
    BindImageButton(imgSelect, {imgSelect});
    imgSelect->OnClick = [this] { imgSelectClick(); };
    // Shares the notice page's pictures, hence its button's handlers.
    imgOkInstall = new TWizardImageButton(page);
    imgOkInstall->setObjectName(QStringLiteral("imgOkInstall"));
    imgOkInstall->setGeometry(TInstallerMainLayout::PathInstallButton());
    imgOkInstall->Pictures = imgOKButton->Pictures;
    imgOkInstall->setAccessibleName(imgOKButton->accessibleName());
    ShowButtonPicture(imgOkInstall, QStringLiteral("Nor"));
    BindImageButton(imgOKButton, {imgOKButton, imgOkInstall});
    BindImageButton(imgOkInstall, {imgOKButton, imgOkInstall});
    imgOkInstall->OnClick = [this] { imgOkInstallClick(); };
}

void TfrmInstallerMain::CreateInstallingPage(TSkinPanel* page) {
    CreateWordsPicture(page, QStringLiteral("imgInstalling"),
                       TInstallerMainLayout::InstallingPicture);
    lblInstallState = new TSkinLabel(page);
    lblInstallState->setObjectName(QStringLiteral("lblInstallState"));
    InstallerMainStyle::PlainText(*lblInstallState);
    lblInstallState->SetAutoSize(false);
    lblInstallState->setGeometry(TInstallerMainLayout::StatusLine);
    lblInstallState->SetCaption(InstallerSettingsOrDefault().StatusRemoving);
    pbProgress = new QProgressBar(page);
    pbProgress->setObjectName(QStringLiteral("pbProgress"));
    pbProgress->setGeometry(TInstallerMainLayout::ProgressBar);
    pbProgress->setTextVisible(false);
    pbProgress->setRange(0, 100);
    pbProgress->setValue(0);
    InstallerMainStyle::SheetWhenFirstShown(*pbProgress, InstallerMainStyle::ProgressSheet());
    pbProgress->setAccessibleName(QStringLiteral("安装进度"));
}

void TfrmInstallerMain::CreateFinishedPage(TSkinPanel* page) {
    CreateWordsPicture(page, QStringLiteral("imgFinished"), TInstallerMainLayout::FinishedPicture);
    lblFinishedState = new TSkinLabel(page);
    lblFinishedState->setObjectName(QStringLiteral("lblFinishedState"));
    InstallerMainStyle::Headline(*lblFinishedState, true);
    lblFinishedState->SetAccessibleRole(QAccessible::Heading);
    lblFinishedState->SetAutoSize(false);
    lblFinishedState->setGeometry(TInstallerMainLayout::ResultHeadline);
    chkRunRightNow = new TSkinCheckBox(page);
    chkRunRightNow->setObjectName(QStringLiteral("chkRunRightNow"));
    InstallerMainStyle::PlainText(*chkRunRightNow);
    chkRunRightNow->setGeometry(TInstallerMainLayout::RunNowBox);
    chkRunRightNow->SetCaption(QStringLiteral("立即运行"));
    chkRunRightNow->SetColor(QColor::fromRgba(SystemColor(KWindowColourIndex)));
    chkRunRightNow->SetChecked(true);
    chkAccessWebgle = new TSkinCheckBox(page);
    chkAccessWebgle->setObjectName(QStringLiteral("chkAccessWebgle"));
    InstallerMainStyle::PlainText(*chkAccessWebgle);
    chkAccessWebgle->setGeometry(TInstallerMainLayout::WebBox);
    chkAccessWebgle->SetCaption(QStringLiteral("访问Velmo网站"));
    chkAccessWebgle->SetColor(QColor::fromRgba(SystemColor(KWindowColourIndex)));
    chkAccessWebgle->SetChecked(true);
    imgFinishedButton =
        CreateImageButton(page, QStringLiteral("imgFinishedButton"), QStringLiteral("imgFinished"),
                          TInstallerMainLayout::FinishButton);
    BindImageButton(imgFinishedButton, {imgFinishedButton});
    imgFinishedButton->OnClick = [this] { imgFinishedButtonClick(); };
}

void TfrmInstallerMain::CreateOperateBar() {
    pnlOperate = new TSkinPanel(this);
    pnlOperate->setObjectName(QStringLiteral("pnlOperate"));
    pnlOperate->setGeometry(
        TInstallerMainLayout::BarRect(contentsRect(), TInstallerMainLayout::OperateBarHeight));
    pnlOperate->SetBitmap(FormBitmap(KForm, QStringLiteral("imgBar")));

    pnlReaderAnnounce = new TSkinPanel(pnlOperate);
    pnlReaderAnnounce->setObjectName(QStringLiteral("pnlReaderAnnounce"));
    pnlReaderAnnounce->setGeometry(TInstallerMainLayout::AgreementRow);
    chkReadedAnnounce = new TSkinCheckBox(pnlReaderAnnounce);
    chkReadedAnnounce->setObjectName(QStringLiteral("chkReadedAnnounce"));
    chkReadedAnnounce->setGeometry(TInstallerMainLayout::AgreementBox);
    chkReadedAnnounce->SetColor(QColor::fromRgba(SystemColor(KWindowColourIndex)));
    // The square shows no caption; its words are the label beside it and the link after.
    chkReadedAnnounce->setAccessibleName(QStringLiteral("我已阅读并同意许可协议"));
    chkReadedAnnounce->SetChecked(true);
    chkReadedAnnounce->OnClick = [this] { chkReadedAnnounceClick(); };
    lblReadedAnnounce = new TSkinLabel(pnlReaderAnnounce);
    lblReadedAnnounce->setObjectName(QStringLiteral("lblReadedAnnounce"));
    InstallerMainStyle::PlainText(*lblReadedAnnounce);
    lblReadedAnnounce->SetCaption(QStringLiteral("我已阅读并同意"));
    lblReadedAnnounce->setCursor(Qt::PointingHandCursor);
    lblReadedAnnounce->OnClick = [this] { lblReadedAnnounceClick(); };
    lblAnnounce = new TSkinLabel(pnlReaderAnnounce);
    lblAnnounce->setObjectName(QStringLiteral("lblAnnounce"));
    InstallerMainStyle::Link(*lblAnnounce, true);
    lblAnnounce->SetCaption(QStringLiteral("许可协议"));
    lblAnnounce->SetControlAction(TControlAction::Jump);
    lblAnnounce->setContentsMargins(TInstallerMainLayout::LinkRoom);
    lblAnnounce->OnClick = [this] { lblAnnounceClick(); };

    lblOperator = new TSkinLabel(pnlOperate);
    lblOperator->setObjectName(QStringLiteral("lblOperator"));
    InstallerMainStyle::Link(*lblOperator, false);
    lblOperator->SetControlAction(TControlAction::Jump);
    lblOperator->setContentsMargins(TInstallerMainLayout::LinkRoom);
    lblOperator->OnClick = [this] { lblOperatorClick(); };
    lblPrior = new TSkinLabel(pnlOperate);
    lblPrior->setObjectName(QStringLiteral("lblPrior"));
    InstallerMainStyle::Link(*lblPrior, false);
    lblPrior->SetCaption(QStringLiteral(" 返回上一步"));
    lblPrior->SetControlAction(TControlAction::Jump);
    lblPrior->setContentsMargins(TInstallerMainLayout::LinkRoom);
    lblPrior->OnClick = [this] { lblPriorClick(); };
}

void TfrmInstallerMain::CreateBackBar() {
    pnlBack = new TSkinPanel(this);
    pnlBack->setObjectName(QStringLiteral("pnlBack"));
    pnlBack->setGeometry(
        TInstallerMainLayout::BarRect(contentsRect(), TInstallerMainLayout::BackBarHeight));
    CreatePicture(pnlBack, QStringLiteral("imgBar"), pnlBack->rect())
        ->setObjectName(QStringLiteral("imgBack"));
}

void TfrmInstallerMain::SetTabChain() {
    // Hidden controls (other pages, the bar not shown) are skipped by Tab, so one chain serves
    // every page.
    const QWidget* chain[] = {MinBtn(),        CloseBtn(),        imgOKButton,       imgFastButtom,
                              edtInstallPath,  imgSelect,         imgOkInstall,      chkRunRightNow,
                              chkAccessWebgle, imgFinishedButton, chkReadedAnnounce, lblAnnounce,
                              lblPrior,        lblOperator};
    for (size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(const_cast<QWidget*>(chain[i - 1]), const_cast<QWidget*>(chain[i]));
}

} // namespace velmora
