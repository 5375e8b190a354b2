#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace velmora {

class TfrmInstallerMain;

// One walk through the main window: notice, options with the agreement off and on again,
// custom install, a typed path, the install, and the finished page with launching switched
// off. Each step's picture goes to the output folder; Pictures lists them in order.
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

    QString FStage;
    QStringList FPictures;
    bool FInstallingShot = false;
};

} // namespace velmora
