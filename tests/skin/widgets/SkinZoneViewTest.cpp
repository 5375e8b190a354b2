#include "tests/skin/widgets/WidgetTestSupport.h"
#include "tests/skin/widgets/ZoneViewFixture.h"

#include <QKeyEvent>
#include <QTest>
#include <vector>

namespace velmora::testing {
namespace {

using TEventLog = std::vector<std::pair<QString, bool>>;

TEST_F(ZoneViewTest, ExpandingWithMultiExpandOffKeepsItsBranchAndCollapsesAllOtherExpandedZones) {
    // A > A1 > A11, B, C > C1: A, A1, B and C1 expanded.
    TZone* a = View->Zones().Add();
    TZone* a1 = a->ChildZones().Add();
    TZone* a11 = a1->ChildZones().Add();
    a11->ChildZones().Add();
    TZone* b = View->Zones().Add();
    b->ChildZones().Add();
    TZone* c = View->Zones().Add();
    TZone* c1 = c->ChildZones().Add();
    c1->ChildZones().Add();
    for (TZone* zone : {a, a1, b, c1})
        zone->SetExpanded(true);
    a->SetZoneName("A"), a1->SetZoneName("A1"), a11->SetZoneName("A11");
    b->SetZoneName("B"), c1->SetZoneName("C1");
    EXPECT_EQ(a11->Level(), 2);

    TEventLog told;
    View->OnExpandZone = [&](TSkinZoneView*, TZone* zone, const TRect&, bool expanded) {
        told.emplace_back(zone->ZoneName(), expanded);
    };
    View->SetMultiExpand(false);
    a11->SetExpanded(true);

    EXPECT_EQ(told, (TEventLog{{"B", false}, {"C1", false}, {"A11", true}}));
    EXPECT_TRUE(a->Expanded() && a1->Expanded() && a11->Expanded());
    EXPECT_FALSE(b->Expanded() || c1->Expanded());
    View->LayoutZones();
    EXPECT_EQ(View->VisibleZones().size(), 6u); // A A1 A11 (its child) B C; C1 hidden
    EXPECT_EQ(c1->DisplayIndex(), -1);
}

TEST_F(ZoneViewTest, SelectingWithMultiSelectOffTellsOnlyTheZonesThatWereSelected) {
    AddZones(4);
    View->SetMultiSelect(true);
    View->Zones().Items(0)->SetSelected(true);
    View->Zones().Items(2)->SetSelected(true);
    TEventLog told;
    View->OnSelectZone = [&](TSkinZoneView*, TZone* zone, const TRect&, bool selected) {
        told.emplace_back(zone->ZoneName(), selected);
    };
    View->SetMultiSelect(false);
    View->Zones().Items(3)->SetSelected(true);
    EXPECT_EQ(told, (TEventLog{{"Zone 0", false}, {"Zone 2", false}, {"Zone 3", true}}));
    std::vector<TZone*> selected;
    View->GetSelectedList(selected);
    EXPECT_EQ(selected, std::vector<TZone*>{View->Zones().Items(3)});
    EXPECT_EQ(View->AccessibleRole(), QAccessible::List);
    EXPECT_EQ(View->AccessibleText(), "Zone 3");

    // Deselecting the selected zone tells it once, and selection keeps working after.
    told.clear();
    View->Zones().Items(3)->SetSelected(false);
    EXPECT_EQ(told, (TEventLog{{"Zone 3", false}}));
    EXPECT_EQ(View->GetSelected(), nullptr);
    View->Zones().Items(1)->SetSelected(true);
    EXPECT_EQ(View->GetSelected(), View->Zones().Items(1));
}

TEST_F(ZoneViewTest, PressOnEmptySpaceClearsTheSelectionOnlyWithHideSelection) {
    AddZones(2); // rows 1 … 120; below is empty
    for (const bool hide : {true, false}) {
        View->SetHideSelection(hide);
        View->Zones().Items(1)->SetSelected(true);
        Click(QPoint(100, 180));
        EXPECT_EQ(View->GetSelected() == nullptr, hide) << hide;
        Click(QPoint(100, 30)); // a press on a zone never deselects
        EXPECT_EQ(View->GetSelected() == nullptr, hide) << hide;
    }
}

TEST_F(ZoneViewTest, RightReleaseRaisesTheClientPopupOnEmptySpaceAndTheZonePopupOnAZone) {
    AddZones(2);
    std::vector<TZone*> zonePopups;
    int clientPopups = 0;
    View->OnZonePopup = [&](TSkinZoneView*, TZone* zone, const TRect&) {
        zonePopups.push_back(zone);
    };
    View->OnClientPopup = [&](TSkinZoneView*, TZone* zone, const TRect&) {
        EXPECT_EQ(zone, nullptr);
        ++clientPopups;
    };
    Click(QPoint(100, 180), Qt::RightButton);
    EXPECT_EQ(clientPopups, 1);
    EXPECT_TRUE(zonePopups.empty());
    Click(QPoint(100, 90), Qt::RightButton);
    EXPECT_EQ(clientPopups, 1);
    EXPECT_EQ(zonePopups, std::vector<TZone*>{View->Zones().Items(1)});
    EXPECT_TRUE(View->Zones().Items(1)->MouseOver());
}

TEST_F(ZoneViewTest, AZoneThatNeedsNoRedrawKeepsItsPixelsAcrossPaintsAndAResize) {
    AddZones(2);
    TZone* a = View->Zones().Items(0);
    TZone* b = View->Zones().Items(1);
    Colour[a] = 0xFFCC2200;
    Colour[b] = 0xFF0044CC;
    InstallDrawer();
    Paint();
    ASSERT_EQ(Draws[a], 1);
    ASSERT_EQ(Draws[b], 1);

    // Only B changed: A is not drawn again, yet its pixels are still there.
    Colour[a] = 0xFF00FF00;
    Colour[b] = 0xFFFFCC00;
    b->SetZoneName("renamed");
    const QImage shown = Paint();
    EXPECT_EQ(Draws[a], 1);
    EXPECT_EQ(Draws[b], 2);
    EXPECT_EQ(Surface(QPoint(150, 30)), 0xFFCC2200u);
    EXPECT_EQ(Surface(QPoint(150, 90)), 0xFFFFCC00u);
    EXPECT_EQ(shown.pixel(150, 30), 0xFFCC2200u);

    // A taller control gets a new surface; the zones' pixels come along.
    View->resize(300, 220);
    Paint();
    EXPECT_EQ(Draws[a], 1);
    EXPECT_EQ(Surface(QPoint(150, 30)), 0xFFCC2200u);
    EXPECT_EQ(Surface(QPoint(150, 90)), 0xFFFFCC00u);

    // Growing so that a zone reaches past what the old surface held draws that zone again.
    // Four zones, 242 rows in 220: a vertical bar. Scrolled by 20, zone 3 shows rows 169 to
    // 221, cut by the surface at 219; 2 rows more show it whole at the same position.
    AddZones(2);
    Wheel(-240);
    Paint();
    TZone* cut = View->Zones().Items(3);
    const int drawsOfA = Draws[a];
    const int drawsOfCut = Draws[cut];
    View->resize(300, 222);
    Paint();
    EXPECT_EQ(Draws[cut], drawsOfCut + 1);
    EXPECT_EQ(Draws[a], drawsOfA);

    // A forced redraw repaints every zone.
    View->RedrawAll();
    Paint();
    EXPECT_EQ(Draws[a], drawsOfA + 1);
    EXPECT_EQ(Surface(QPoint(150, 20)), 0xFF00FF00u);

    // A drawer that needs more room than the zone has is asked every time.
    View->OnPrepareDrawZone = [&](TSkinZoneView*, TGPGraphics&, TZone* zone, const TRect&) {
        if (zone == a)
            zone->SetNeedDisplayHeight(61);
    };
    b->SetZoneName("again");
    Paint();
    EXPECT_EQ(Draws[a], drawsOfA + 2);

    // A zone's picture is cut from the shown buffer: filled zones are as wide as the client.
    const IGPBitmap picture = View->GetZoneBitmap(b);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Width(), 300 - 2 - 17);
    EXPECT_EQ(picture->Height(), 60);
    EXPECT_EQ(picture->GetPixel(10, 10), 0xFFFFCC00u);
    EXPECT_FALSE(View->GetZoneBitmap(nullptr));

    // Without a surface of its own the view draws every zone on every paint.
    View->SetEnableGdiPlusBuffer(false);
    b->SetZoneName("once more");
    EXPECT_EQ(Paint().pixel(150, 20), 0xFF00FF00u);
}

TEST_F(ZoneViewTest, WheelKeysArrowsTrackAndThumbScrollInsideTheRange) {
    AddZones(50); // content 1 + 50 x 60 + 1 = 3002 in 200 rows
    InstallDrawer();
    Paint();
    ASSERT_TRUE(View->VertScrollVisible());
    ASSERT_FALSE(View->HorzScrollVisible());
    const TZoneScrollBar& bar = View->VertScrollBar();
    EXPECT_EQ(bar.Max(), 3002 - 200);
    EXPECT_EQ(bar.Step(), 3002 / 50);
    EXPECT_EQ(View->VisibleZones()[0]->DisplayRect().Right, 300 - 1 - 17);

    Wheel(-120);
    EXPECT_EQ(bar.Position(), 10);
    Wheel(-60); // half a notch waits for the other half
    EXPECT_EQ(bar.Position(), 10);
    Wheel(-60);
    EXPECT_EQ(bar.Position(), 20);
    QTest::keyClick(View, Qt::Key_Down);
    EXPECT_EQ(bar.Position(), 80);
    Click(QPoint(290, 195)); // the down arrow
    EXPECT_EQ(bar.Position(), 140);
    Click(QPoint(290, 5)); // the up arrow
    EXPECT_EQ(bar.Position(), 80);

    // Holding the down arrow repeats a step on every tick of the scroll timer.
    Mouse(QEvent::MouseButtonPress, QPoint(290, 195));
    Clock->Advance(300);
    Mouse(QEvent::MouseButtonRelease, QPoint(290, 195));
    EXPECT_EQ(bar.Position(), 80 + 4 * 60);
    QTest::keyClick(View, Qt::Key_PageUp);
    EXPECT_EQ(bar.Position(), 80 + 4 * 60 - bar.PageLength());
    Click(QPoint(290, 5));
    Click(QPoint(290, 5));
    EXPECT_EQ(bar.Position(), 80 + 4 * 60 - bar.PageLength() - 2 * 60);

    // Dragging the thumb far below the bar ends at the maximum.
    const QPoint thumb(290, (bar.Thumb().Top + bar.Thumb().Bottom) / 2);
    Mouse(QEvent::MouseButtonPress, thumb);
    Mouse(QEvent::MouseMove, QPoint(290, 5000));
    Clock->Advance(100);
    Mouse(QEvent::MouseButtonRelease, QPoint(290, 5000));
    EXPECT_EQ(bar.Position(), bar.Max());
    Paint();
    EXPECT_EQ(View->DisplayZones().back(), View->Zones().Items(49));
    EXPECT_EQ(View->Zones().Items(49)->DrawRect().Bottom, 200 - 1);
    Wheel(-120);
    EXPECT_EQ(bar.Position(), bar.Max());

    // With the wheel kept to the view, a wheel outside it does nothing.
    View->SetEnableWheelInSelf(true);
    Wheel(120, QPoint(400, 100));
    EXPECT_EQ(bar.Position(), bar.Max());
    Wheel(120);
    EXPECT_EQ(bar.Position(), bar.Max() - 10);
}

TEST_F(ZoneViewTest, ReleasingAfterADragFromOneZoneToAnotherReleasesThePressedZone) {
    AddZones(3);
    AddZones(3); // six zones: a vertical bar
    Mouse(QEvent::MouseButtonPress, QPoint(100, 30));
    EXPECT_TRUE(View->Zones().Items(0)->MouseDown());
    Mouse(QEvent::MouseMove, QPoint(100, 150));
    Mouse(QEvent::MouseButtonRelease, QPoint(100, 150));
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(View->Zones().Items(i)->MouseDown()) << i;
    // Released over the scroll bar.
    Mouse(QEvent::MouseButtonPress, QPoint(100, 30));
    Mouse(QEvent::MouseMove, QPoint(290, 100));
    Mouse(QEvent::MouseButtonRelease, QPoint(290, 100));
    EXPECT_FALSE(View->Zones().Items(0)->MouseDown());
    EXPECT_EQ(View->VertScrollBar().PressedPart(), zspNone);
}

TEST_F(ZoneViewTest, ZonesFreedInsideTheirOwnEventsLeaveTheViewUsable) {
    AddZones(5);
    InstallDrawer();
    // Clicking a zone removes it.
    View->OnClickZone = [](TSkinZoneView* view, TZone* zone, const TRect&) {
        view->Zones().Remove(zone);
    };
    Click(QPoint(100, 30));
    EXPECT_EQ(View->Zones().Count(), 4);
    // Drawing the first zone frees the last one.
    View->OnDrawZone = [](TSkinZoneView* view, TGPGraphics&, TZone*, const TRect&) {
        if (view->Zones().Count() > 2)
            view->Zones().Delete(view->Zones().Count() - 1);
    };
    Paint();
    QCoreApplication::processEvents();
    Paint();
    EXPECT_EQ(View->Zones().Count(), 2);
    // A deselected zone frees itself while another is selected.
    View->Zones().Items(0)->SetSelected(true);
    View->OnSelectZone = [](TSkinZoneView* view, TZone* zone, const TRect&, bool selected) {
        if (!selected)
            view->Zones().Remove(zone);
    };
    View->Zones().Items(1)->SetSelected(true);
    ASSERT_EQ(View->Zones().Count(), 1);
    EXPECT_TRUE(View->Zones().Items(0)->Selected());
    // The append step frees a zone: the shown picture loses it on the next turn.
    AddZones(1); // rows 61 … 120
    Colour[View->Zones().Items(1)] = 0xFF0044CC;
    View->OnDrawZone = nullptr;
    InstallDrawer();
    View->OnSelectZone = nullptr;
    ASSERT_EQ(Paint().pixel(150, 90), 0xFF0044CCu);
    View->OnAppendDrawZone = [](TSkinZoneView* view, TGPGraphics&, TZone*, const TRect&) {
        if (view->Zones().Count() > 1)
            view->Zones().Delete(1);
    };
    Paint();
    QCoreApplication::processEvents();
    EXPECT_NE(Paint().pixel(150, 90), 0xFF0044CCu);
    View->OnAppendDrawZone = nullptr;
    // A rectangle handler frees the zone a right release found.
    AddZones(1);
    View->OnAdjustZoneRect = [](TSkinZoneView* view, TZone* zone, TRect&) {
        if (zone->ZoneName() == "Zone 0" && zone != view->Zones().Items(0))
            view->Zones().Remove(zone);
    };
    int popups = 0;
    View->OnZonePopup = [&](TSkinZoneView*, TZone*, const TRect&) { ++popups; };
    Click(QPoint(100, 90), Qt::RightButton);
    EXPECT_EQ(popups, 0);
    EXPECT_EQ(View->Zones().Count(), 1);
    View->OnAdjustZoneRect = nullptr;

    // Bad indices are logged and change nothing.
    View->Zones().Delete(7);
    EXPECT_EQ(View->Zones().Insert(-1), nullptr);
    EXPECT_TRUE(LogHas(Log()->Lines(), "Delete"));
    EXPECT_TRUE(LogHas(Log()->Lines(), "Insert"));
    EXPECT_EQ(View->GetZoneFromPoint(100, 30), View->Zones().Items(0));
}

TEST_F(ZoneViewTest, DeepAndHugeTreesAreLaidOutAndFreedWithoutRecursionOrOverflow) {
    TZone* zone = View->Zones().Add();
    for (int depth = 1; depth < 200'000; ++depth) {
        zone->SetExpanded(true);
        zone = zone->ChildZones().Add();
    }
    EXPECT_EQ(View->GetTotalZoneCount(true), 200'000);
    EXPECT_EQ(View->GetTotalZoneHeight(false), 2 + 200'000 * 60);
    EXPECT_EQ(zone->Level(), 199'999);
    View->Zones().Clear();
    EXPECT_EQ(View->GetTotalZoneCount(false), 0);

    // Heights that would overflow a rectangle stop the layout with a log entry.
    for (int i = 0; i < 4; ++i)
        View->Zones().Add()->SetHeight(1 << 29);
    Paint();
    EXPECT_TRUE(LogHas(Log()->Lines(), "LayoutZones"));
    EXPECT_TRUE(View->VertScrollVisible());
    Wheel(-120);
    EXPECT_EQ(View->VertScrollBar().Position(), 10);
}

TEST_F(ZoneViewTest, BlinkTimerRunsWhileAnyZoneBlinksAndEachTickRedrawsTheBlinkingZones) {
    AddZones(3);
    InstallDrawer();
    TZone* a = View->Zones().Items(0);
    TZone* b = View->Zones().Items(1);
    int blinkEvents = 0;
    View->OnBlinkZone = [&](TSkinZoneView*, TZone*, const TRect&) { ++blinkEvents; };
    a->SetBlinking(true);
    b->SetBlinking(true);
    EXPECT_EQ(blinkEvents, 2);
    EXPECT_TRUE(View->BlinkTimerEnable());
    Paint();
    const int before = Draws[View->Zones().Items(2)];
    Clock->Advance(250);
    EXPECT_TRUE(a->BlinkRedraw());
    Paint();
    EXPECT_EQ(Draws[View->Zones().Items(2)], before); // not blinking: kept
    a->SetBlinking(false);
    EXPECT_TRUE(View->BlinkTimerEnable()); // b still blinks
    b->SetBlinking(false);
    EXPECT_FALSE(View->BlinkTimerEnable());

    // A zone handed over already blinking starts the timer; freeing it stops it.
    auto blinking = std::make_unique<TZone>();
    blinking->SetBlinking(true);
    TZone* adopted = View->Zones().AddZone(std::move(blinking));
    EXPECT_TRUE(View->BlinkTimerEnable());
    View->Zones().Remove(adopted);
    EXPECT_FALSE(View->BlinkTimerEnable());
    EXPECT_EQ(View->GetBlinkingZoneCount(), 0);
}

TEST_F(ZoneViewTest, ANewIntervalReachesATimerThatIsAlreadyRunning) {
    int idleTicks = 0;
    View->OnIdleTimer = [&](TSkinZoneView*) { ++idleTicks; };
    View->SetIdleTimerEnable(true);
    Clock->Advance(1000);
    EXPECT_EQ(idleTicks, 1);
    View->SetIdleTimerInterval(100);
    Clock->Advance(500);
    EXPECT_EQ(idleTicks, 6);

    AddZones(1);
    InstallDrawer();
    TZone* zone = View->Zones().Items(0);
    zone->SetBlinking(true);
    View->SetBlinkTimerInterval(50);
    Paint();
    Clock->Advance(50);
    EXPECT_TRUE(zone->BlinkRedraw()) << "the blink timer kept its old 250 ms";
}

TEST_F(ZoneViewTest, HoverWaitsForTheIntervalThenReportsZoneMovesAndTheLeave) {
    AddZones(3);
    View->SetEnableHover(true);
    View->SetHoverInterval(300);
    int entered = 0, left = 0;
    std::vector<TZone*> moves;
    View->OnMouseEnterHover = [&](TSkinZoneView*) { ++entered; };
    View->OnMouseLeaveHover = [&](TSkinZoneView*) { ++left; };
    View->OnMouseMoveZone = [&](TSkinZoneView*, TZone* zone, int, int) { moves.push_back(zone); };
    SendEnter(*View);
    Clock->Advance(299);
    EXPECT_EQ(entered, 0);
    Mouse(QEvent::MouseMove, QPoint(100, 90));
    EXPECT_TRUE(moves.empty()); // not hovered yet
    Clock->Advance(1);
    EXPECT_EQ(entered, 1);
    Mouse(QEvent::MouseMove, QPoint(100, 150));
    EXPECT_EQ(moves, std::vector<TZone*>{View->Zones().Items(2)});
    EXPECT_TRUE(View->Zones().Items(2)->MouseOver());
    SendLeave(*View);
    EXPECT_FALSE(View->Zones().Items(2)->MouseOver());
    Clock->Advance(300);
    EXPECT_EQ(left, 1);
}

TEST_F(ZoneViewTest, BarPicturesComeFromTheSkinAndAMissingStyleIsLoggedNotFatal) {
    AddZones(50);
    const QImage skinned = Paint();
    const QPoint downArrow(291, 191);
    EXPECT_GT(qAlpha(Surface(downArrow)), 0);
    View->SetStyleName("NoSuchStyle");
    EXPECT_TRUE(LogHas(Log()->Lines(), "ChangeSkinFile"));
    Paint();
    EXPECT_EQ(Surface(downArrow), 0xFFC8C8C8u); // drawn flat, still there to click
    Click(downArrow);
    EXPECT_EQ(View->VertScrollBar().Position(), View->VertScrollBar().Step());
    View->SetStyleName("");
    Paint();
    EXPECT_EQ(Surface(downArrow), skinned.pixel(downArrow) | 0u);
}

} // namespace
} // namespace velmora::testing
