#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

namespace velmora::testing {

// xdotool on ADisplay; its standard output.
QString RunXdotool(const QString& ADisplay, const QStringList& AArguments);

// Real input through the X server's XTEST extension, as a user's hands give it: the events
// carry no synthetic mark, and on weston's X11 backend they become Wayland input.
class TDesktopInput {
public:
    explicit TDesktopInput(QString ADisplay) : FDisplay(std::move(ADisplay)) {}

    // How long a press was held: the release reached the server at least AtLeastMs and at
    // most AtMostMs after the press.
    struct THold {
        int RequestedMs = 0;
        qint64 AtLeastMs = 0;
        qint64 AtMostMs = 0;
    };

    void MoveTo(QPoint AAt) const;
    // Moves to AAt, presses the left button, holds it for AHoldMs, releases it there.
    THold Press(QPoint AAt, int AHoldMs) const;
    void Click(QPoint AAt) const;
    void DoubleClick(QPoint AAt) const;
    // Presses at AFrom, moves to ATo in small steps as a hand does, releases there.
    void Drag(QPoint AFrom, QPoint ATo) const;
    // Key strokes by xdotool names ("Tab", "shift+Tab", "space", "Return"), one after the
    // other, to the window that has the keyboard focus.
    void Keys(const QStringList& AKeys) const;
    void Type(const QString& AText) const;
    // Puts the pointer in the screen's far corner, where it hovers over nothing.
    void Park(QSize AScreen) const;

private:
    QString Run(const QStringList& AArguments) const { return RunXdotool(FDisplay, AArguments); }

    QString FDisplay;
};

} // namespace velmora::testing
