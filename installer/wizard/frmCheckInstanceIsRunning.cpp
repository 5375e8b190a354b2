#include "installer/wizard/frmCheckInstanceIsRunning.h"

#include "installer/InstallerSettings.h"
#include "installer/SingleInstance.h"
#include "installer/wizard/ControlTag.h"
#include "installer/wizard/FormPicture.h"
#include "installer/wizard/FormPictureWords.h"
#include "installer/wizard/WizardImageButton.h"
#include "platform/graphics/ModalDisplay.h"
#include "skin/widgets/SkinImages.h"

namespace velmora {

namespace {

constexpr QSize KImageButtonSize(104, 37);

TMsgBoxDesign InstanceRunningDesign() {
    TMsgBoxDesign design;
    design.Caption = QStringLiteral("安装向导-检测实例是否正在运行");
    design.ClientSize = QSize(506, 296);
    design.PanelRect = QRect(5, 28, 496, 263);
    return design;
}

} // namespace

TfrmCheckInstanceIsRunning::TfrmCheckInstanceIsRunning(QWidget* parent)
    : TfrmBaseMsgBox(parent, InstanceRunningDesign()) {
    setObjectName(QStringLiteral("frmCheckInstanceIsRunning"));
    imgHint->hide();

    imgMessage = MakePicture(QStringLiteral("imgMessage"), QStringLiteral("Message.png"),
                             QRect(32, 30, 441, 187));
    imgMessage->show();
    // The message is a picture: screen readers read the words it is drawn with.
    const QString words = FormPictureWords(QStringLiteral("CheckInstanceIsRunning/Message"));
    imgMessage->SetReadableWords(QAccessible::StaticText, words);
    // The window has no title of its own; a screen reader names it by the message's heading.
    setAccessibleName(words.section(u'\n', 0, 0).trimmed());

    const QRect hidden(0, 0, KImageButtonSize.width(), KImageButtonSize.height());
    imgUnStallHov =
        MakePicture(QStringLiteral("imgUnStallHov"), QStringLiteral("UnStallHov.png"), hidden);
    imgUnStallNor =
        MakePicture(QStringLiteral("imgUnStallNor"), QStringLiteral("UnStallNor.png"), hidden);
    imgUnStallDown =
        MakePicture(QStringLiteral("imgUnStallDown"), QStringLiteral("UnStallDown.png"), hidden);
    imgCancelHov =
        MakePicture(QStringLiteral("imgCancelHov"), QStringLiteral("CancelHov.png"), hidden);
    imgCancelNor =
        MakePicture(QStringLiteral("imgCancelNor"), QStringLiteral("CancelNor.png"), hidden);
    imgCancelDown =
        MakePicture(QStringLiteral("imgCancelDown"), QStringLiteral("CancelDown.png"), hidden);

    imgUnStall = MakeImageButton(QStringLiteral("imgUnStall"), QPoint(95, 205), mrRetry,
                                 imgUnStallNor, imgUnStallHov, imgUnStallDown);
    imgUnStall->setAccessibleName(
        FormButtonName(QStringLiteral("CheckInstanceIsRunning/UnStallNor")));
    imgCancel = MakeImageButton(QStringLiteral("imgCancel"), QPoint(299, 206), mrCancel,
                                imgCancelNor, imgCancelHov, imgCancelDown);
    imgCancel->setAccessibleName(
        FormButtonName(QStringLiteral("CheckInstanceIsRunning/CancelNor")));
}

TSkinImage* TfrmCheckInstanceIsRunning::MakePicture(const QString& AName, const QString& AFile,
                                                    QRect AAt) {
    auto* picture = new TSkinImage(this);
    picture->setObjectName(AName);
    picture->setGeometry(AAt);
    picture->SetPicture(
        LoadFormPicture(QStringLiteral("CheckInstanceIsRunning/") + AFile, ClassName(), AName));
    picture->hide();
    return picture;
}

TWizardImageButton* TfrmCheckInstanceIsRunning::MakeImageButton(const QString& AName, QPoint AAt,
                                                                int ATag, TSkinImage* ANor,
                                                                TSkinImage* AHov,
                                                                TSkinImage* ADown) {
    auto* button = new TWizardImageButton(this);
    button->setObjectName(AName);
    button->setGeometry(QRect(AAt, KImageButtonSize));
    SetControlTag(button, ATag);
    button->SetPicture(ANor->PictureBitmap());
    button->OnMouseEnter = [button, AHov] { button->SetPicture(AHov->PictureBitmap()); };
    button->OnMouseLeave = [button, ANor] { button->SetPicture(ANor->PictureBitmap()); };
    button->OnMouseDown = [button, ADown] { button->SetPicture(ADown->PictureBitmap()); };
    button->OnClick = [this, button] { btnPressClick(button); };
    button->raise();
    return button;
}

int TfrmCheckInstanceIsRunning::ModalShow() {
    SetContentText(QString());
    SetCaptionStr(QString());
    SetBoxType(53);
    PrepareBox();
    return TfrmBaseMsgBox::ModalShow();
}

void TfrmCheckInstanceIsRunning::btnPressClick(QObject* Sender) {
    if (ControlTag(Sender) == mrRetry &&
        CheckInstanceIsRunning(InstallerSettingsOrDefault().ProductExe))
        return;
    TfrmBaseMsgBox::btnPressClick(Sender);
}

} // namespace velmora
