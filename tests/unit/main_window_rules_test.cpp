#include "clock/core/main_window_rules.h"

#include <gtest/gtest.h>

#include "forms/gbk.h"

namespace {

PageView View(int page, int entries = 0, int scroll = 0, bool tabsBelow = false) {
    PageView v;
    v.page = page;
    v.entryCount = entries;
    v.scroll = scroll;
    v.tabsBelow = tabsBelow;
    return v;
}

DateTime At(int y, int mo, int d, int h, int mi, int s) {
    DateTime t;
    t.year = y, t.month = mo, t.day = d, t.hour = h, t.minute = mi, t.second = s;
    return t;
}

AlarmEntry Alarm(int hour, int minute, bool enabled) {
    AlarmEntry a;
    a.name = Gbk("起床");
    a.hour = hour;
    a.minute = minute;
    a.enabled = enabled ? 1 : 0;
    return a;
}

DateEntry Entry(const char* name, int repeat, int daysLeft, int age) {
    DateEntry e;
    e.name = Gbk(name);
    e.year = 1990, e.month = 4, e.day = 12, e.hour = 8;
    e.repeat = repeat;
    e.daysLeft = daysLeft;
    e.age = age;
    return e;
}

// One hit-test probe: the item expected at (x, y).
struct Probe {
    int x, y, item;
};

void ExpectHits(const PageView& v, std::initializer_list<Probe> probes) {
    for (const Probe& p : probes) {
        EXPECT_EQ(HitTest(v, p.x, p.y), p.item)
            << "page " << v.page << " scroll " << v.scroll << " at (" << p.x << ", " << p.y << ")";
    }
}

}  // namespace

TEST(HitTestBand, TabStripAboveOrBelowTheReadout) {
    const PageView top = View(2);
    ExpectHits(top, {{0, 0, 1}, {31, 19, 1}, {32, 0, 2}, {191, 10, 6}, {192, 10, 0}});
    EXPECT_EQ(HitTest(top, 50, 20), 0);  // readout: the window moves
    EXPECT_TRUE(StartsWindowDrag(HitTest(top, 50, 20), 20));

    const PageView below = View(2, 0, 0, true);
    EXPECT_EQ(HitTest(below, 50, 10), 0);
    EXPECT_TRUE(StartsWindowDrag(HitTest(below, 50, 10), 10));
    ExpectHits(below, {{50, 29, 0}, {50, 30, 2}, {50, 49, 2}});
    EXPECT_FALSE(StartsWindowDrag(0, 50));
}

TEST(HitTestBand, SettingsCloseButtonFollowsTheReadout) {
    const PageView top = View(5);
    ExpectHits(top, {{165, 23, kCloseItem},
                     {188, 43, kCloseItem},
                     {164, 30, 0},
                     {189, 30, 0},
                     {170, 22, 0},
                     {170, 44, 0}});
    const PageView below = View(5, 0, 0, true);
    ExpectHits(below, {{170, 3, kCloseItem}, {170, 23, kCloseItem}, {170, 2, 0}, {170, 24, 0}});
    EXPECT_EQ(HitTest(View(0), 170, 30), 0);  // only the settings page has one
}

TEST(HitTestAlarmPage, AddBandAndRowZones) {
    const PageView v = View(0, 2);
    ExpectHits(
        v, {{100, 50, 0}, {100, 51, 9}, {100, 80, 9}, {5, 81, 10}, {50, 100, 10}, {51, 100, 0}, {4, 100, 0}});
    // Switch: 165 < x < 185, row offsets 10 < dy < 30, all strict.
    ExpectHits(v, {{166, 91, 11}, {184, 109, 11}, {165, 100, 0}, {185, 100, 0}, {170, 90, 0}, {170, 110, 0}});
    // Week days: 55 <= x <= 160 inclusive, 18 < dy < 36 strict.
    ExpectHits(v, {{55, 99, 12}, {69, 99, 12}, {70, 99, 13}, {159, 114, 18}});
    EXPECT_EQ(HitTest(v, 160, 99), 19);  // past Sunday
    ExpectHits(v, {{55, 98, 0}, {54, 99, 0}});
    // Row 1 and the end of the list.
    ExpectHits(v, {{5, 115, 20}, {166, 126, 21}, {5, 149, 20}, {5, 150, 0}});
}

TEST(HitTestAlarmPage, ScrolledRowsStayUnderTheBand) {
    const PageView v = View(0, 3, -35);
    EXPECT_EQ(HitTest(v, 5, 45), 0);  // row 0 is drawn here, but the band owns y < 50
    ExpectHits(v, {{5, 50, 10}, {5, 81, 20}, {166, 91, 21}});
    EXPECT_EQ(HitTest(View(0, 3, -20), 100, 60), 9);
    EXPECT_EQ(HitTest(View(0, 3, -20), 5, 61), 10);
    EXPECT_EQ(HitTest(View(0, 3, -35, true), 40, 45), 2);  // tabs below: the strip covers row 0
}

TEST(HitTestStopwatchPage, OneOrTwoButtonsNotScrolled) {
    PageView v = View(1, 0, -100);
    ExpectHits(v, {{6, 56, 10}, {184, 74, 10}, {5, 60, 0}, {185, 60, 0}, {100, 55, 0}, {100, 75, 0}});
    v.stopwatchReset = false;
    ExpectHits(v, {{94, 60, 10}, {95, 60, 0}, {96, 60, 11}, {184, 60, 11}});
    EXPECT_EQ(HitTest(v, 96, 100), 0);  // the lap rows are not items
}

TEST(HitTestTimerPage, FixedButtonAndRowZones) {
    const PageView v = View(2, 3);
    ExpectHits(v, {{6, 56, 9}, {184, 74, 9}, {5, 60, 0}, {6, 80, 0}, {6, 81, 13}, {129, 100, 13}});
    ExpectHits(v,
               {{130, 100, 0}, {136, 100, 11}, {154, 100, 11}, {155, 100, 0}, {166, 90, 12}, {180, 104, 12}});
    ExpectHits(v, {{166, 89, 0}, {166, 105, 0}, {165, 95, 0}, {181, 95, 0}, {6, 141, 33}, {6, 170, 0}});
    const PageView scrolled = View(2, 3, -30);
    ExpectHits(scrolled, {{6, 60, 9}, {6, 81, 23}});
}

TEST(HitTestDatePages, AddBandThenWholeRows) {
    for (int page : {3, 4}) {
        const PageView v = View(page, 2);
        ExpectHits(v, {{100, 50, 0}, {100, 51, 9}, {100, 80, 9}, {100, 81, 10}, {0, 117, 10}, {0, 118, 11}});
        ExpectHits(v, {{0, 156, 0}});
        EXPECT_EQ(HitTest(View(page, 2, -38), 100, 81), 11);
        EXPECT_EQ(HitTest(View(page, 2, -38, true), 100, 40), 4);  // tab 3 over row 0
    }
}

TEST(HitTestSettingsPage, SwitchesAndButtons) {
    const PageView v = View(5);
    ExpectHits(v, {{155, 50, 11}, {185, 71, 11}, {154, 60, 0}, {186, 60, 0}});
    EXPECT_EQ(HitTest(v, 100, 60), 0);  // the caption does not react
    ExpectHits(v, {{160, 72, 12}, {160, 203, 17}, {160, 204, 18}, {160, 225, 18}, {160, 226, 0}, {5, 230, 19}});
    ExpectHits(v, {{185, 250, 19}, {4, 240, 0}, {186, 240, 0}, {100, 251, 0}, {100, 255, 20}, {100, 275, 20},
                   {100, 280, 21}, {100, 300, 21}});
    ExpectHits(v, {{100, 301, 0}});
    const PageView scrolled = View(5, 0, -100);
    ExpectHits(scrolled, {{100, 130, 19}, {160, 50, 15}});
    EXPECT_EQ(HitTest(View(5, 0, -150), 160, 30), 0);
}

TEST(Scrolling, LowestOffsets) {
    EXPECT_EQ(LowestScroll(0, 2), -105);
    EXPECT_EQ(LowestScroll(0, -1), 0);
    EXPECT_EQ(LowestScroll(1, 3), -90);
    EXPECT_EQ(LowestScroll(2, 0), 0);
    EXPECT_EQ(LowestScroll(2, -1), 0);
    EXPECT_EQ(LowestScroll(3, 2), -106);
    EXPECT_EQ(LowestScroll(4, 0), -30);
    EXPECT_EQ(LowestScroll(4, -1), 0);
    EXPECT_EQ(LowestScroll(5, 0), -150);
}

TEST(Scrolling, WheelStepsAndBounds) {
    EXPECT_EQ(WheelScroll(0, 0, -1, 2), -35);
    EXPECT_EQ(WheelScroll(0, 0, -10, 2), -105);
    EXPECT_EQ(WheelScroll(0, -35, 1, 2), 0);
    EXPECT_EQ(WheelScroll(0, 0, 3, 2), 0);
    EXPECT_EQ(WheelScroll(0, -500, 1, 2), -70);  // a list that shrank snaps back first
    EXPECT_EQ(WheelScroll(2, 0, -2, 5), -60);
    EXPECT_EQ(WheelScroll(5, 0, -1, 0), -22);
    EXPECT_EQ(WheelScroll(5, 0, -100, 0), -150);
}

TEST(Scrolling, DatePagesFirstStepDownIsThirty) {
    EXPECT_EQ(WheelScroll(3, 0, -1, 5), -30);
    EXPECT_EQ(WheelScroll(3, -30, -1, 5), -68);
    EXPECT_EQ(WheelScroll(4, 0, -2, 5), -68);
    EXPECT_EQ(WheelScroll(4, -30, 1, 5), 0);
    EXPECT_EQ(WheelScroll(3, -68, 1, 5), -30);
    EXPECT_EQ(WheelScroll(3, 0, -10, 2), -106);
}

TEST(Scrolling, DragUndoesMovesPastTheBound) {
    EXPECT_FALSE(InDragScrollArea(80));
    EXPECT_TRUE(InDragScrollArea(81));
    EXPECT_EQ(DragScroll(0, 0, -50, 2), -50);
    EXPECT_EQ(DragScroll(0, -100, -5, 2), -105);
    EXPECT_EQ(DragScroll(0, -100, -10, 2), -100);
    EXPECT_EQ(DragScroll(0, -10, 30, 2), 0);
    EXPECT_EQ(DragScroll(1, 0, -1, 0), 0);
    EXPECT_EQ(DragScroll(3, 0, -136, 3), -136);
    EXPECT_EQ(DragScroll(3, 0, -145, 3), 0);
    EXPECT_EQ(DragScroll(5, -140, -10, 0), -150);
    EXPECT_EQ(DragScroll(5, -145, -10, 0), -145);
    // An empty list page does not move, even upwards from a stale offset.
    EXPECT_EQ(DragScroll(3, -30, 10, -1), -30);
    EXPECT_EQ(DragScroll(5, 0, 20, -1), 0);
}

TEST(MouseRules, ClickNeedsTheSameItemWithinEightHundredMs) {
    EXPECT_TRUE(IsClick(11, 11, 1000, 1799));
    EXPECT_FALSE(IsClick(11, 11, 1000, 1800));
    EXPECT_FALSE(IsClick(11, 12, 1000, 1100));
    EXPECT_FALSE(IsClick(0, 0, 1000, 1100));
    // Across the 32-bit wrap: 512 ms is a click, 1024 ms is a drag.
    EXPECT_TRUE(IsClick(9, 9, 0xFFFFFF00u, 0x00000100u));
    EXPECT_FALSE(IsClick(9, 9, 0xFFFFFF00u, 0x00000300u));
}

TEST(MouseRules, ResizeZoneAndClamp) {
    EXPECT_TRUE(InResizeZone(310, 318));
    EXPECT_TRUE(InResizeZone(317, 318));
    EXPECT_FALSE(InResizeZone(309, 318));
    EXPECT_EQ(ResizedHeight(300, 10, 1.0), 310);
    EXPECT_EQ(ResizedHeight(300, -200, 1.0), 200);
    EXPECT_EQ(ResizedHeight(300, -200, 1.25), 250);
    EXPECT_EQ(ResizedHeight(400, -200, 1.5), 300);
    EXPECT_EQ(ResizedHeight(1000, 200, 1.0), 1080);
    EXPECT_EQ(ResizedHeight(1000, 200, 2.0), 1080);
    EXPECT_EQ(ResizedHeight(100, 0, 6.0), 1080);  // the upper limit wins
}

TEST(ClickActions, TabsAndListPages) {
    EXPECT_EQ(ClickActionFor(View(2), 6).kind, kClickTab);
    EXPECT_EQ(ClickActionFor(View(2), 6).index, 5);
    EXPECT_FALSE(PageIsRemembered(5));
    EXPECT_TRUE(PageIsRemembered(4));

    const PageView alarms = View(0, 2);
    EXPECT_EQ(ClickActionFor(alarms, 9).kind, kClickNewAlarm);
    EXPECT_EQ(ClickActionFor(alarms, 10).kind, kClickEditAlarm);
    EXPECT_EQ(ClickActionFor(alarms, 21).kind, kClickToggleAlarm);
    EXPECT_EQ(ClickActionFor(alarms, 21).index, 1);
    EXPECT_EQ(ClickActionFor(alarms, 18).kind, kClickToggleAlarm);
    EXPECT_EQ(ClickActionFor(alarms, 19).kind, kClickNone);
    EXPECT_EQ(ClickActionFor(alarms, 30).kind, kClickNone);

    PageView watch = View(1);
    EXPECT_EQ(ClickActionFor(watch, 10).kind, kClickStopwatch);
    EXPECT_EQ(ClickActionFor(watch, 11).kind, kClickNone);
    watch.stopwatchReset = false;
    EXPECT_EQ(ClickActionFor(watch, 11).index, 1);

    const PageView timers = View(2, 3);
    EXPECT_EQ(ClickActionFor(timers, 9).kind, kClickNewTimer);
    EXPECT_EQ(ClickActionFor(timers, 13).kind, kClickEditTimer);
    EXPECT_EQ(ClickActionFor(timers, 31).kind, kClickToggleTimer);
    EXPECT_EQ(ClickActionFor(timers, 31).index, 2);
    EXPECT_EQ(ClickActionFor(timers, 22).kind, kClickDeleteTimer);
    EXPECT_EQ(ClickActionFor(timers, 43).kind, kClickNone);
    EXPECT_EQ(ClickActionFor(timers, 14).kind, kClickNone);

    EXPECT_EQ(ClickActionFor(View(3, 2), 9).kind, kClickNewDateEntry);
    EXPECT_EQ(ClickActionFor(View(4, 2), 11).kind, kClickEditDateEntry);
    EXPECT_EQ(ClickActionFor(View(4, 2), 11).index, 1);
    EXPECT_EQ(ClickActionFor(View(4, 2), 12).kind, kClickNone);
}

TEST(ClickActions, SettingsPage) {
    const PageView v = View(5);
    EXPECT_EQ(ClickActionFor(v, 10).kind, kClickClose);
    EXPECT_EQ(ClickActionFor(v, 11).kind, kClickToggleOption);
    EXPECT_EQ(ClickActionFor(v, 11).index, 0);
    EXPECT_EQ(ClickActionFor(v, 18).index, 7);
    EXPECT_EQ(ClickActionFor(v, 19).kind, kClickAbout);
    EXPECT_EQ(ClickActionFor(v, 20).kind, kClickChat);
    EXPECT_EQ(ClickActionFor(v, 21).kind, kClickHelp);
    EXPECT_EQ(ClickActionFor(v, 22).kind, kClickNone);
    // Every item the hit test gives on the page means something.
    for (int y = 0; y < 345; ++y) {
        const int item = HitTest(v, 170, y);
        if (item != 0) {
            EXPECT_NE(ClickActionFor(v, item).kind, kClickNone) << "y " << y;
        }
    }
}

TEST(HeaderColours, PageTableAndInactiveShading) {
    EXPECT_EQ(PageColour(1), (Rgb{0, 128, 0}));
    EXPECT_EQ(PageColour(5), (Rgb{173, 216, 230}));
    EXPECT_EQ(PageColour(9), PageColour(0));
    // Lightness 79: 20 % of the way to black; lightness 25: 20 % of the way to white.
    EXPECT_EQ(InactiveColour(PageColour(5)), (Rgb{111, 187, 211}));
    EXPECT_EQ(InactiveColour(PageColour(1)), (Rgb{0, 204, 0}));
    EXPECT_EQ(InactiveColour(PageColour(2)), (Rgb{0, 153, 204}));
    // The turning point is lightness 30 exactly: channel max + min 153.
    const Rgb at30 = InactiveColour(Rgb{77, 76, 76});
    const Rgb below30 = InactiveColour(Rgb{76, 76, 76});
    EXPECT_LT(at30.r, 77);
    EXPECT_GT(below30.r, 76);
}

TEST(HeaderColours, HoveredTabAndCaption) {
    // Hue 248° + 120° snaps to red, + 270° to cyan; lightness and saturation 50 % kept.
    EXPECT_EQ(TabHoverColour(PageColour(0), false), (Rgb{199, 87, 87}));
    EXPECT_EQ(TabHoverColour(PageColour(0), true), (Rgb{87, 199, 199}));
    // Green 120° -> blue; 390° = 30° is a tie and snaps up to yellow.
    EXPECT_EQ(TabHoverColour(PageColour(1), false), (Rgb{0, 0, 128}));
    EXPECT_EQ(TabHoverColour(PageColour(1), true), (Rgb{128, 128, 0}));
    EXPECT_EQ(ContrastTextColour(PageColour(5)), (Rgb{0, 0, 0}));
    EXPECT_EQ(ContrastTextColour(PageColour(1)), (Rgb{255, 255, 255}));
    EXPECT_EQ(ContrastTextColour(PageColour(0)), (Rgb{255, 255, 255}));
}

TEST(PageTexts, CaptionTabsAndCounts) {
    EXPECT_EQ(MainCaption(1, 3, 8), Gbk("澜川_钟伴 1.3.8"));
    EXPECT_EQ(TabCaption(0), Gbk("闹钟"));
    EXPECT_EQ(TabCaption(5), Gbk("设置"));
    EXPECT_EQ(TabCaption(6), "");
    EXPECT_EQ(DragHintText(), Gbk("可以用鼠标上下拖动"));
    EXPECT_EQ(ListCountText(0, 0), Gbk("有0个闹钟"));
    EXPECT_EQ(ListCountText(3, 12), Gbk("有12个生日"));
    EXPECT_EQ(ListCountText(4, 1), Gbk("有1个日程"));
    EXPECT_EQ(ListCountText(1, 3), "");
    EXPECT_EQ(SettingsButtonCaption(0, 5), Gbk("关于钟伴"));
    EXPECT_EQ(SettingsButtonCaption(1, 0), Gbk("澜川客服聊天室"));
    EXPECT_EQ(SettingsButtonCaption(1, 3), Gbk("澜川客服聊天室(3)"));
    EXPECT_EQ(SettingsButtonCaption(2, 0), Gbk("查看帮助与更新软件"));
    EXPECT_EQ(SettingsButtonCaption(3, 0), "");
}

TEST(PageTexts, ReadoutPerPage) {
    ReadoutSource src;
    src.now = At(2025, 3, 10, 7, 5, 9);
    src.caption = MainCaption(1, 3, 8);
    EXPECT_EQ(PageReadout(0, src).text, "07:05:09");
    EXPECT_EQ(PageReadout(1, src).text, "00:00.0");
    EXPECT_EQ(PageReadout(2, src).text, "00:00:00");
    EXPECT_EQ(PageReadout(2, src).style, kReadoutSmaller);
    EXPECT_EQ(PageReadout(3, src).text, "07:05:09");
    EXPECT_EQ(PageReadout(3, src).style, kReadoutLarge);
    EXPECT_EQ(PageReadout(5, src).style, kReadoutCaption);
    EXPECT_EQ(PageReadout(5, src).text, src.caption);

    const std::vector<uint64_t> laps = {75300};
    TimerEntry a, b;
    a.seconds = 125, a.startTick = 10000;
    b.seconds = 40, b.startTick = 10000;
    const std::vector<TimerEntry> timers = {a, b};
    const std::vector<DateEntry> birthdays = {Entry("小明", 0, 2, 35)};
    const std::vector<DateEntry> schedules = {Entry("交房租", 2, 3, 0)};
    src.laps = &laps, src.timers = &timers, src.tickNow = 10000;
    src.birthdays = &birthdays, src.schedules = &schedules;
    EXPECT_EQ(PageReadout(1, src).text, "01:15.3");
    EXPECT_EQ(PageReadout(2, src).text, Gbk("40秒"));
    const Readout born = PageReadout(3, src);
    EXPECT_EQ(born.style, kReadoutTwoLines);
    EXPECT_EQ(born.text, Gbk("小明"));
    EXPECT_EQ(born.second, Gbk("还有 2 天 [35周岁]"));
    EXPECT_EQ(PageReadout(4, src).second, Gbk("还有 3 天（按月重复）"));
}

TEST(PageTexts, AlarmRows) {
    const AlarmRowText off = AlarmRowTexts(Alarm(7, 30, false), At(2025, 3, 10, 7, 0, 0));
    EXPECT_EQ(off.time, "07:30");
    EXPECT_EQ(off.line, Gbk("起床(未开启)"));
    EXPECT_TRUE(off.grey);
    const AlarmRowText soon = AlarmRowTexts(Alarm(8, 0, true), At(2025, 3, 10, 7, 59, 1));
    EXPECT_EQ(soon.line, Gbk("00:00:59 起床"));
    EXPECT_TRUE(soon.red);
    EXPECT_FALSE(AlarmRowTexts(Alarm(8, 0, true), At(2025, 3, 10, 7, 59, 0)).red);
    AlarmEntry monday = Alarm(8, 0, true);
    monday.days[1] = 1;  // 2025-03-10 is a Monday
    EXPECT_EQ(AlarmRowTexts(monday, At(2025, 3, 10, 8, 0, 1)).line, Gbk("6天23:59:59 起床"));
    EXPECT_EQ(AlarmRowTexts(Alarm(25, 0, true), At(2025, 3, 10, 8, 0, 1)).line, Gbk("起床"));
}

TEST(PageTexts, DateTimerAndLapRows) {
    const DateRowText born = BirthdayRowTexts(Entry("小明", 0, 2, 35));
    EXPECT_EQ(born.first, Gbk("小明 [35周岁]"));
    EXPECT_EQ(born.second, Gbk("1990年4月12日8时0分"));
    EXPECT_EQ(born.days, "2");
    const DateRowText plan = ScheduleRowTexts(Entry("交房租", 2, -3, 0));
    EXPECT_EQ(plan.first, Gbk("交房租"));
    EXPECT_EQ(plan.second, Gbk("每月的 12日"));
    EXPECT_EQ(plan.days, "-3");

    const std::vector<TimerEntry> timers = DefaultTimers();
    EXPECT_EQ(TimerRowText(timers, 0), Gbk("1秒"));
    EXPECT_EQ(TimerRowText(timers, 4), Gbk("10分钟"));
    EXPECT_EQ(TimerRowText(timers, 5), "");

    const std::vector<uint64_t> laps = {8000, 5000, 8000};
    EXPECT_EQ(LapRowCount(laps), 2);
    EXPECT_EQ(LapRowCount({1000}), 0);
    const LapRowText newest = LapRowTexts(laps, 0);
    EXPECT_EQ(newest.number, "2");
    EXPECT_EQ(newest.total, "00:08.0");
    EXPECT_EQ(newest.split, "+00:03.0");
    EXPECT_EQ(LapRowTexts(laps, 1).split, "+00:05.0");
    EXPECT_EQ(LapRowTexts(laps, 2).number, "");
}

TEST(PageTexts, StopwatchButtonCaptionsByState) {
    EXPECT_EQ(StopwatchButtonCaptions({}, 0).left, Gbk("开    始"));
    EXPECT_EQ(StopwatchButtonCaptions({}, 0).right, "");
    const StopwatchCaptions running = StopwatchButtonCaptions({5}, 7);
    EXPECT_EQ(running.left, Gbk("计 次"));
    EXPECT_EQ(running.right, Gbk("暂 停"));
    const StopwatchCaptions paused = StopwatchButtonCaptions({5}, 0);
    EXPECT_EQ(paused.left, Gbk("重 置"));
    EXPECT_EQ(paused.right, Gbk("继 续"));
}

// The window keeps the page's fixed layer while this key stays the same: every change the page
// shows must change it, and the clock running on must not.
TEST(FixedLayerKey, ChangesWithWhatThePageShowsOnly) {
    Alarms = {Alarm(7, 30, true), Alarm(8, 0, false)};
    Timers = {{600, 0}, {60, 0}};
    LapTimes = {5000, 2000, 3000};
    StopwatchStart = 100;
    Birthdays = {};
    for (int k = 0; k < kOptionCount; ++k)
        OptionSlots[k] = BuiltInOption(k);
    PageLook look;
    look.width = 193;
    look.height = 300;
    for (int page = 0; page < kPageCount; ++page) {
        look.page = page;
        const std::string before = FixedLayerKey(look);
        LapTimes[0] += 700;        // the running stopwatch's total moves on
        Timers[1].startTick += 1;  // only when it was started differs, not whether it runs
        EXPECT_EQ(FixedLayerKey(look), before) << "page " << page;
    }

    look.page = 0;
    std::string key = FixedLayerKey(look);
    Alarms[1].enabled = 1;  // a one-shot alarm switched off by the tick, or a click
    EXPECT_NE(FixedLayerKey(look), key);
    key = FixedLayerKey(look);
    Alarms[0].days[3] = 1;
    EXPECT_NE(FixedLayerKey(look), key);
    key = FixedLayerKey(look);
    look.hotItem = 11;
    EXPECT_NE(FixedLayerKey(look), key);
    key = FixedLayerKey(look);
    look.scroll = -35;
    EXPECT_NE(FixedLayerKey(look), key);

    look.page = 1;
    key = FixedLayerKey(look);
    StopwatchStart = 0;  // paused: the buttons change
    EXPECT_NE(FixedLayerKey(look), key);
    key = FixedLayerKey(look);
    LapTimes.push_back(1000);  // a new lap row
    EXPECT_NE(FixedLayerKey(look), key);

    look.page = 2;
    key = FixedLayerKey(look);
    Timers[0].startTick = 42;  // started: its box shows the tick
    EXPECT_NE(FixedLayerKey(look), key);

    look.page = 3;
    Birthdays.resize(1);
    key = FixedLayerKey(look);
    Birthdays[0].daysLeft = 5;  // the minute pass recomputed it
    EXPECT_NE(FixedLayerKey(look), key);

    look.page = kSettingsPage;
    key = FixedLayerKey(look);
    SetOptionFlag(kOptionTabsBelow, !OptionOn(kOptionTabsBelow));
    EXPECT_NE(FixedLayerKey(look), key);
    key = FixedLayerKey(look);
    look.serviceUnread = 3;
    EXPECT_NE(FixedLayerKey(look), key);
    key = FixedLayerKey(look);
    look.height = 400;  // resized
    EXPECT_NE(FixedLayerKey(look), key);
}

// The tick repaints only when the frame would change: each second of the clock, and the running
// stopwatch's tenths on its own page only.
TEST(TickFrameKey, ChangesWithWhatATickShows) {
    Timers.clear();
    StopwatchStart = 0;
    PageLook look;
    look.page = kStopwatchPage;
    TickMoment moment{At(2026, 12, 8, 7, 30, 0), 1000, 5000, 0};
    const std::string idle = TickFrameKey(look, moment);
    moment.mediaTime += 150;
    moment.tickCount += 150;
    EXPECT_EQ(TickFrameKey(look, moment), idle);
    moment.now.second = 1;
    EXPECT_NE(TickFrameKey(look, moment), idle);

    StopwatchStart = 500;
    const std::string running = TickFrameKey(look, moment);
    moment.mediaTime += 100;
    EXPECT_NE(TickFrameKey(look, moment), running);
    look.page = kAlarmPage;
    const std::string elsewhere = TickFrameKey(look, moment);
    moment.mediaTime += 100;
    EXPECT_EQ(TickFrameKey(look, moment), elsewhere);
    StopwatchStart = 0;
}
