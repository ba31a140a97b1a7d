// The tick engine: run by the main window's 100 ms timer, it rings alarms, ends count-down timers,
// starts the hourly network time check, refreshes and reminds birthdays and schedules once a
// minute, and repaints the main window. Acts on the process-wide lists of clock_data.h and on the
// outside world only through clock/core/platform.h. GUI thread only.
#pragma once

#include <cstdint>
#include <string>

#include "clock/alarms/alarm_rules.h"

constexpr uint32_t kNetCheckPeriodMs = 3600000;
constexpr uint32_t kDateCheckPeriodMs = 60000;
constexpr uint32_t kLastSeenPeriodMs = 3600000;  // LastSeen is written at least this often

// Multimedia ticks of the last network check start and of the last birthday/schedule pass; 0 at
// program start.
extern uint32_t LastNetCheck;
extern uint32_t LastDateCheck;

// One tick: CheckAlarms, KeepWakeTimer, CheckTimers, CheckSnoozes, LastSeen at the first tick and
// hourly, the hourly network check (option 6), the per-minute date pass, then RepaintMainWindow.
void Tick();

// Rings every enabled alarm with a ring moment since the previous check (AlarmRingMomentBetween:
// at most kRingWindowSeconds back), never the same moment twice in a row; a one-shot alarm is
// switched off as it rings and the list saved after the ringing.
// Moments that lie further back are missed, not rung: the computer slept, or the program did not
// run (at the first check: since the LastSeen of the previous run, SetLastSeenAtStart). They are
// told in one "错过的闹钟" pop-up, their actions never run, and missed one-shots switch off.
void CheckAlarms();

// When the previous run last saw the clock (LoadResult::lastSeen); the first CheckAlarms tells
// what was missed since. kNoLastSeen: nothing is told.
void SetLastSeenAtStart(int64_t lastSeen);

// Writes LastSeen = now: at suspend, at exit, at the end of the session.
void RecordLastSeen();

// Keeps the wake timer armed for the next ring of any enabled alarm while the wake option is on,
// and cancelled otherwise. The timer is set again only when that moment changes, or always when
// forced: after a resume, or when the clock or its time zone changed. The first failure of a run
// is kept to be told (WakeProblemWaiting).
void KeepWakeTimer(bool force);

// The moment (ToSeconds, local) the wake timer is armed for, or 0 when none is.
int64_t ArmedWakeMoment();

// The failure to arm the wake timer, to be told once per run; kArmed when there is none (left).
bool WakeProblemWaiting();
WakeArm TakeWakeProblem();

// The alarm pop-up's "稍后提醒": the same reminder comes back after minutes, its second line marked
// (SnoozedSecondText), without the alarm's action. Kept in memory only.
void SnoozeAlarmReminder(const std::string& firstText, const std::string& secondText, int minutes);

// Raises the snoozed reminders that have come due (also those due while the computer slept).
void CheckSnoozes();

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

// Puts LastNetCheck, LastDateCheck, the previous alarm check and date pass, the wake timer's
// state, the snoozes and LastSeen back to their program-start values.
void ResetTickState();
