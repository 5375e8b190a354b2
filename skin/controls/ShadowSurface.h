#pragma once

#include <QImage>
#include <QRasterWindow>

namespace velmora {

// The window that shows a form's shadow where the desktop composes translucent windows: a
// plain window-system surface, not a widget, so it is no accessible object (it has no
// accessible root) and never counts as a window of the program's own. It takes no input and
// no focus, and no window manager manages it, so it is never a task bar or pager entry and
// never placed or raised by anyone but the shadow itself.
class TShadowSurface : public QRasterWindow {
public:
    explicit TShadowSurface(QWindow* form);

    // The picture (its alpha shapes the shadow) and the constant alpha of the fade, 0-255.
    void SetPicture(const QImage& picture, int alpha);
    const QImage& Picture() const { return FPicture; }
    int Alpha() const { return FAlpha; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage FPicture;
    int FAlpha = 0;
};

} // namespace velmora
