// Timing figures of the clock's hot paths (printed by scripts/bench; nothing here asserts a time).
#include <benchmark/benchmark.h>

#include "clock/calendar/date_entries.h"
#include "clock/calendar/lunar.h"
#include "clock/core/clock_data.h"
#include "clock/core/tick.h"
#include "tests/unit/fake_platform.h"

namespace {

void BM_SolarToLunar(benchmark::State& state) {
    int day = 0;
    for (auto _ : state) {
        // Walk through a year of dates so the branch predictor cannot learn one answer.
        benchmark::DoNotOptimize(SolarToLunar(2024, 1 + (day / 28) % 12, 1 + day % 28));
        ++day;
    }
}
BENCHMARK(BM_SolarToLunar);

void BM_LunarToSolar(benchmark::State& state) {
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(LunarToSolar(1900 + i % 201, 1 + i % 12, 1 + i % 29, false));
        ++i;
    }
}
BENCHMARK(BM_LunarToSolar);

// Every kind of entry the minute pass meets: both calendars, leap months, all repeat modes.
DateEntry MakeEntry(int i, bool schedule) {
    DateEntry e;
    e.name = "entry" + std::to_string(i);
    e.calendar = i % 3;
    e.year = 1950 + i % 70;
    e.month = 1 + i % 12;
    e.day = 1 + i % 30;
    if (e.calendar == kLunarLeap) e.month = 4;  // 1952 etc. may lack it: the null-date path runs too
    e.aheadDays = i % 8;
    e.repeat = schedule ? i % 4 : 0;
    return e;
}

// The per-minute pass: recompute, sort and check 1000 birthdays and 1000 schedules.
void BM_MinutePass1000Birthdays1000Schedules(benchmark::State& state) {
    ResetFakePlatform();
    Birthdays.clear();
    Schedules.clear();
    for (int i = 0; i < 1000; ++i) {
        Birthdays.push_back(MakeEntry(i, false));
        Schedules.push_back(MakeEntry(i, true));
    }
    SetFakeNow(2026, 12, 8, 10, 0, 30);
    for (auto _ : state) {
        CheckDates();
        benchmark::DoNotOptimize(Birthdays.data());
        benchmark::DoNotOptimize(Schedules.data());
    }
}
BENCHMARK(BM_MinutePass1000Birthdays1000Schedules)->Unit(benchmark::kMicrosecond);

// One 100 ms tick with 100 enabled alarms and 100 running timers, none of them due: the work the
// engine does ten times a second (the per-minute date pass is not due in it).
void BM_Tick100Alarms100Timers(benchmark::State& state) {
    ResetFakePlatform();
    ResetTickState();
    Alarms.clear();
    Timers.clear();
    Birthdays.clear();
    Schedules.clear();
    for (int i = 0; i < 100; ++i) {
        AlarmEntry alarm;
        alarm.hour = i % 24;
        alarm.minute = (i * 7) % 60;
        alarm.enabled = 1;
        for (int d = 1; d <= 7; ++d)
            alarm.days[d] = static_cast<uint8_t>((i + d) % 2);
        Alarms.push_back(alarm);
        TimerEntry timer;
        timer.seconds = 3600 + i;
        timer.startTick = 1000;
        Timers.push_back(timer);
    }
    SetFakeNow(2026, 12, 8, 10, 0, 30);
    Fake().tickCount = 5000;
    Fake().mediaTime = 5000;
    LastDateCheck = Fake().mediaTime;
    for (auto _ : state) {
        Tick();
    }
    if (!Fake().reminders.empty()) state.SkipWithError("a reminder was raised during the benchmark");
}
BENCHMARK(BM_Tick100Alarms100Timers);

}  // namespace

BENCHMARK_MAIN();
