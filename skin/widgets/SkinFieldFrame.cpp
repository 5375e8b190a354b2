#include "skin/widgets/SkinFieldFrame.h"

#include "skin/controls/ParentImage.h"

#include <QPainter>
#include <QWidget>

namespace velmora {

namespace {
// A 1-pixel outline along the inside of ARect.
void FrameRect(QPainter& APainter, const QRect& ARect, const QColor& AColour) {
    if (ARect.width() <= 0 || ARect.height() <= 0)
        return;
    APainter.fillRect(QRect(ARect.left(), ARect.top(), ARect.width(), 1), AColour);
    APainter.fillRect(QRect(ARect.left(), ARect.bottom(), ARect.width(), 1), AColour);
    APainter.fillRect(QRect(ARect.left(), ARect.top(), 1, ARect.height()), AColour);
    APainter.fillRect(QRect(ARect.right(), ARect.top(), 1, ARect.height()), AColour);
}
} // namespace

bool TSkinFieldFrame::SetMouseInControl(bool AValue) {
    if (FMouseInControl == AValue)
        return false;
    FMouseInControl = AValue;
    return true;
}

bool TSkinFieldFrame::SetInsideFrameColor(const QColor& AValue) {
    if (FInsideFrameColor == AValue)
        return false;
    FInsideFrameColor = AValue;
    return true;
}

bool TSkinFieldFrame::SetOuterFrameColor(const QColor& AValue) {
    if (FouterFrameColor == AValue)
        return false;
    FouterFrameColor = AValue;
    return true;
}

const QImage& TSkinFieldFrame::CaptureParent(QWidget& AField) {
    if (FParentBackGroundBitmap.size() != AField.size())
        FParentBackGroundBitmap = QImage(AField.size(), QImage::Format_ARGB32_Premultiplied);
    if (!FParentBackGroundBitmap.isNull()) {
        FParentBackGroundBitmap.fill(Qt::transparent);
        DrawParentImage(&AField, FParentBackGroundBitmap, 0, 0);
    }
    return FParentBackGroundBitmap;
}

void TSkinFieldFrame::RedrawBorder(QWidget& AField, QPainter& APainter, const QColor& AFieldColor,
                                   bool AColourRings) {
    QRect r = AField.rect();
    if (r.width() <= 0 || r.height() <= 0)
        return;
    APainter.save();
    APainter.setCompositionMode(QPainter::CompositionMode_Source);
    if (FMouseInControl) {
        FrameRect(APainter, r, FouterFrameColor);
    } else {
        // The outermost ring shows what lies behind the field, so it blends into the form.
        const QImage& behind = CaptureParent(AField);
        const int w = r.width(), h = r.height();
        APainter.drawImage(QPoint(0, 0), behind, QRect(0, 0, 1, h));
        APainter.drawImage(QPoint(w - 1, 0), behind, QRect(w - 1, 0, 1, h));
        APainter.drawImage(QPoint(0, 0), behind, QRect(0, 0, w, 1));
        APainter.drawImage(QPoint(0, h - 1), behind, QRect(0, h - 1, w, 1));
    }
    if (AColourRings) {
        r.adjust(1, 1, -1, -1);
        FrameRect(APainter, r, FInsideFrameColor);
        r.adjust(1, 1, -1, -1);
        FrameRect(APainter, r, AFieldColor);
        r.adjust(1, 1, -1, -1);
        FrameRect(APainter, r, AFieldColor);
    }
    APainter.restore();
}

} // namespace velmora
