#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace velmora {

class TfrmInstallerMain;

// One walk through the main window: notice, options with the agreement off and on again,
// custom install, a typed path, the install, and the finished page with launching switched
// off; on the way, the dialogs the wizard can show (a message box of type 0x123, both
// running dialogs, the cancel question, the licence viewer). Each step's picture goes to the
// output folder; Pictures lists them in order.
class TWizardTour {
public:
    explicit TWizardTour(QString stage);

    // Runs the walk; false when the window did not reach the finished page.
    bool Run();
    const QStringList& Pictures() const { return FPictures; }
    QString InstallFolder() const;

private:
    void Shoot(QWidget& window, const QString& name);
    void ShootInstalling(TfrmInstallerMain& window);
    // Runs open, which shows dialog modally, pictures the dialog once it is on screen and
    // closes it; the dialog's result is whatever closing gives (no, cancel).
    void ShootModal(QWidget& dialog, const QString& name, const std::function<void()>& open);
    void ShootDialogs();

    QString FStage;
    QStringList FPictures;
    bool FInstallingShot = false;
};

} // namespace velmora
