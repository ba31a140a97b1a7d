#include "clock/core/keyboard_focus.h"

#include <gtest/gtest.h>

#include <vector>

#include "clock/core/main_window_rules.h"

namespace {

PageView ListPage(int page, int entries, int scroll = 0) {
    PageView view;
    view.page = page;
    view.entryCount = entries;
    view.scroll = scroll;
    return view;
}

std::vector<int> TabWalk(const PageView& view, FocusMove move, int steps) {
    std::vector<int> seen;
    int focus = 0;
    for (int k = 0; k < steps; ++k) {
        focus = MoveFocus(view, focus, move);
        seen.push_back(focus);
    }
    return seen;
}

TEST(KeyboardFocus, TabVisitsStripHeaderListAndCloseInTurnBothWays) {
    const PageView alarms = ListPage(kAlarmPage, 3);
    EXPECT_EQ(TabWalk(alarms, FocusMove::kNext, 4),
              (std::vector<int>{TabItem(kAlarmPage), kAddItem, AlarmRowItem(0), TabItem(kAlarmPage)}));
    EXPECT_EQ(MoveFocus(alarms, TabItem(kAlarmPage), FocusMove::kPrevious), AlarmRowItem(0));

    // Every switch and button of the settings page is a stop, then the close button in the band.
    const std::vector<int> settings = TabWalk(ListPage(kSettingsPage, 0), FocusMove::kNext, 14);
    EXPECT_EQ(settings[1], OptionItem(0));
    EXPECT_EQ(settings[kOptionCount], OptionItem(kOptionCount - 1));
    EXPECT_EQ(settings[kOptionCount + 3], kHelpItem);
    EXPECT_EQ(settings[kOptionCount + 4], kCloseItem);
    EXPECT_EQ(settings[kOptionCount + 5], TabItem(kSettingsPage));

    // An empty list is no stop; a focus left over from another page starts again at the tab.
    EXPECT_EQ(TabWalk(ListPage(kBirthdayPage, 0), FocusMove::kNext, 3),
              (std::vector<int>{TabItem(kBirthdayPage), kAddItem, TabItem(kBirthdayPage)}));
    EXPECT_EQ(MoveFocus(ListPage(kTimerPage, 0), OptionItem(2), FocusMove::kDown), TabItem(kTimerPage));
}

TEST(KeyboardFocus, ArrowsMoveWithinTheStripAndTheListKeepingTheColumn) {
    const PageView alarms = ListPage(kAlarmPage, 3);
    EXPECT_EQ(MoveFocus(alarms, TabItem(2), FocusMove::kRight), TabItem(3));
    EXPECT_EQ(MoveFocus(alarms, TabItem(0), FocusMove::kLeft), TabItem(0));
    EXPECT_EQ(MoveFocus(alarms, TabItem(5), FocusMove::kRight), TabItem(5));

    // A row reads left to right: the time, Monday .. Sunday, the switch.
    EXPECT_EQ(MoveFocus(alarms, AlarmRowItem(1), FocusMove::kRight), AlarmDayItem(1, 1));
    EXPECT_EQ(MoveFocus(alarms, AlarmDayItem(1, 7), FocusMove::kRight), AlarmSwitchItem(1));
    EXPECT_EQ(MoveFocus(alarms, AlarmSwitchItem(1), FocusMove::kRight), AlarmSwitchItem(1));
    EXPECT_EQ(MoveFocus(alarms, AlarmSwitchItem(0), FocusMove::kDown), AlarmSwitchItem(1));
    EXPECT_EQ(MoveFocus(alarms, AlarmDayItem(2, 3), FocusMove::kUp), AlarmDayItem(1, 3));
    EXPECT_EQ(MoveFocus(alarms, AlarmRowItem(2), FocusMove::kDown), AlarmRowItem(2));
    EXPECT_EQ(MoveFocus(alarms, AlarmSwitchItem(0), FocusMove::kUp), kAddItem);
    EXPECT_EQ(MoveFocus(alarms, kAddItem, FocusMove::kDown), AlarmRowItem(0));

    // Settings switches walk down into the buttons.
    const PageView settings = ListPage(kSettingsPage, 0);
    EXPECT_EQ(MoveFocus(settings, OptionItem(kOptionCount - 1), FocusMove::kDown), kAboutItem);
    EXPECT_EQ(MoveFocus(settings, kAboutItem, FocusMove::kUp), OptionItem(kOptionCount - 1));
}

TEST(KeyboardFocus, TabIntoAScrolledListLandsOnTheFirstRowThatCanBeSeen) {
    // Row 3 is partly under the band but mostly out; row 1 of the timers shows only a sliver.
    const PageView scrolled = ListPage(kAlarmPage, 10, -3 * kAlarmRowHeight - 40);
    EXPECT_EQ(MoveFocus(scrolled, kAddItem, FocusMove::kNext), AlarmRowItem(3));
    const PageView timers = ListPage(kTimerPage, 4, -2 * kListRowHeight + 1);
    EXPECT_EQ(MoveFocus(timers, kAddItem, FocusMove::kNext), TimerRowItem(2));
}

TEST(KeyboardFocus, ScrollBringsTheFocusedItemWhollyIntoViewWithinTheLimits) {
    const int height = 300;
    // Row 9 of ten alarms ends at 80 + 350: scrolled until it ends at the client's bottom.
    const PageView top = ListPage(kAlarmPage, 10);
    const int down = ScrollToShow(top, AlarmSwitchItem(9), height, 9);
    EXPECT_EQ(down, height - (kListTop + 10 * kAlarmRowHeight));
    // Back up to row 0: no part of it may hide under the band.
    const PageView scrolled = ListPage(kAlarmPage, 10, down);
    EXPECT_EQ(ScrollToShow(scrolled, AlarmRowItem(0), height, 9), kBandHeight - kListTop);
    // Tabs never scroll, and neither does a row already in view.
    EXPECT_EQ(ScrollToShow(scrolled, TabItem(1), height, 9), down);
    EXPECT_EQ(ScrollToShow(scrolled, AlarmRowItem(9), height, 9), down);
    // A small window scrolls no further than the page's lowest offset.
    EXPECT_EQ(ScrollToShow(ListPage(kSettingsPage, 0), kHelpItem, 120, -1), LowestScroll(kSettingsPage, -1));
}

TEST(KeyboardFocus, CtrlTabGoesRoundTheSixPages) {
    EXPECT_EQ(NextPage(kSettingsPage, true), kAlarmPage);
    EXPECT_EQ(NextPage(kAlarmPage, false), kSettingsPage);
    EXPECT_EQ(NextPage(kTimerPage, true), kBirthdayPage);
}

}  // namespace
