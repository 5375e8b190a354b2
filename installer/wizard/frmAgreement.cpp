#include "installer/wizard/frmAgreement.h"

#include "installer/wizard/FormPicture.h"
#include "installer/wizard/LicencePicture.h"
#include "installer/wizard/LicenceScrollBox.h"
#include "platform/graphics/ModalDisplay.h"

#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>

namespace velmora {

namespace {

constexpr int KScrollBoxHeight = 339;
TfrmAgreement* GAgreementForm = nullptr;

// The licence's words, laid out from the same file as the picture, for screen readers.
QString LicenceText() {
    QFile file(QStringLiteral(":/forms/Agreement/Licence.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    static const QRegularExpression headingMarks(QStringLiteral("^#+ "),
                                                 QRegularExpression::MultilineOption);
    return QString::fromUtf8(file.readAll()).remove(headingMarks);
}

} // namespace

TfrmAgreement::TfrmAgreement(QWidget* parent) : TDefaultSkinForm(parent) {
    setObjectName(QStringLiteral("frmAgreement"));
    setWindowTitle(QString());
    // No title on the window; a screen reader still says what it shows.
    setAccessibleName(QStringLiteral("许可协议"));
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    resize(562, 371);

    scrlbx1 = new TLicenceScrollBox(this);
    scrlbx1->setObjectName(QStringLiteral("scrlbx1"));
    scrlbx1->verticalScrollBar()->setAccessibleName(QStringLiteral("许可协议滚动条"));
    imgAgreement = new TLicencePicture;
    imgAgreement->setObjectName(QStringLiteral("imgAgreement"));
    imgAgreement->setStyleSheet(QStringLiteral("background: white"));
    // Laid out once at build time and rendered at 1x, 1.5x and 2x with the same line breaks,
    // so the viewer scrolls the same logical picture on every screen. Decoded when the viewer
    // is first shown: at start-up only its size is needed.
    const QString licence = QStringLiteral("Agreement/Licence.png");
    imgAgreement->SetPictureSource(FormPictureSize(licence),
                                   [licence, form = ClassName(), name = objectName()] {
                                       return LoadFormPicture(licence, form, name);
                                   });
    imgAgreement->SetWords(LicenceText());
    scrlbx1->setWidget(imgAgreement);
    scrlbx1->setAutoFillBackground(true);
    PlaceScrollBox();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TfrmAgreement::~TfrmAgreement() {
    if (GAgreementForm == this)
        GAgreementForm = nullptr;
}

void TfrmAgreement::PlaceScrollBox() {
    scrlbx1->setGeometry(0, height() - KScrollBoxHeight, width(), KScrollBoxHeight);
}

void TfrmAgreement::resizeEvent(QResizeEvent* event) {
    TDefaultSkinForm::resizeEvent(event);
    // Aligned to the bottom: it keeps its height and follows the form's bottom edge.
    if (scrlbx1 != nullptr)
        PlaceScrollBox();
}

void TfrmAgreement::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    TDefaultSkinForm::keyPressEvent(event);
}

int TfrmAgreement::ModalShow() {
    scrlbx1->verticalScrollBar()->setValue(0);
    scrlbx1->setFocus();
    return ShowModal(this);
}

TfrmAgreement* AgreementForm() {
    return GAgreementForm;
}

void SetAgreementForm(TfrmAgreement* AForm) {
    GAgreementForm = AForm;
}

} // namespace velmora
