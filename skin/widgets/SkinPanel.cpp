#include "skin/widgets/SkinPanel.h"

#include "skin/controls/ParentImage.h"
#include "skin/drawing/GDIIMGADV.h"
#include "skin/drawing/GdiSkinHelper.h"

#include <QLayout>
#include <QMouseEvent>

namespace velmora {

TSkinPanel::TSkinPanel(QWidget* parent)
    : TSkinCustomControl(parent), FBitmapElement(std::make_unique<TGDIIMGADV>()) {
    EnsureSkinWidgetClassRegistered();
}

TSkinPanel::~TSkinPanel() = default;

void TSkinPanel::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    // Re-align the children: the layout, when there is one, lays them out again.
    if (layout() != nullptr)
        layout()->invalidate();
    RepaintSelfImage();
}

void TSkinPanel::SetBitmap(const IGPBitmap& Value) {
    if (FBitmap == Value)
        return;
    FBitmap = Value;
    TSkinHelper::InitGdiImgAdv(FBitmapElement.get(), FBitmap, 8, 8);
}

void TSkinPanel::CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) {
    TSkinCustomControl::CustomPaint(Graphics, ADrawRect);
    if (!FBitmap)
        return;
    GuardedStep(*this, QStringLiteral("CustomPaint"),
                [&] { TSkinHelper::DrawButtonFrame(Graphics, FBitmapElement.get(), ADrawRect); });
}

void TSkinPanel::moveEvent(QMoveEvent* event) {
    TSkinCustomControl::moveEvent(event);
    if (FRedrawAllChildren)
        RePaintParentImageAll(this);
}

void TSkinPanel::showEvent(QShowEvent* event) {
    TSkinCustomControl::showEvent(event);
    if (FRedrawAllChildren)
        RePaintParentImageAll(this);
}

void TSkinPanel::hideEvent(QHideEvent* event) {
    TSkinCustomControl::hideEvent(event);
    if (FRedrawAllChildren)
        RePaintParentImageAll(this);
}

} // namespace velmora
