#include "tests/desktop/DesktopInput.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>

namespace velmora::testing {

namespace {

QString Number(int AValue) {
    return QString::number(AValue);
}

QString Seconds(int AMilliseconds) {
    return QString::number(AMilliseconds / 1000.0, 'f', 3);
}

} // namespace

QString RunXdotool(const QString& ADisplay, const QStringList& AArguments) {
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), ADisplay);
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral("xdotool"), AArguments);
    // xdotool closes its display before it exits, which waits until the server has done
    // everything it asked: once it has ended, its events have happened.
    tool.waitForFinished(10000);
    return QString::fromUtf8(tool.readAllStandardOutput());
}

void TDesktopInput::MoveTo(QPoint AAt) const {
    Run({QStringLiteral("mousemove"), Number(AAt.x()), Number(AAt.y())});
}

TDesktopInput::THold TDesktopInput::Press(QPoint AAt, int AHoldMs) const {
    // One xdotool run: it flushes the press to the server before it sleeps, so the server
    // sees the button down for the sleep and the time the release takes to be sent, and no
    // process start lies between them.
    QElapsedTimer clock;
    clock.start();
    Run({QStringLiteral("mousemove"), Number(AAt.x()), Number(AAt.y()), QStringLiteral("mousedown"),
         QStringLiteral("1"), QStringLiteral("sleep"), Seconds(AHoldMs), QStringLiteral("mouseup"),
         QStringLiteral("1")});
    return THold{AHoldMs, AHoldMs, clock.elapsed()};
}

void TDesktopInput::Click(QPoint AAt) const {
    Run({QStringLiteral("mousemove"), Number(AAt.x()), Number(AAt.y()), QStringLiteral("click"),
         QStringLiteral("1")});
}

void TDesktopInput::DoubleClick(QPoint AAt) const {
    Run({QStringLiteral("mousemove"), Number(AAt.x()), Number(AAt.y()), QStringLiteral("click"),
         QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("--delay"),
         QStringLiteral("80"), QStringLiteral("1")});
}

void TDesktopInput::Drag(QPoint AFrom, QPoint ATo) const {
    QStringList steps{QStringLiteral("mousemove"),
                      Number(AFrom.x()),
                      Number(AFrom.y()),
                      QStringLiteral("mousedown"),
                      QStringLiteral("1"),
                      QStringLiteral("sleep"),
                      Seconds(150)};
    constexpr int KSteps = 10;
    for (int step = 1; step <= KSteps; ++step) {
        const QPoint at = AFrom + (ATo - AFrom) * step / KSteps;
        steps << QStringLiteral("mousemove") << Number(at.x()) << Number(at.y())
              << QStringLiteral("sleep") << Seconds(30);
    }
    steps << QStringLiteral("sleep") << Seconds(150) << QStringLiteral("mouseup")
          << QStringLiteral("1");
    Run(steps);
}

void TDesktopInput::Keys(const QStringList& AKeys) const {
    Run(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")} +
        AKeys);
}

void TDesktopInput::Type(const QString& AText) const {
    Run({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), AText});
}

void TDesktopInput::Park(QSize AScreen) const {
    MoveTo(QPoint(AScreen.width() - 1, AScreen.height() - 1));
}

} // namespace velmora::testing
