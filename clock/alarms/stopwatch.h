// Stopwatch rules without side effects, on the two values that are its whole state: the list of
// laps (entry 0 the running total in milliseconds, entries 1.. the totals at each lap) and the
// start tick (the 32-bit multimedia tick widened to 64 bits, up to which entry 0 is counted;
// 0 = not running). After a button action that reports a change the caller saves both
// (SaveLaps, then WriteSetting("秒表", start)).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "clock/core/page_layout.h"

enum StopwatchState { kStopwatchReset, kStopwatchRunning, kStopwatchPaused };

// Reset while there are no laps (whatever the start tick says); otherwise running while the start
// tick is non-zero, else paused.
StopwatchState GetStopwatchState(const std::vector<uint64_t>& laps, uint64_t start);

// "mm:ss.t": minutes at least two digits and never carried into hours, seconds with one decimal.
// 75300 -> "01:15.3"; two hours -> "120:00.0".
std::string FormatStopwatch(uint64_t ms);

// The top band's text: FormatStopwatch(laps[0]), or "00:00.0" when reset.
std::string StopwatchBandText(const std::vector<uint64_t>& laps);

// Brings a running stopwatch's total up to mediaNow: entry 0 += (mediaNow - start) taken modulo
// 2^32, so the multimedia tick wrapping between two drawings costs nothing; then start := mediaNow.
// Does nothing unless running.
void AccumulateStopwatch(std::vector<uint64_t>& laps, uint64_t& start, uint32_t mediaNow);

// The start tick stored for a start at mediaNow: 0 means not running, so tick 0 is stored as 1.
uint64_t StopwatchStartTick(uint32_t mediaNow);

// A click on the left (10) or right (11) button: reset -> 10 starts; running -> 10 takes a lap
// (a copy of entry 0 as last accumulated), 11 pauses; paused -> 10 resets (empties the laps),
// 11 continues. Returns true when something changed; false for 11 in the reset state or any
// other code.
bool StopwatchClick(std::vector<uint64_t>& laps, uint64_t& start, int itemCode, uint32_t mediaNow);

// The split of lap k (1..last): entry k - entry k-1, lap 1 being its own split. 0 for a k
// outside 1..last.
uint64_t LapSplit(const std::vector<uint64_t>& laps, size_t k);
