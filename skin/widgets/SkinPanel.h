#pragma once

#include "skin/controls/SkinControl.h"
#include "skin/widgets/SkinWidgetSupport.h"

#include <functional>
#include <memory>

namespace velmora {

class TGDIIMGADV;

enum TAlignment : int { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

// A transparent container: every wizard page and dialog body is one. It draws
// only its optional nine-slice background; Caption and Alignment are stored, never painted.
class TSkinPanel : public TSkinCustomControl, public ISkinAccessible {
public:
    explicit TSkinPanel(QWidget* parent = nullptr);
    ~TSkinPanel() override;

    QString ClassName() const override { return QStringLiteral("TSkinPanel"); }

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& Value) { FCaption = Value; }
    const IGPBitmap& Bitmap() const { return FBitmap; }
    // Holds a new bitmap and prepares its element (margins 8, stretched both ways); no repaint.
    void SetBitmap(const IGPBitmap& Value);
    TGDIIMGADV* BitmapElement() const { return FBitmapElement.get(); }
    bool RedrawAllChildren() const { return FRedrawAllChildren; }
    void SetRedrawAllChildren(bool Value) { FRedrawAllChildren = Value; }

    QAccessible::Role AccessibleRole() const override { return QAccessible::Pane; }
    QString AccessibleText() const override { return FCaption; }

protected:
    void CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    TAlignment FAlignment = taCenter;
    IGPBitmap FBitmap;
    std::unique_ptr<TGDIIMGADV> FBitmapElement;
    bool FRedrawAllChildren = false;
    QString FCaption;
};

} // namespace velmora
