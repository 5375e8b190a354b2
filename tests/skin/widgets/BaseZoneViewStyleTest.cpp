#include "skin/data/SkinMng.h"
#include "skin/drawing/SkinColors.h"
#include "tests/skin/widgets/WidgetTestSupport.h"
#include "tests/skin/widgets/ZoneViewFixture.h"

#include <stdexcept>

namespace velmora::testing {
namespace {

// A drawing style as a program would write one: it draws, then lets the view's own
// handler run.
class TCountingStyle : public TBaseZoneViewStyle {
public:
    int Drawn = 0;

protected:
    void DoDrawZone(TSkinZoneView* ASender, TGPGraphics& AGraphics, TZone* AZone,
                    const TRect& ADrawRect) override {
        ++Drawn;
        TBaseZoneViewStyle::DoDrawZone(ASender, AGraphics, AZone, ADrawRect);
    }
};

TEST_F(ZoneViewTest, StyleLoadsTheSkinsDefaultStyleAndLogsAMissingOne) {
    TBaseZoneViewStyle style;
    const TSkinZoneViewStyleItem* item = SkinMng().SkinZoneViewStyles().GetItem("Default");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(style.StyleLoaded());
    EXPECT_EQ(style.Image(zsiZoneNormal), item->Image(zviZoneNormal));
    EXPECT_EQ(style.Element(zsiZoneNormal).LeftMargin(), 8);
    EXPECT_EQ(style.NodeExpandIcon(), item->Image(zviNodeExpandIcon));
    EXPECT_EQ(style.NodeCollapseIcon(), item->Image(zviNodeCollapseIcon));
    EXPECT_EQ(style.HeadActiveFrame(), item->Image(zviHeadActiveFrame));
    EXPECT_EQ(style.HeadNormalFrame(), item->Image(zviHeadNomalFrame));
    EXPECT_EQ(style.IconXOffset(), item->IconXOffset());
    EXPECT_EQ(style.NodeFontXOffset(), item->NodeFontXOffset());
    for (int i = 0; i < KZoneViewFontCount; ++i) {
        const TFrameworkFont& font = item->Font(static_cast<TZoneViewFont>(i));
        const TGDIText& text = style.Text(static_cast<TZoneViewFont>(i));
        EXPECT_EQ(text.FontColor(), ColorToGPColor(font.Color)) << i;
        EXPECT_EQ(text.FontStyle(), font.Style) << i;
        EXPECT_EQ(text.FontFamilyName(), font.Name) << i;
    }
    style.SetStyleName("NoSuchStyle");
    EXPECT_FALSE(style.StyleLoaded());
    EXPECT_TRUE(LogHas(Log()->Lines(), "ChangeSkinFile"));
    style.SetStyleName("");
    EXPECT_TRUE(style.StyleLoaded());
}

TEST_F(ZoneViewTest, StyleForwardsToTheViewsOwnHandlersAndGivesThemAllBackWhenGone) {
    AddZones(2);
    int ownDrawn = 0, ownAppended = 0;
    bool failFirst = true;
    std::vector<TZone*> ownClicks;
    View->OnDrawZone = [&](TSkinZoneView*, TGPGraphics&, TZone* zone, const TRect&) {
        ++ownDrawn;
        if (failFirst && zone == View->Zones().Items(0))
            throw std::runtime_error("drawer failed");
    };
    View->OnAppendDrawZone = [&](TSkinZoneView*, TGPGraphics&, TZone*, const TRect&) {
        ++ownAppended;
    };
    View->OnClickZone = [&](TSkinZoneView*, TZone* zone, const TRect&) {
        ownClicks.push_back(zone);
    };
    {
        TCountingStyle style;
        style.SetZoneView(View);
        ShowActive();
        ownDrawn = ownAppended = style.Drawn = 0;
        View->RedrawAll();
        Paint();
        EXPECT_EQ(style.Drawn, 2);
        EXPECT_EQ(ownDrawn, 2); // the first failed, was logged, and the second still ran
        EXPECT_EQ(ownAppended, 2);
        EXPECT_TRUE(LogHas(Log()->Lines(), "OnDrawZone"));

        // A zone click focuses the view and selects the zone before the view's handler runs.
        View->clearFocus();
        Click(QPoint(100, 90));
        EXPECT_TRUE(View->hasFocus());
        EXPECT_TRUE(View->Zones().Items(1)->Selected());
        EXPECT_EQ(ownClicks, std::vector<TZone*>{View->Zones().Items(1)});
        // A zone popup selects the zone too.
        Click(QPoint(100, 30), Qt::RightButton);
        EXPECT_TRUE(View->Zones().Items(0)->Selected());
        EXPECT_FALSE(View->Zones().Items(1)->Selected());
    }
    // The style is gone: every handler, the append one included, is the view's own again.
    failFirst = false;
    ownDrawn = ownAppended = 0;
    View->RedrawAll();
    Paint();
    EXPECT_EQ(ownDrawn, 2);
    EXPECT_EQ(ownAppended, 2);
    Click(QPoint(100, 30));
    EXPECT_EQ(ownClicks.size(), 2u);

    // Two styles stacked on the view, the lower one freed first: the upper one passes events
    // straight to the view's own handlers, and freeing it too gives them all back.
    auto lower = std::make_unique<TCountingStyle>();
    auto upper = std::make_unique<TCountingStyle>();
    lower->SetZoneView(View);
    upper->SetZoneView(View);
    lower.reset();
    ownDrawn = 0;
    View->RedrawAll();
    Paint();
    EXPECT_EQ(upper->Drawn, 2);
    EXPECT_EQ(ownDrawn, 2);
    upper.reset();
    View->RedrawAll();
    Paint();
    EXPECT_EQ(ownDrawn, 4);
    Click(QPoint(100, 30));
    EXPECT_EQ(ownClicks.size(), 3u);
}

TEST_F(ZoneViewTest, HandlersTheProgramSetsWhileAStyleIsAttachedStayWhenItDetaches) {
    AddZones(2);
    int prepared = 0, preparedLater = 0;
    std::vector<TZone*> clicks;
    View->OnPrepareDrawZone = [&](TSkinZoneView*, TGPGraphics&, TZone* zone, const TRect&) {
        ++prepared;
        if (zone == View->Zones().Items(0))
            throw std::runtime_error("preparer failed");
    };
    auto style = std::make_unique<TCountingStyle>();
    style->SetZoneView(View);
    ShowActive();
    prepared = style->Drawn = 0;
    View->RedrawAll();
    Paint();
    // The view's own preparer runs through the style like every other handler: its failure
    // is logged under its event and the zones are still drawn.
    EXPECT_EQ(prepared, 2);
    EXPECT_EQ(style->Drawn, 2);
    EXPECT_TRUE(LogHas(Log()->Lines(), "OnPrepareDrawZone"));

    // Handlers set on the view while the style is attached replace the style's, and must
    // survive its going instead of being overwritten by the ones saved when it came.
    View->OnPrepareDrawZone = [&](TSkinZoneView*, TGPGraphics&, TZone*, const TRect&) {
        ++preparedLater;
    };
    View->OnClickZone = [&](TSkinZoneView*, TZone* zone, const TRect&) { clicks.push_back(zone); };
    style.reset();
    prepared = preparedLater = 0;
    View->RedrawAll();
    Paint();
    EXPECT_EQ(prepared, 0);
    EXPECT_EQ(preparedLater, 2);
    Click(QPoint(100, 30));
    EXPECT_EQ(clicks, std::vector<TZone*>{View->Zones().Items(0)});
}

} // namespace
} // namespace velmora::testing
