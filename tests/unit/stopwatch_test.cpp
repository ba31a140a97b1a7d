#include "clock/alarms/stopwatch.h"

#include <gtest/gtest.h>

TEST(FormatStopwatch, MinutesNeverCarryIntoHours) {
    EXPECT_EQ(FormatStopwatch(75300), "01:15.3");
    EXPECT_EQ(FormatStopwatch(7200000), "120:00.0");
    EXPECT_EQ(FormatStopwatch(0), "00:00.0");
    EXPECT_EQ(FormatStopwatch(99), "00:00.0");  // tenths are cut, not rounded
    EXPECT_EQ(FormatStopwatch(59999), "00:59.9");
    EXPECT_EQ(FormatStopwatch(60000), "01:00.0");
    EXPECT_EQ(FormatStopwatch(86399900), "1439:59.9");
}

TEST(StopwatchBand, ResetShowsZero) {
    EXPECT_EQ(StopwatchBandText({}), "00:00.0");
    EXPECT_EQ(StopwatchBandText({95210, 30000}), "01:35.2");
}

TEST(StopwatchButtons, StartLapPauseContinueReset) {
    std::vector<uint64_t> laps;
    uint64_t start = 0;
    EXPECT_EQ(GetStopwatchState(laps, start), kStopwatchReset);
    EXPECT_FALSE(StopwatchClick(laps, start, kStopwatchRightItem, 500));  // no right button yet
    ASSERT_TRUE(StopwatchClick(laps, start, kStopwatchLeftItem, 1000));
    EXPECT_EQ(GetStopwatchState(laps, start), kStopwatchRunning);
    ASSERT_EQ(laps.size(), 1u);
    EXPECT_EQ(laps[0], 0u);
    EXPECT_EQ(start, 1000u);

    AccumulateStopwatch(laps, start, 6000);
    ASSERT_TRUE(StopwatchClick(laps, start, kStopwatchLeftItem, 6050));  // lap: entry 0 as accumulated
    AccumulateStopwatch(laps, start, 9000);
    ASSERT_TRUE(StopwatchClick(laps, start, kStopwatchLeftItem, 9000));
    ASSERT_EQ(laps.size(), 3u);
    EXPECT_EQ(laps[1], 5000u);
    EXPECT_EQ(laps[2], 8000u);
    EXPECT_EQ(LapSplit(laps, 1), 5000u);
    EXPECT_EQ(LapSplit(laps, 2), 3000u);
    EXPECT_EQ(LapSplit(laps, 3), 0u);

    ASSERT_TRUE(StopwatchClick(laps, start, kStopwatchRightItem, 9100));
    EXPECT_EQ(GetStopwatchState(laps, start), kStopwatchPaused);
    AccumulateStopwatch(laps, start, 50000);  // paused: nothing is counted
    EXPECT_EQ(laps[0], 8000u);
    ASSERT_TRUE(StopwatchClick(laps, start, kStopwatchRightItem, 60000));
    EXPECT_EQ(start, 60000u);
    AccumulateStopwatch(laps, start, 61000);
    EXPECT_EQ(laps[0], 9000u);

    ASSERT_TRUE(StopwatchClick(laps, start, kStopwatchRightItem, 61000));
    ASSERT_TRUE(StopwatchClick(laps, start, kStopwatchLeftItem, 62000));
    EXPECT_TRUE(laps.empty());
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(GetStopwatchState(laps, start), kStopwatchReset);
    EXPECT_FALSE(StopwatchClick(laps, start, 12, 62000));
}

TEST(StopwatchAccumulation, WrapSafeOnTheMultimediaTick) {
    std::vector<uint64_t> laps = {1000};
    uint64_t start = 0xFFFFF000u;
    AccumulateStopwatch(laps, start, 0x800);
    EXPECT_EQ(laps[0], 1000u + 0x1800u);
    EXPECT_EQ(start, 0x800u);
}

TEST(StopwatchAccumulation, StartOrCatchUpAtTickZeroKeepsRunning) {
    std::vector<uint64_t> laps;
    uint64_t start = 0;
    ASSERT_TRUE(StopwatchClick(laps, start, kStopwatchLeftItem, 0));
    EXPECT_EQ(GetStopwatchState(laps, start), kStopwatchRunning);
    start = 0xFFFFFF00u;
    AccumulateStopwatch(laps, start, 0);
    EXPECT_EQ(laps[0], 0x100u);
    EXPECT_EQ(GetStopwatchState(laps, start), kStopwatchRunning);
}
