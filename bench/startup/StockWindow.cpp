// The peer of the start-up benchmark: a stock Qt program that shows the wizard's window built
// from stock widgets (bench/support/StockWizardWindow.h), with the wizard's own pictures
// decoded by Qt. It does what a plain Qt installer would do before its first window and no
// more: make the application, build the window, show it, run the loop.
#include "bench/support/StockWizardWindow.h"

#include <QApplication>

namespace velmora {
int WizardResourceAnchor();
}

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    velmora::WizardResourceAnchor();
    const auto window = velmora::MakeStockWizardWindow([](const QString& name) {
        return QImage(QStringLiteral(":/forms/TfrmInstallerMain/%1.png").arg(name));
    });
    window->show();
    return application.exec();
}
