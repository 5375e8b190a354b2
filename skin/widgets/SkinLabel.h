#pragma once

#include "skin/controls/SkinControl.h"
#include "skin/widgets/SkinWidgetSupport.h"

#include <functional>
#include <memory>

namespace velmora {

class TGDIText;

// One caption drawn through a text element. With AutoSize (the default) the label
// sizes itself to its text plus one ideographic space, wrapping to the width its parent
// leaves (parent width - left - 20).
class TSkinLabel : public TSkinCustomControl, public ISkinAccessible {
public:
    explicit TSkinLabel(QWidget* parent = nullptr);
    ~TSkinLabel() override;

    QString ClassName() const override { return QStringLiteral("TSkinLabel"); }

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    TGDIText* CaptionText() const { return FCaptionText.get(); }
    int LastParentWidth() const { return FLastParentWidth; }
    int LastParentHeight() const { return FLastParentHeight; }

    // Static text unless told otherwise (a heading); a label that acts as a link
    // (TControlAction::Jump) is a link.
    void SetAccessibleRole(QAccessible::Role Value) { FAccessibleRole = Value; }
    QAccessible::Role AccessibleRole() const override;
    QString AccessibleText() const override { return FCaption; }

protected:
    void CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) override;
    void AppendPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) override;
    void Loaded() override;
    void ChangeSkinBackGroundItem(TBaseSkinItem* AItem) override;
    void changeEvent(QEvent* event) override;

private:
    // The auto-size algorithm; runs only while AutoSize is true.
    void AdjustSize();
    void FontChanged();

    std::unique_ptr<TGDIText> FCaptionText;
    bool FAutoSize = true;
    int FLastParentWidth = 0;
    int FLastParentHeight = 0;
    QString FCaption;
    QAccessible::Role FAccessibleRole = QAccessible::StaticText;
};

} // namespace velmora
