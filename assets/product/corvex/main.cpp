// The demo release's product program: a small window that tells which product and
// version is installed and from where, so an install can be checked by eye.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Velmora 3.0"));
    auto* layout = new QVBoxLayout(&window);
    auto* title = new QLabel(QStringLiteral("Velmora 3.0"));
    QFont big = title->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    title->setFont(big);
    layout->addWidget(title);
    layout->addWidget(new QLabel(u"已安装于: "_qs +
                                 QDir::toNativeSeparators(QCoreApplication::applicationDirPath())));
    layout->addWidget(new QLabel(QStringLiteral("Norvane Technology Co., Ltd.")));
    window.resize(420, 160);
    window.show();
    return app.exec();
}
