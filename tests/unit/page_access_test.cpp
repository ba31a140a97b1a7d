#include "clock/core/page_access.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clock/core/clock_data.h"
#include "forms/gbk.h"

namespace {

AlarmEntry Alarm(const char* name, int hour, int minute, bool enabled) {
    AlarmEntry a;
    a.name = Gbk(name);
    a.hour = hour;
    a.minute = minute;
    a.enabled = enabled ? 1 : 0;
    return a;
}

AccessMoment Moment(int clientHeight) {
    AccessMoment moment;
    moment.now = DateTime{2026, 12, 8, 10, 20, 30};
    moment.clientHeight = clientHeight;
    moment.caption = Gbk("澜川_钟伴 1.3.8");
    return moment;
}

const AccessibleItem& ItemOf(const std::vector<AccessibleItem>& items, int item) {
    const int child = ChildOfItem(items, item);
    EXPECT_GT(child, 0) << "item " << item;
    static const AccessibleItem kNone;
    return child > 0 ? items[static_cast<size_t>(child - 1)] : kNone;
}

}  // namespace

// Scrolled by two rows in a short window: the first row is under the band, the third runs off the
// bottom, and what shows is read as drawn.
TEST(PageAccess, AlarmPageReadsTabsReadoutAndRowsWithHiddenOnes) {
    Alarms = {Alarm("起床", 7, 30, false), Alarm("午休", 12, 0, true), Alarm("下班", 18, 5, false)};
    Alarms[1].days[1] = 1;
    PageView view;
    view.page = kAlarmPage;
    view.scroll = -70;
    view.entryCount = 3;
    const std::vector<AccessibleItem> items = AccessibleItems(view, Moment(100));

    ASSERT_EQ(items.size(), 6u + 1 + 1 + 3 * 9);
    const char* tabs[] = {"闹钟", "秒表", "计时", "生日", "日程", "设置"};
    for (int tab = 0; tab < kPageCount; ++tab) {
        EXPECT_EQ(items[tab].role, kAccessPageTab);
        EXPECT_EQ(items[tab].name, Gbk(tabs[tab]));
        EXPECT_EQ(items[tab].selected, tab == 0);
        EXPECT_EQ(items[tab].item, TabItem(tab));
    }
    EXPECT_EQ(items[6].role, kAccessStaticText);
    EXPECT_EQ(items[6].name, "10:20:30");
    EXPECT_EQ(items[7].name, Gbk("添加闹钟"));
    EXPECT_EQ(items[7].role, kAccessPushButton);
    EXPECT_TRUE(items[7].hidden);

    const AccessibleItem& first = ItemOf(items, AlarmRowItem(0));
    EXPECT_EQ(first.role, kAccessListItem);
    EXPECT_EQ(first.name, Gbk("07:30 起床(未开启)"));
    EXPECT_TRUE(first.hidden);
    EXPECT_TRUE(ItemOf(items, AlarmDayItem(0, 7)).hidden);

    const AccessibleItem& second = ItemOf(items, AlarmRowItem(1));
    EXPECT_FALSE(second.hidden);
    EXPECT_EQ(second.location.y, kBandHeight);  // cut where the band covers it
    EXPECT_EQ(second.defaultAction, Gbk("打开"));
    const AccessibleItem& secondSwitch = ItemOf(items, AlarmSwitchItem(1));
    EXPECT_EQ(secondSwitch.role, kAccessCheckButton);
    EXPECT_TRUE(secondSwitch.checked);
    EXPECT_EQ(ChildOfItem(items, AlarmSwitchItem(1)), ChildOfItem(items, AlarmRowItem(1)) + 1);
    EXPECT_TRUE(ItemOf(items, AlarmDayItem(1, 1)).checked);
    EXPECT_FALSE(ItemOf(items, AlarmDayItem(1, 2)).checked);
    EXPECT_EQ(ItemOf(items, AlarmDayItem(1, 7)).name, Gbk("星期日"));

    EXPECT_FALSE(ItemOf(items, AlarmSwitchItem(2)).checked);
    EXPECT_FALSE(ItemOf(items, AlarmSwitchItem(2)).hidden);
    EXPECT_TRUE(ItemOf(items, AlarmDayItem(2, 1)).hidden);  // at y 100, the window's bottom
    EXPECT_EQ(ChildOfItem(items, AlarmDayItem(1, 8)), 0);   // the column past Sunday is no child
}

TEST(PageAccess, SettingsPageReadsSwitchesButtonsAndClose) {
    for (int k = 0; k < kOptionCount; ++k)
        OptionSlots[k] = BuiltInOption(k);
    SetOptionFlag(kOptionTopmost, true);
    SetOptionFlag(kOptionNetTime, false);
    PageView view;
    view.page = kSettingsPage;
    const std::vector<AccessibleItem> items = AccessibleItems(view, Moment(318));

    EXPECT_TRUE(items[kSettingsPage].selected);
    EXPECT_FALSE(items[kAlarmPage].selected);
    EXPECT_EQ(items[6].name, Gbk("澜川_钟伴 1.3.8"));
    EXPECT_EQ(items[7].item, kCloseItem);
    EXPECT_EQ(items[7].name, Gbk("关闭"));
    const AccessibleItem& topmost = ItemOf(items, OptionItem(kOptionTopmost));
    EXPECT_EQ(topmost.role, kAccessCheckButton);
    EXPECT_EQ(topmost.name, Gbk("在所有窗口前面"));
    EXPECT_TRUE(topmost.checked);
    EXPECT_FALSE(ItemOf(items, OptionItem(kOptionNetTime)).checked);
    const AccessibleItem& about = ItemOf(items, kAboutItem);
    EXPECT_EQ(about.role, kAccessPushButton);
    EXPECT_EQ(about.name, Gbk("关于钟伴"));
    EXPECT_EQ(about.defaultAction, Gbk("单击"));
    EXPECT_FALSE(about.hidden);
}

// Spaced captions are read without their spaces; laps are read though they take no click.
TEST(PageAccess, ButtonCaptionsLoseTheirSpacesAndLapsAreRead) {
    LapTimes = {5000, 2000, 3000};
    StopwatchStart = 100;
    PageView view;
    view.page = kStopwatchPage;
    view.stopwatchReset = false;
    view.entryCount = 3;
    const std::vector<AccessibleItem> stopwatch = AccessibleItems(view, Moment(318));
    EXPECT_EQ(ItemOf(stopwatch, kStopwatchLeftItem).name, Gbk("计次"));
    EXPECT_EQ(ItemOf(stopwatch, kStopwatchRightItem).name, Gbk("暂停"));
    ASSERT_EQ(stopwatch.size(), 6u + 1 + 2 + 2);
    EXPECT_EQ(stopwatch.back().role, kAccessListItem);
    EXPECT_EQ(stopwatch.back().item, 0);
    EXPECT_EQ(stopwatch.back().defaultAction, "");

    Timers = {{600, 0}};
    view.page = kTimerPage;
    view.entryCount = 1;
    const std::vector<AccessibleItem> timers = AccessibleItems(view, Moment(318));
    EXPECT_EQ(ItemOf(timers, kAddItem).name, Gbk("新增计时"));
    EXPECT_FALSE(ItemOf(timers, TimerToggleItem(0)).checked);
}
