#pragma once

#include "skin/widgets/SkinImage.h"

#include <functional>

namespace velmora {

// A picture that acts as a button: it reports the mouse entering, leaving and pressing so
// that its form can swap in the hover, normal and pressed pictures, and clicks like any image
// box. Disabled, it takes no mouse input at all and is drawn faded.
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

protected:
    void CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
};

} // namespace velmora
