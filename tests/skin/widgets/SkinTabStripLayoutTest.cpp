// Tab strip geometry without windows or pictures.
#include "skin/widgets/SkinTabStripLayout.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TTabStripInput Strip(TSkinTabOrientation orientation, TGPRect strip, std::vector<int> lengths) {
    TTabStripInput input;
    input.Orientation = orientation;
    input.Strip = strip;
    input.TabLengths = std::move(lengths);
    for (auto& button : input.Buttons)
        button = {false, 20, 20};
    return input;
}

TEST(TabStripLayout, RowModeSharesTheStripAndGivesTheLastTabTheRest) {
    TTabStripInput input = Strip(toTop, {0, 0, 554, 26}, {1, 1, 1});
    input.FillInRow = true;
    TTabStripLayout layout = TTabStripLayouter::Layout(input);
    EXPECT_EQ(layout.Tabs[0], (TGPRect{0, 0, 184, 26}));
    EXPECT_EQ(layout.Tabs[1], (TGPRect{184, 0, 184, 26}));
    EXPECT_EQ(layout.Tabs[2], (TGPRect{368, 0, 186, 26}));
    EXPECT_FALSE(layout.PageScrollVisible);

    // Close, custom and attach take the right end in that order, centred across the strip.
    input.Buttons[TabCtrlBtnSlot(cbClose)] = {true, 20, 16};
    input.Buttons[TabCtrlBtnSlot(cbAttach)] = {true, 14, 20};
    layout = TTabStripLayouter::Layout(input);
    EXPECT_EQ(layout.Button(cbClose), (TGPRect{534, 5, 20, 16}));
    EXPECT_EQ(layout.Button(cbAttach), (TGPRect{520, 3, 14, 20}));
    EXPECT_EQ(layout.Button(cbCustom), TGPRect{});
    EXPECT_EQ(layout.Tabs[2].X + layout.Tabs[2].Width, 520);
}

TEST(TabStripLayout, ScrollModeLeavesOutTheTabThatExactlyReachesTheEnd) {
    TTabStripInput input = Strip(toTop, {0, 0, 300, 26}, {100, 100, 100});
    TTabStripLayout layout = TTabStripLayouter::Layout(input);
    EXPECT_FALSE(layout.PageScrollVisible);
    EXPECT_TRUE(layout.TabPlaced(0));
    EXPECT_TRUE(layout.TabPlaced(1));
    EXPECT_FALSE(layout.TabPlaced(2));
    EXPECT_EQ(layout.Drawn, 2);
    EXPECT_EQ(layout.MaxPageScrollStart, 1);
    // Not drawn means not clickable either.
    EXPECT_EQ(layout.TabAt({250, 10}), -1);
    EXPECT_EQ(layout.TabAt({150, 10}), 1);

    // Without paging the attach button follows the last drawn tab.
    input.Buttons[TabCtrlBtnSlot(cbAttach)].Shown = true;
    input.TabLengths = {100, 100};
    layout = TTabStripLayouter::Layout(input);
    EXPECT_EQ(layout.Button(cbAttach), (TGPRect{200, 3, 20, 20}));
}

TEST(TabStripLayout, AlwaysShowFirstPageKeepsTheFirstTabWhileOthersPage) {
    TTabStripInput input = Strip(toTop, {0, 0, 300, 26}, std::vector<int>(10, 50));
    input.AlwaysShowFirstPage = true;
    TTabStripLayout layout = TTabStripLayouter::Layout(input);
    EXPECT_EQ(layout.PageScrollStart, 1); // raised to the first scrolled tab
    EXPECT_TRUE(layout.PageScrollVisible);
    EXPECT_EQ(layout.Button(cbPageDown), (TGPRect{280, 3, 20, 20}));
    EXPECT_EQ(layout.Button(cbPageUp), (TGPRect{260, 3, 20, 20}));
    EXPECT_EQ(layout.Drawn, 5); // 0..4; the sixth would end at 300 past the 260 of the area
    EXPECT_EQ(layout.MaxPageScrollStart, 6);

    input.PageScrollStart = 6;
    layout = TTabStripLayouter::Layout(input);
    EXPECT_EQ(layout.Tabs[0], (TGPRect{0, 0, 50, 26}));
    EXPECT_EQ(layout.Tabs[6], (TGPRect{50, 0, 50, 26}));
    EXPECT_FALSE(layout.TabPlaced(5));
    EXPECT_EQ(layout.TabAt({60, 3}), 6);
    EXPECT_EQ(layout.TabAt({265, 3}), -1);
    EXPECT_EQ(layout.ButtonAt({265, 3}), cbPageUp);

    // A start past the end comes back to the last tab; paging stays because it is scrolled.
    input.AlwaysShowFirstPage = false;
    input.PageScrollStart = 40;
    input.TabLengths = {50, 50};
    layout = TTabStripLayouter::Layout(input);
    EXPECT_EQ(layout.PageScrollStart, 1);
    EXPECT_TRUE(layout.PageScrollVisible);
}

TEST(TabStripLayout, VerticalStripsStackTabsDownAndButtonsUpFromTheBottom) {
    TTabStripInput input = Strip(toRight, {274, 0, 26, 200}, {60, 40});
    input.Buttons[TabCtrlBtnSlot(cbClose)] = {true, 20, 16};
    input.Buttons[TabCtrlBtnSlot(cbCustom)] = {true, 10, 20};
    const TTabStripLayout layout = TTabStripLayouter::Layout(input);
    EXPECT_EQ(layout.Tabs[0], (TGPRect{274, 0, 26, 60}));
    EXPECT_EQ(layout.Tabs[1], (TGPRect{274, 60, 26, 40}));
    EXPECT_EQ(layout.Button(cbClose), (TGPRect{279, 180, 16, 20}));
    EXPECT_EQ(layout.Button(cbCustom), (TGPRect{277, 170, 20, 10}));
    EXPECT_EQ(layout.TabAt({280, 70}), 1);
}

TEST(TabStripLayout, EmptyAndNegativeSizesPlaceNothing) {
    for (const TGPRect strip : {TGPRect{0, 0, 0, 26}, TGPRect{0, 0, -40, -3}}) {
        TTabStripInput input = Strip(toTop, strip, {10, 10});
        input.Buttons[TabCtrlBtnSlot(cbClose)].Shown = true;
        for (bool row : {false, true}) {
            input.FillInRow = row;
            const TTabStripLayout layout = TTabStripLayouter::Layout(input);
            EXPECT_FALSE(layout.TabPlaced(0));
            EXPECT_EQ(layout.TabAt({0, 0}), -1);
            EXPECT_EQ(layout.ButtonAt({0, 0}), cbNone);
        }
    }
}

} // namespace
} // namespace velmora
