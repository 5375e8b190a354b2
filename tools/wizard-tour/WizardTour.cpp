#include "tools/wizard-tour/WizardTour.h"

#include "installer/wizard/InstallerMain.h"
#include "installer/wizard/SetupStartUp.h"
#include "installer/wizard/frmAgreement.h"
#include "installer/wizard/frmBaseMsgBox.h"
#include "installer/wizard/frmCancelInstall.h"
#include "installer/wizard/frmCheckInstallerIsRunning.h"
#include "installer/wizard/frmCheckInstanceIsRunning.h"
#include "platform/graphics/ModalDisplay.h"
#include "platform/system/PlatformServices.h"
#include "skin/widgets/SkinCheckBox.h"
#include "skin/widgets/SkinLabel.h"
#include "tools/wizard-tour/TourLauncher.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTimer>

namespace velmora {

namespace {

void Settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// A left click in the middle of widget, with the mouse entering it first, as a hand would.
void Click(QWidget* widget) {
    const QPointF centre = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(centre);
    QEnterEvent enter(centre, centre, global);
    QApplication::sendEvent(widget, &enter);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
    Settle();
}

template <typename T> T* Find(QWidget& window, const char* name) {
    T* child = window.findChild<T*>(QLatin1String(name));
    if (child == nullptr)
        qFatal("wizard-tour: the window has no %s", name);
    return child;
}

} // namespace

TWizardTour::TWizardTour(QString stage) : FStage(std::move(stage)) {}

QString TWizardTour::InstallFolder() const {
    return FStage + QStringLiteral("/custom/Norvane");
}

void TWizardTour::Shoot(QWidget& window, const QString& name) {
    Settle();
    const QString file = FStage + QStringLiteral("/pictures/") + name + QStringLiteral(".png");
    window.grab().save(file);
    FPictures << file;
}

// The installing page is only on screen while the sequence runs: the picture is taken from
// inside its message pumping, once the progress bar has moved.
void TWizardTour::ShootInstalling(TfrmInstallerMain& window) {
    auto* timer = new QTimer(&window);
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, &window, [this, &window, timer] {
        const auto* bar = window.findChild<QProgressBar*>(QStringLiteral("pbProgress"));
        if (FInstallingShot || window.PageIndex() != 3 || bar->value() < bar->maximum() / 2)
            return;
        FInstallingShot = true;
        timer->stop();
        window.grab().save(FStage + QStringLiteral("/pictures/3-installing.png"));
    });
    timer->start();
}

void TWizardTour::ShootModal(QWidget& dialog, const QString& name,
                             const std::function<void()>& open) {
    bool shot = false;
    QElapsedTimer visible;
    // Checked from inside the dialog's own modal loop, which open does not leave until the
    // dialog closes. The picture waits for the window to be active (for a second at most):
    // its default button shows the focus only then, and a picture taken before or after that
    // depended on how fast the display server answered.
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, &dialog, [&] {
        if (!dialog.isVisible())
            return;
        if (!visible.isValid())
            visible.start();
        if (!dialog.isActiveWindow() && visible.elapsed() < 1000)
            return;
        watch.stop();
        // The focus the activation brought is painted before the picture is taken.
        QCoreApplication::processEvents();
        Shoot(dialog, name);
        shot = true;
        dialog.close();
    });
    watch.start();
    open();
    if (!shot)
        qFatal("wizard-tour: %s was never shown", qPrintable(name));
}

// What the start-up can show before the wizard window: a message box, and the dialogs for an
// installer or a product that is already running.
void TWizardTour::ShootDialogs() {
    TfrmBaseMsgBox box;
    // Yes, no and cancel (3), the question icon (0x20), the second button the default (0x100).
    ShootModal(box, QStringLiteral("dialog-msgbox-0x123"), [&box] {
        box.MessageBox(0, QStringLiteral("安装目录中已有文件。是否覆盖这些文件？"),
                       QStringLiteral("提示"), 0x123);
    });
    TfrmCheckInstallerIsRunning installer;
    ShootModal(installer, QStringLiteral("dialog-installer-running"),
               [&installer] { installer.ModalShow(); });
    TfrmCheckInstanceIsRunning product;
    ShootModal(product, QStringLiteral("dialog-product-running"),
               [&product] { product.ModalShow(); });
}

bool TWizardTour::Run() {
    QDir().mkpath(FStage + QStringLiteral("/pictures"));
    TPlatformServices services(TSystemRoots::Below(FStage + QStringLiteral("/root")), QString());
    TTourLauncher launcher;
    TInstallState state;
    TfrmInstallerMain window(services, launcher, state);
    window.OnShowInstallError = [](const QString& text, const QString&) {
        qWarning("wizard-tour: %s", qPrintable(text));
    };
    // The cancel question and the licence viewer as the start-up wires them, each pictured
    // and closed again, which answers "no" and leaves the window as it was.
    window.OnConfirmCancel = [this, &window] {
        TfrmCancelInstall question(&window);
        int answer = 0;
        ShootModal(question, QStringLiteral("dialog-cancel-question"),
                   [&] { answer = question.ModalShow(); });
        return answer == mrYes;
    };
    TfrmAgreement licence;
    window.OnShowAgreement = [this, &licence] {
        ShootModal(licence, QStringLiteral("dialog-licence"), [&] { licence.ModalShow(); });
    };
    ShootDialogs();
    SettleImageHeapAfterFirstPaint(window);
    window.show();
    while (window.Alpha() < 255)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);

    Shoot(window, QStringLiteral("0-notice"));
    window.CancelInstall();
    Click(Find<QWidget>(window, "imgOKButton"));
    Shoot(window, QStringLiteral("1-options"));
    Click(Find<TSkinLabel>(window, "lblAnnounce"));
    auto* agreement = Find<TSkinCheckBox>(window, "chkReadedAnnounce");
    Click(agreement);
    Shoot(window, QStringLiteral("1-options-agreement-off"));
    Click(agreement);
    Click(Find<TSkinLabel>(window, "lblOperator"));
    auto* path = Find<QLineEdit>(window, "edtInstallPath");
    path->setFocus();
    path->selectAll();
    path->insert(InstallFolder());
    Shoot(window, QStringLiteral("2-path"));

    ShootInstalling(window);
    Click(Find<QWidget>(window, "imgOkInstall"));
    if (FInstallingShot)
        FPictures << FStage + QStringLiteral("/pictures/3-installing.png");
    Click(Find<TSkinCheckBox>(window, "chkRunRightNow"));
    Click(Find<TSkinCheckBox>(window, "chkAccessWebgle"));
    Shoot(window, QStringLiteral("4-finished"));
    const bool finished = window.PageIndex() == 4 && window.InstallSuccess();
    Click(Find<QWidget>(window, "imgFinishedButton"));
    return finished && launcher.Started.isEmpty() && !window.isVisible();
}

} // namespace velmora
