#include "tests/desktop/DesktopInput.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

namespace velmora::testing {

namespace {

QString Number(int AValue) {
    return QString::number(AValue);
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
    MoveTo(AAt);
    QElapsedTimer clock;
    clock.start();
    Run({QStringLiteral("mousedown"), QStringLiteral("1")});
    const qint64 pressed = clock.elapsed();
    while (clock.elapsed() < pressed + AHoldMs)
        QThread::msleep(
            static_cast<unsigned long>(std::max<qint64>(1, pressed + AHoldMs - clock.elapsed())));
    const qint64 releasing = clock.elapsed();
    Run({QStringLiteral("mouseup"), QStringLiteral("1")});
    return THold{AHoldMs, releasing - pressed, clock.elapsed()};
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
    MoveTo(AFrom);
    Run({QStringLiteral("mousedown"), QStringLiteral("1")});
    QThread::msleep(150);
    constexpr int KSteps = 10;
    for (int step = 1; step <= KSteps; ++step) {
        MoveTo(AFrom + (ATo - AFrom) * step / KSteps);
        QThread::msleep(30);
    }
    QThread::msleep(150);
    Run({QStringLiteral("mouseup"), QStringLiteral("1")});
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
