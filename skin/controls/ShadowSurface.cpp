#include "skin/controls/ShadowSurface.h"

#include <QPainter>

namespace velmora {

TShadowSurface::TShadowSurface(QWindow* form) {
    // Placed and stacked by the shadow alone: a managed window would be placed by the window
    // manager and kept above its form as a transient; the window type keeps compositors from
    // treating it as a tooltip or menu of their own.
    setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
             Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus |
             Qt::NoDropShadowWindowHint);
    QSurfaceFormat format = this->format();
    format.setAlphaBufferSize(8);
    setFormat(format);
    // A window with a transient parent is a secondary one: closing the last form still ends
    // the program while the shadow is shown.
    setTransientParent(form);
}

void TShadowSurface::SetPicture(const QImage& picture, int alpha) {
    if (FPicture.cacheKey() == picture.cacheKey() && FAlpha == alpha)
        return;
    FPicture = picture;
    FAlpha = alpha;
    update();
}

void TShadowSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(QRect(QPoint(0, 0), size()), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setOpacity(FAlpha / 255.0);
    // The picture carries its device pixel ratio, so it lands pixel for pixel.
    painter.drawImage(QPoint(0, 0), FPicture);
}

} // namespace velmora
