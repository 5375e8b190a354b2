#include "tests/skin/widgets/ZoneViewFixture.h"

#include "skin/data/SkinMng.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

namespace velmora {
int SkinResourceAnchor();
}

namespace velmora::testing {

void ZoneViewTest::SetUp() {
    SkinTest::SetUp();
    SkinResourceAnchor();
    if (!SkinMng().Loaded()) {
        SkinMng().SetIsPrepareBuildBackGndImage(false);
        ASSERT_TRUE(SkinMng().ChangeSkinRes(QStringLiteral("SKIN"), false));
    }
    Clock = std::make_unique<TVirtualClock>();
    Host = std::make_unique<QWidget>();
    Host->resize(320, 240);
    View = new TSkinZoneView(Host.get());
    View->setGeometry(0, 0, 300, 200);
}

void ZoneViewTest::TearDown() {
    Host.reset();
    Clock.reset();
}

void ZoneViewTest::AddZones(int count) {
    for (int i = 0; i < count; ++i)
        View->Zones().Add()->SetZoneName(QStringLiteral("Zone %1").arg(i));
}

void ZoneViewTest::InstallDrawer() {
    View->OnDrawZone = [this](TSkinZoneView*, TGPGraphics& g, TZone* zone, const TRect& r) {
        ++Draws[zone];
        const auto colour = Colour.find(zone);
        g.FillRectangle(colour != Colour.end() ? colour->second : 0xFF808080,
                        QRectF(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top));
    };
}

QImage ZoneViewTest::Paint() {
    return View->grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

QRgb ZoneViewTest::Surface(const QPoint& at) const {
    return View->SelfBufferGPBitmap()->GetPixel(at.x(), at.y());
}

void ZoneViewTest::Mouse(QEvent::Type type, const QPoint& at, Qt::MouseButton button) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton
                                  : type == QEvent::MouseMove        ? Qt::MouseButtons()
                                                                     : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), View->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(View, &event);
}

void ZoneViewTest::Click(const QPoint& at, Qt::MouseButton button) {
    Mouse(QEvent::MouseButtonPress, at, button);
    Mouse(QEvent::MouseButtonRelease, at, button);
}

void ZoneViewTest::Wheel(int angleDelta, const QPoint& at) {
    QWheelEvent event(QPointF(at), View->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, angleDelta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(View, &event);
}

void ZoneViewTest::ShowActive() {
    Host->show();
    Host->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Host.get()));
}

} // namespace velmora::testing
