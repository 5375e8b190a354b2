#pragma once

#include <QScrollArea>

namespace velmora {

// The licence viewer's scroll box: scrolls vertically with the wheel, the arrow and page
// keys, and Home and End.
class TLicenceScrollBox : public QScrollArea {
public:
    explicit TLicenceScrollBox(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace velmora
