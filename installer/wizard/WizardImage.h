#pragma once

#include "skin/widgets/SkinImage.h"

#include <functional>

namespace velmora {

// A picture control that tells its form when the mouse enters, leaves or presses it: the
// wizard's image buttons swap their pictures on those events.
class TWizardImage : public TSkinImage {
public:
    using TSkinImage::TSkinImage;

    QString ClassName() const override { return QStringLiteral("TWizardImage"); }

    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseLeave;
    std::function<void()> OnMouseDown;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace velmora
