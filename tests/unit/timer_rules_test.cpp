#include "clock/alarms/timer_rules.h"

#include <gtest/gtest.h>

#include "forms/gbk.h"

namespace {

TimerEntry Timer(int seconds, uint64_t startTick = 0) {
    TimerEntry t;
    t.seconds = seconds;
    t.startTick = startTick;
    return t;
}

std::vector<TimerEntry> DefaultList() {
    return {Timer(600), Timer(180), Timer(60), Timer(30), Timer(1)};
}

}  // namespace

TEST(FormatDuration, NonZeroPartsWithAMinuteFiller) {
    EXPECT_EQ(FormatDuration(600), Gbk("10分钟"));
    EXPECT_EQ(FormatDuration(3605), Gbk("1小时0分钟5秒"));
    EXPECT_EQ(FormatDuration(3660), Gbk("1小时1分钟"));
    EXPECT_EQ(FormatDuration(3600), Gbk("1小时"));
    EXPECT_EQ(FormatDuration(90), Gbk("1分钟30秒"));
    EXPECT_EQ(FormatDuration(1), Gbk("1秒"));
    EXPECT_EQ(FormatDuration(359999), Gbk("99小时59分钟59秒"));
    EXPECT_EQ(FormatDuration(0), "");
}

TEST(TimerElapsed, WholeSecondsSinceStart) {
    EXPECT_EQ(TimerRemainingSeconds(Timer(10, 1000), 1999), 10);
    EXPECT_EQ(TimerRemainingSeconds(Timer(10, 1000), 2000), 9);
    EXPECT_EQ(TimerRemainingSeconds(Timer(10), 123456), 10);  // stopped: the full duration
}

TEST(TimerElapsed, SurvivesTheTickWrappingAround) {
    // Started 1000 ms before the 32-bit tick wraps; 1500 ms later the tick reads 500.
    const TimerEntry t = Timer(5, 0xFFFFFC18u);
    EXPECT_EQ(TimerElapsedSeconds(t, 500), 1);
    EXPECT_EQ(TimerRemainingSeconds(t, 500), 4);
    EXPECT_EQ(TimerRemainingSeconds(t, 4000), 0);
}

TEST(LeastRemainingText, SmallestLeftAmongRunningTimers) {
    const std::vector<TimerEntry> timers = {Timer(125, 10000), Timer(9), Timer(40, 10000)};
    EXPECT_EQ(LeastRemainingText(timers, 10000), Gbk("40秒"));
    EXPECT_EQ(LeastRemainingText(timers, 12500), Gbk("38秒"));
    EXPECT_EQ(LeastRemainingText({Timer(40, 10000), Timer(125, 10000)}, 10000), Gbk("40秒"));
}

TEST(LeastRemainingText, NoneRunning) {
    EXPECT_EQ(LeastRemainingText(DefaultList(), 5000), "00:00:00");
    EXPECT_EQ(LeastRemainingText({}, 5000), "00:00:00");
}

TEST(TimerRows, LastEntryOnTheTopRow) {
    const std::vector<TimerEntry> timers = DefaultList();
    const std::vector<std::string> expected = {Gbk("1秒"), Gbk("30秒"), Gbk("1分钟"), Gbk("3分钟"),
                                               Gbk("10分钟")};
    for (int row = 0; row < 5; ++row) {
        const int i = TimerIndexOfRow(timers.size(), row);
        ASSERT_GE(i, 0);
        EXPECT_EQ(FormatDuration(timers[i].seconds), expected[row]) << row;
        EXPECT_EQ(TimerRowOfIndex(timers.size(), i), row);
    }
    EXPECT_EQ(TimerIndexOfRow(5, 5), -1);
    EXPECT_EQ(TimerRowOfItem(53, 5), 4);
    EXPECT_EQ(TimerRowOfItem(61, 5), -1);
}

TEST(TimerPage, StartStopAndRestartFromTheFullDuration) {
    std::vector<TimerEntry> timers = DefaultList();
    ASSERT_TRUE(ToggleTimerAtRow(timers, 0, 5000));  // row 0 is the 1-second timer
    EXPECT_EQ(timers[4].startTick, 5000u);
    ASSERT_TRUE(ToggleTimerAtRow(timers, 0, 5400));
    EXPECT_EQ(timers[4].startTick, 0u);
    ASSERT_TRUE(ToggleTimerAtRow(timers, 0, 9000));
    EXPECT_EQ(TimerRemainingSeconds(timers[4], 9000), 1);
    ASSERT_TRUE(ToggleTimerAtRow(timers, 4, 0));  // the 10-minute timer at tick 0
    EXPECT_EQ(timers[0].startTick, 1u);
    EXPECT_FALSE(ToggleTimerAtRow(timers, 5, 100));
}

TEST(TimerPage, DeleteByDisplayRowAtOnce) {
    std::vector<TimerEntry> timers = DefaultList();
    ASSERT_TRUE(DeleteTimerAtRow(timers, 1));  // 30 s, list index 3
    ASSERT_EQ(timers.size(), 4u);
    EXPECT_EQ(timers[3].seconds, 1);
    EXPECT_EQ(timers[2].seconds, 60);
    EXPECT_FALSE(DeleteTimerAtRow(timers, 4));
}

TEST(TimerEditor, NewTimerIsAppendedAndStarted) {
    std::vector<TimerEntry> timers = DefaultList();
    std::string message;
    ASSERT_TRUE(SaveTimerEdit(timers, -1, 1, 2, 3, 7000, &message));
    ASSERT_EQ(timers.size(), 6u);
    EXPECT_EQ(timers[5].seconds, 3723);
    EXPECT_EQ(timers[5].startTick, 7000u);
    EXPECT_TRUE(message.empty());
}

TEST(TimerEditor, EditChangesTheRowsEntryAndStartsIt) {
    std::vector<TimerEntry> timers = DefaultList();
    std::string message;
    ASSERT_TRUE(SaveTimerEdit(timers, 1, 0, 0, 45, 0, &message));  // row 1 = index 3 (30 s)
    EXPECT_EQ(timers[3].seconds, 45);
    EXPECT_EQ(timers[3].startTick, 1u);
    EXPECT_EQ(timers.size(), 5u);
    EXPECT_FALSE(SaveTimerEdit(timers, 5, 0, 0, 46, 0, &message));
    EXPECT_TRUE(message.empty());
}

TEST(TimerEditor, AnyEqualDurationIsRefusedEvenTheEditedOne) {
    std::vector<TimerEntry> timers = DefaultList();
    std::string message;
    EXPECT_FALSE(SaveTimerEdit(timers, 0, 0, 0, 1, 100, &message));  // unchanged 1-second timer
    EXPECT_EQ(message, Gbk("你设置的时间已经存在了。"));
    EXPECT_EQ(timers[4].startTick, 0u);
    EXPECT_FALSE(SaveTimerEdit(timers, -1, 0, 10, 0, 100, &message));
    EXPECT_EQ(timers.size(), 5u);
}

TEST(TimerEditor, SplitDurationForTheSpinners) {
    int h = -1, m = -1, s = -1;
    SplitDuration(3605, &h, &m, &s);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(s, 5);
}
