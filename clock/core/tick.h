// The tick engine: run by the main window's 100 ms timer, it rings alarms, ends count-down timers,
// starts the hourly network time check, refreshes and reminds birthdays and schedules once a
// minute, and repaints the main window. Acts on the process-wide lists of clock_data.h and on the
// outside world only through clock/core/platform.h. GUI thread only.
#pragma once

#include <cstdint>
#include <string>

constexpr uint32_t kNetCheckPeriodMs = 3600000;
constexpr uint32_t kDateCheckPeriodMs = 60000;

// Multimedia ticks of the last network check start and of the last birthday/schedule pass; 0 at
// program start.
extern uint32_t LastNetCheck;
extern uint32_t LastDateCheck;

// One tick: CheckAlarms, CheckTimers, the hourly network check (option 6), the per-minute date
// pass, then RepaintMainWindow.
void Tick();

// Rings every enabled alarm with a ring moment since the previous check (AlarmRingMomentBetween:
// at most kRingWindowSeconds back), never the same moment twice in a row; a one-shot alarm is
// switched off as it rings and the list saved after the ringing.
void CheckAlarms();

// Stops every running timer whose duration has passed and raises its reminder. Saves nothing.
void CheckTimers();

// Recomputes and sorts birthdays and schedules for today and raises their due reminders: each
// entry at most once a day while within its advance days (every reminded flag is cleared when the
// local date differs from the previous pass's, and an editor's save clears a schedule's).
void CheckDates();

// The warnings (GBK) of alarm files that could not be opened as their alarms rang, oldest first,
// each taken once: the main window shows them after the tick, never from inside it.
bool AlarmFileProblemsWaiting();
std::string TakeAlarmFileProblem();

// Puts LastNetCheck, LastDateCheck and the previous alarm check and date pass back to their
// program-start values.
void ResetTickState();
