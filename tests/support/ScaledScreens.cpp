#include "tests/support/ScaledScreens.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <cmath>

namespace velmora::testing {

namespace {

constexpr int KScreenWidth = 1024;
constexpr int KScreenHeight = 768;
constexpr qreal KRatios[] = {1, 1.5, 2};

} // namespace

bool UseScaledScreens() {
    static QTemporaryDir folder;
    if (!folder.isValid())
        return false;
    QByteArray screens;
    int left = 0;
    for (const qreal ratio : KRatios) {
        if (!screens.isEmpty())
            screens += ',';
        screens += QStringLiteral(R"({"name": "ratio-%1", "x": %2, "y": 0, "width": %3,)"
                                  R"( "height": %4, "logicalDpi": 96, "dpr": %1})")
                       .arg(ratio)
                       .arg(left)
                       .arg(KScreenWidth)
                       .arg(KScreenHeight)
                       .toUtf8();
        left += KScreenWidth;
    }
    const QString path = folder.filePath(QStringLiteral("screens.json"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("{\"screens\": [" + screens + "]}");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(path));
    qunsetenv("QT_SCALE_FACTOR");
    return true;
}

QScreen* ScreenOfRatio(qreal ratio) {
    for (QScreen* screen : QGuiApplication::screens())
        if (std::abs(screen->devicePixelRatio() - ratio) < 1e-6 &&
            screen->name().startsWith(QLatin1String("ratio-")))
            return screen;
    return nullptr;
}

bool MoveToScreen(QWidget& window, qreal ratio) {
    QScreen* screen = ScreenOfRatio(ratio);
    QWindow* handle = window.windowHandle();
    if (screen == nullptr || handle == nullptr)
        return false;
    const QPoint inside = screen->geometry().topLeft() + QPoint(40, 40);
    handle->setScreen(screen);
    window.move(inside);
    QCoreApplication::processEvents();
    return QTest::qWaitForWindowExposed(&window) &&
           std::abs(window.devicePixelRatio() - ratio) < 1e-6;
}

} // namespace velmora::testing
