#pragma once

#include "skin/widgets/SkinLists.h"
#include "tests/support/SkinTestSupport.h"
#include "tests/support/VirtualClock.h"

#include <QEvent>
#include <QImage>
#include <QWidget>
#include <map>
#include <memory>

namespace velmora::testing {

// Zone view tests: the embedded default skin, a virtual clock for the view's timers, a
// 300 x 200 view on a plain form, and a drawer that fills each zone with its own colour and
// counts how often each zone was drawn.
class ZoneViewTest : public SkinTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Count zones of 60 pixels at the top level.
    void AddZones(int count);
    void InstallDrawer();
    // The view painted as the screen would show it.
    QImage Paint();
    // A pixel of the view's own surface (the zones without what lies behind the view).
    QRgb Surface(const QPoint& at) const;
    void Mouse(QEvent::Type type, const QPoint& at, Qt::MouseButton button = Qt::LeftButton);
    void Click(const QPoint& at, Qt::MouseButton button = Qt::LeftButton);
    void Wheel(int angleDelta, const QPoint& at = QPoint(100, 100));
    void ShowActive();

    std::unique_ptr<TVirtualClock> Clock;
    std::unique_ptr<QWidget> Host;
    TSkinZoneView* View = nullptr;
    std::map<const TZone*, QRgb> Colour;
    std::map<const TZone*, int> Draws;
};

} // namespace velmora::testing
