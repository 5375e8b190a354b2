#pragma once

#include "skin/widgets/SkinImage.h"

#include <functional>

namespace velmora {

// A picture that acts as a button: it tells its form which look to show (hover when the
// pointer enters, normal when it leaves, pressed on a press) so the form can swap in the
// hover, normal and pressed pictures, and clicks like every skinned button: with the mouse,
// with Space or Return while it has the focus, and from assistive technology. A press dragged
// off shows the normal picture until the pointer comes back. Disabled, it takes no input and
// is drawn faded.
class TWizardImageButton : public TSkinImage {
public:
    explicit TWizardImageButton(QWidget* parent = nullptr);

    QString ClassName() const override { return QStringLiteral("TWizardImageButton"); }

    // The name its normal, hover and pressed pictures share (<Pictures>Nor, Hov, Down).
    QString Pictures;

    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseLeave;
    std::function<void()> OnMouseDown;

    // How much of the picture shows while the button is disabled.
    static constexpr qreal DisabledOpacity = 0.45;

    QAccessible::Role AccessibleRole() const override { return QAccessible::Button; }
    QString AccessibleText() const override { return accessibleName(); }

protected:
    void CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) override;
    void ButtonLookChanged() override;
    void changeEvent(QEvent* event) override;
    // Inside the picture's own border, where both rings show on the button's face.
    QRect FocusCueRect() const override { return rect().adjusted(3, 3, -3, -3); }
};

} // namespace velmora
