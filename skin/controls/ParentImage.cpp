#include "skin/controls/ParentImage.h"

#include "platform/graphics/GPGraphics.h"
#include "skin/controls/SkinControl.h"
#include "skin/drawing/SkinEngineLog.h"

#include <QPainter>
#include <QWidget>

namespace velmora {

namespace {

// Replaces the pixels of ATarget from (ALeft, ATop) to its edges with the pixels of source
// taken from the same place of ASelf in its parent; parts outside the source stay as they
// were, so a source smaller than expected is never read past its end.
void CopyBehind(QWidget* ASelf, const QImage& source, QImage& ATarget, int ALeft, int ATop) {
    const QRect wanted(ASelf->x() + ALeft, ASelf->y() + ATop, ASelf->width() - ALeft,
                       ASelf->height() - ATop);
    const QRect available = wanted & LogicalRect(source);
    if (available.isEmpty())
        return;
    const QPoint to = available.topLeft() - QPoint(ASelf->x(), ASelf->y());
    TGPGraphics graphics(ATarget);
    graphics.CopyRect(source, available, to);
}

bool CoversSelf(const QImage* image, const QWidget* ASelf) {
    if (image == nullptr || image->isNull())
        return false;
    const QSize logical = LogicalSize(*image);
    return logical.width() >= ASelf->width() && logical.height() >= ASelf->height();
}

} // namespace

qreal SurfaceRatioOf(const QWidget& AWidget) {
    return SurfaceRatio(AWidget.devicePixelRatio());
}

void DrawParentImage(QWidget* ASelf, QImage& ATarget, int ALeft, int ATop) {
    QWidget* parent = ASelf != nullptr ? ASelf->parentWidget() : nullptr;
    if (parent == nullptr)
        return;
    if (auto* form = dynamic_cast<TSkinFormSurface*>(parent)) {
        if (const QImage* buffer = form->FormBufferImage(); CoversSelf(buffer, ASelf))
            CopyBehind(ASelf, *buffer, ATarget, ALeft, ATop);
        else if (const QImage* background = form->BackGroundBufferImage())
            CopyBehind(ASelf, *background, ATarget, ALeft, ATop);
        return;
    }
    if (auto* control = dynamic_cast<TSkinCustomControl*>(parent)) {
        if (CoversSelf(&control->BufferBitmap(), ASelf)) {
            CopyBehind(ASelf, control->BufferBitmap(), ATarget, ALeft, ATop);
            return;
        }
        control->PaintParentImageToBuffer();
        if (const QImage* behind = control->ParentImageBufferBitmap())
            CopyBehind(ASelf, *behind, ATarget, ALeft, ATop);
        return;
    }
    DrawParentImageDefault(ASelf, ATarget, ALeft, ATop);
}

void DrawParentImage(QWidget* ASelf, const IGPBitmap& ABitmap, int ALeft, int ATop) {
    if (ASelf == nullptr || ASelf->parentWidget() == nullptr || !ABitmap)
        return;
    DrawParentImage(ASelf, ABitmap->Image(), ALeft, ATop);
}

void DrawParentImageDefault(QWidget* ASelf, QImage& ATarget, int ALeft, int ATop) {
    QWidget* parent = ASelf != nullptr ? ASelf->parentWidget() : nullptr;
    if (parent == nullptr)
        return;
    try {
        const QRect source(ASelf->x() + ALeft, ASelf->y() + ATop, ASelf->width() - ALeft,
                           ASelf->height() - ATop);
        const QRect clipped = source & parent->rect();
        if (clipped.isEmpty())
            return;
        // The parent alone, with its background, as its erase and client paint would draw it;
        // its children (this control among them) are left out.
        parent->render(&ATarget, clipped.topLeft() - QPoint(ASelf->x(), ASelf->y()),
                       QRegion(clipped), QWidget::DrawWindowBackground);
    } catch (const std::exception& error) {
        const QString name = parent->objectName();
        LogSkinFailure(QStringLiteral("TSkinHelper"), &name, &error,
                       QStringLiteral("DrawParentImageDefault"));
    }
}

namespace {

bool IsWindowedChild(QWidget* child) {
    return !child->isWindow() && child->isVisible() &&
           dynamic_cast<TFormDrawSkinCustomControl*>(child) == nullptr;
}

template <typename Visit> void WalkChildren(QWidget* AParent, const Visit& visit) {
    if (AParent == nullptr)
        return;
    for (QObject* object : AParent->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child == nullptr || !IsWindowedChild(child))
            continue;
        visit(child);
        WalkChildren(child, visit);
    }
}

} // namespace

void RePaintParentImageAll(QWidget* AParent) {
    WalkChildren(AParent, [](QWidget* child) {
        if (auto* control = dynamic_cast<TSkinCustomControl*>(child))
            control->RepaintParentImage();
        else
            child->update();
    });
}

void RePaintParentImageImmediatelyAll(QWidget* AParent) {
    WalkChildren(AParent, [](QWidget* child) {
        if (auto* control = dynamic_cast<TSkinCustomControl*>(child))
            control->RepaintParentImageImmediately();
        else
            child->repaint();
    });
}

} // namespace velmora
