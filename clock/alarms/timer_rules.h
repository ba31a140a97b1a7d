// Count-down timer rules without side effects: the duration text, the time left on the 32-bit
// millisecond system tick, the top band's text, the timer page's clicks and the editor's save. The
// caller saves the list (SaveTimers) whenever a function here reports a change. Texts are GBK.
//
// The page shows the list bottom-up: display row r stands for list index (last index - r).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "clock/core/clock_data.h"

// "1小时0分钟5秒", "10分钟", "1秒": the parts that are not zero, "0分钟" filling the gap between
// hours and seconds. 0 (and anything below) gives "".
std::string FormatDuration(int seconds);

// The value startTick takes for a start at tickNow. 0 means stopped, so a start that falls on
// tick 0 is stored as 1 (one millisecond late, never lost).
uint64_t TimerStartTick(uint32_t tickNow);

// Whole seconds elapsed since the timer started, wrap-safe on the 32-bit tick: the difference is
// taken modulo 2^32, so a timer started just before the tick wraps still counts correctly.
int TimerElapsedSeconds(const TimerEntry& timer, uint32_t tickNow);

// seconds - elapsed whole seconds for a running timer; the full duration for a stopped one.
int TimerRemainingSeconds(const TimerEntry& timer, uint32_t tickNow);

// The top band of the timer page: FormatDuration of the least time left among running timers,
// or "00:00:00" when none runs (or the least left is not positive).
std::string LeastRemainingText(const std::vector<TimerEntry>& timers, uint32_t tickNow);

// Display row <-> list index for a list of count timers; -1 when outside the list.
int TimerIndexOfRow(size_t count, int row);
int TimerRowOfIndex(size_t count, int index);

// The display row of a page item code (floor(code / 10) - 1), or -1 outside the list.
int TimerRowOfItem(int itemCode, size_t count);

// Start/stop box of display row: a running timer stops, a stopped one starts from its full
// duration at tickNow. False (nothing changed) for a row outside the list.
bool ToggleTimerAtRow(std::vector<TimerEntry>& timers, int row, uint32_t tickNow);

// Deletes the timer of display row at once. False for a row outside the list.
bool DeleteTimerAtRow(std::vector<TimerEntry>& timers, int row);

// Spinner positions of a duration: hours, minutes 0..59, seconds 0..59.
void SplitDuration(int total, int* hours, int* minutes, int* seconds);

// The editor's save: total = 3600·hours + 60·minutes + seconds. row -1 appends a new timer, else
// changes the timer of that display row. Returns false, nothing changed, when any timer of the
// list - the edited one included - already has that duration (*message := "你设置的时间已经存在了。")
// or when row lies outside the list (*message := ""). A saved timer starts at once at tickNow.
bool SaveTimerEdit(std::vector<TimerEntry>& timers, int row, int hours, int minutes, int seconds,
                   uint32_t tickNow, std::string* message);
