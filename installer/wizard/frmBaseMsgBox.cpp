#include "installer/wizard/frmBaseMsgBox.h"

#include "installer/InstallerSettings.h"
#include "installer/wizard/ControlTag.h"
#include "installer/wizard/FormPicture.h"
#include "installer/wizard/MsgBoxLayout.h"
#include "platform/graphics/ModalDisplay.h"
#include "skin/widgets/SkinBtns.h"
#include "skin/widgets/SkinEdits.h"
#include "skin/widgets/SkinImages.h"
#include "skin/widgets/SkinPanels.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWindow>

namespace velmora {

namespace {

constexpr QSize KButtonSize(66, 21);
constexpr int KHintIconCount = 4;

// What a screen reader says for each hint icon, in image-list order.
QString HintIconDescription(int AIndex) {
    static const QString names[KHintIconCount] = {QStringLiteral("警告"), QStringLiteral("错误"),
                                                  QStringLiteral("信息"), QStringLiteral("询问")};
    return AIndex >= 0 && AIndex < KHintIconCount ? names[AIndex] : QString();
}

void CentreOnScreen(QWidget& AForm) {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        AForm.move(screen->availableGeometry().center() - AForm.rect().center());
}

} // namespace

TfrmBaseMsgBox::TfrmBaseMsgBox(QWidget* parent, const TMsgBoxDesign& ADesign)
    : TDefaultSkinForm(parent) {
    setObjectName(QStringLiteral("frmBaseMsgBox"));
    setWindowTitle(ADesign.Caption);
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    resize(ADesign.ClientSize);

    pnlMain = new TSkinPanel(this);
    pnlMain->setObjectName(QStringLiteral("pnlMain"));
    pnlMain->setGeometry(ADesign.PanelRect);

    imgHint = new TSkinImage(pnlMain);
    imgHint->setObjectName(QStringLiteral("imgHint"));
    imgHint->setGeometry(15, 14, 48, 48);

    lblText = new TSkinLabel(pnlMain);
    lblText->setObjectName(QStringLiteral("lblText"));
    lblText->move(75, 20);

    btnOK = MakeButton(QStringLiteral("确定"), mrOk);
    btnCancel = MakeButton(QStringLiteral("取消"), mrCancel);
    btnAbort = MakeButton(QStringLiteral("终止"), mrAbort);
    BtnRetry = MakeButton(QStringLiteral("重试"), mrRetry);
    btnIgnore = MakeButton(QStringLiteral("忽略"), mrIgnore);
    btnYes = MakeButton(QStringLiteral("是"), mrYes);
    btnNo = MakeButton(QStringLiteral("否"), mrNo);
    FButtons = {btnOK, btnCancel, btnAbort, BtnRetry, btnIgnore, btnYes, btnNo};

    // A missing icon keeps its slot, so the indexes of the others stay right.
    for (int i = 0; i < KHintIconCount; ++i) {
        TGPBitmap icon = LoadFormPicture(QStringLiteral("BaseMsgBox/Hint%1.png").arg(i),
                                         ClassName(), objectName());
        imglstHint.AddImage(icon.IsNull() ? IGPBitmap()
                                          : std::make_shared<TGPBitmap>(std::move(icon)));
    }
    CentreOnScreen(*this);
    FormCreate();
}

TfrmBaseMsgBox::~TfrmBaseMsgBox() = default;

TSkinButton* TfrmBaseMsgBox::MakeButton(const QString& ACaption, int ATag) {
    auto* button = new TSkinButton(pnlMain);
    button->resize(KButtonSize);
    button->move(ArrangedButtonPos(pnlMain->size(), KButtonSize, 1, 0));
    button->SetButtonStyle(QStringLiteral("0"));
    button->SetCaption(ACaption);
    button->SetIsDrawIconCaption(true);
    SetControlTag(button, ATag);
    button->hide();
    button->OnClick = [this, button] { btnPressClick(button); };
    return button;
}

void TfrmBaseMsgBox::FormCreate() {
    const TInstallerSettings& settings = InstallerSettingsOrDefault();
    setWindowTitle(settings.ProductName + settings.Version + QStringLiteral(" 安装向导"));
    FUsedBtnList.clear();
}

void TfrmBaseMsgBox::SetCaptionStr(const QString& Value) {
    FCaptionStr = Value;
    if (windowTitle() == Value)
        return;
    setWindowTitle(Value);
    update();
}

void TfrmBaseMsgBox::SetContentText(const QString& Value) {
    FContentText = Value;
    if (lblText->Caption() == Value)
        return;
    lblText->SetCaption(Value);
}

void TfrmBaseMsgBox::SetBoxType(int Value) {
    // A new type starts a new box: nothing of an earlier type may linger. The texts already
    // on screen stay; only the stored copies go.
    FDefaultBtnIndex = 0;
    FContentText.clear();
    FCaptionStr.clear();
    FType = 0;
    FReturnValue = 0;
    FHintIconType = 0;
    FHintIconIndex = -1;
    FUsedBtnList.clear();

    FButtonType = Value & MsgBoxButtonMask;
    for (const int tag : MsgBoxButtonTags(FButtonType))
        FUsedBtnList.push_back(ButtonOfTag(tag));

    FDefautBtnType = Value & MsgBoxDefaultMask;
    FDefaultBtnIndex = MsgBoxDefaultBtnIndex(FDefautBtnType);

    FHintIconType = Value & MsgBoxIconMask;
    FHintIconIndex = MsgBoxHintIconIndex(FHintIconType);
}

TSkinButton* TfrmBaseMsgBox::ButtonOfTag(int ATag) const {
    for (TSkinButton* button : FButtons)
        if (ControlTag(button) == ATag)
            return button;
    return nullptr;
}

void TfrmBaseMsgBox::ArrangeButtons() {
    for (TSkinButton* button : FButtons)
        button->hide();
    const int count = static_cast<int>(FUsedBtnList.size());
    for (int i = 0; i < count; ++i) {
        TSkinButton* button = FUsedBtnList[static_cast<size_t>(i)];
        button->move(ArrangedButtonPos(pnlMain->size(), button->size(), count, i));
        button->show();
    }
}

void TfrmBaseMsgBox::ShowHintIcon() {
    if (FHintIconIndex == -1)
        return;
    const IGPBitmap icon = imglstHint.GetImage(FHintIconIndex);
    if (icon)
        imgHint->SetPicture(*icon);
    else
        imgHint->SetPicture(QImage());
    imgHint->setAccessibleDescription(HintIconDescription(FHintIconIndex));
}

void TfrmBaseMsgBox::FitToText() {
    const int lastButtonTop = FUsedBtnList.empty() ? pnlMain->height() : FUsedBtnList.back()->y();
    const QSize fitted = FittedBoxSize(size(), lblText->geometry(), lastButtonTop);
    // The panel grows with the box and the buttons keep their place at its bottom right, so
    // the row really ends up below the text the box grew for.
    pnlMain->SetSkinAnchors(akLeft | akTop | akRight | akBottom);
    for (TSkinButton* button : FButtons)
        button->SetSkinAnchors(akRight | akBottom);
    setFixedSize(fitted);
}

void TfrmBaseMsgBox::FitButtonsToCaptions() {
    for (TSkinButton* button : FButtons)
        button->resize(button->sizeHint().expandedTo(KButtonSize));
}

void TfrmBaseMsgBox::PrepareBox() {
    // The skin font follows the desktop's title font (up to 12 points); the buttons grow with
    // it rather than cut their captions.
    FitButtonsToCaptions();
    ArrangeButtons();
    ShowHintIcon();
    FitToText();
}

int TfrmBaseMsgBox::MessageBox(WId AhWnd, const QString& AText, const QString& ACaption,
                               int AType) {
    SetFatherHWND(AhWnd);
    SetContentText(AText);
    SetCaptionStr(ACaption);
    SetBoxType(AType);
    PrepareBox();
    return ShowBoxModal();
}

int TfrmBaseMsgBox::ModalShow() {
    return ShowBoxModal();
}

int TfrmBaseMsgBox::ShowBoxModal() {
    FInUsed = true;
    // The owner the caller named keeps the box above it: window managers stack a transient
    // window over its parent and leave it out of the task bar.
    if (QWidget* owner = FHWND != 0 ? QWidget::find(FHWND) : nullptr) {
        winId();
        if (QWindow* parent = owner->window()->windowHandle(); parent != nullptr && windowHandle())
            windowHandle()->setTransientParent(parent);
    }
    ShowModal(this);
    return FReturnValue;
}

void TfrmBaseMsgBox::btnPressClick(QObject* Sender) {
    FReturnValue = qobject_cast<QWidget*>(Sender) != nullptr ? ControlTag(Sender) : 0;
    close();
}

namespace {
// The box's shown, enabled controls that answer it (buttons and picture buttons with a tag).
// The skinned controls carry no meta-object of their own, so a C++ cast tells them apart.
std::vector<TSkinCustomControl*> Answers(const QWidget& ABox) {
    std::vector<TSkinCustomControl*> answers;
    for (QWidget* widget : ABox.findChildren<QWidget*>()) {
        auto* control = dynamic_cast<TSkinCustomControl*>(widget);
        if (control != nullptr && control->ControlAction() == TControlAction::Press &&
            ControlTag(control) != 0 && control->isVisibleTo(&ABox) && control->isEnabled())
            answers.push_back(control);
    }
    return answers;
}
} // namespace

QWidget* TfrmBaseMsgBox::ShownControlOfTag(int ATag) const {
    for (TSkinCustomControl* control : Answers(*this))
        if (ControlTag(control) == ATag)
            return control;
    return nullptr;
}

void TfrmBaseMsgBox::showEvent(QShowEvent* event) {
    TDefaultSkinForm::showEvent(event);
    std::vector<TSkinButton*> shown;
    for (TSkinButton* button : FUsedBtnList)
        if (button != nullptr && button->isVisibleTo(this))
            shown.push_back(button);
    if (shown.empty())
        return;
    const size_t index = std::min(shown.size() - 1, size_t(std::max(0, FDefaultBtnIndex)));
    shown[index]->setFocus(Qt::OtherFocusReason);
}

void TfrmBaseMsgBox::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier) {
        auto* answer = [&]() -> TSkinCustomControl* {
            switch (event->key()) {
            case Qt::Key_Escape: {
                if (QWidget* cancel = ShownControlOfTag(mrCancel))
                    return dynamic_cast<TSkinCustomControl*>(cancel);
                // A box with one answer is a notice: Escape dismisses it with that answer. A
                // yes-or-no question has no cancel choice and needs an answer.
                const std::vector<TSkinCustomControl*> answers = Answers(*this);
                return answers.size() == 1 ? answers.front() : nullptr;
            }
            case Qt::Key_Return:
            case Qt::Key_Enter:
                return dynamic_cast<TSkinCustomControl*>(focusWidget());
            default:
                return nullptr;
            }
        }();
        if (answer != nullptr && answer->ControlAction() == TControlAction::Press) {
            answer->Activate();
            return;
        }
    }
    TDefaultSkinForm::keyPressEvent(event);
}

void TfrmBaseMsgBox::closeEvent(QCloseEvent* event) {
    TDefaultSkinForm::closeEvent(event);
    if (event->isAccepted())
        FInUsed = false;
}

} // namespace velmora
