#include "clock/alarms/stopwatch.h"

#include <cinttypes>
#include <cstdio>

StopwatchState GetStopwatchState(const std::vector<uint64_t>& laps, uint64_t start) {
    if (laps.empty()) return kStopwatchReset;
    return start != 0 ? kStopwatchRunning : kStopwatchPaused;
}

std::string FormatStopwatch(uint64_t ms) {
    const uint64_t tenths = ms / 100;
    const uint64_t minutes = tenths / 600;
    const unsigned inMinute = static_cast<unsigned>(tenths % 600);
    char text[40];
    std::snprintf(text, sizeof text, "%02" PRIu64 ":%02u.%u", minutes, inMinute / 10, inMinute % 10);
    return text;
}

std::string StopwatchBandText(const std::vector<uint64_t>& laps) {
    return laps.empty() ? std::string("00:00.0") : FormatStopwatch(laps[0]);
}

uint64_t StopwatchStartTick(uint32_t mediaNow) {
    return mediaNow == 0 ? 1 : mediaNow;
}

void AccumulateStopwatch(std::vector<uint64_t>& laps, uint64_t& start, uint32_t mediaNow) {
    if (GetStopwatchState(laps, start) != kStopwatchRunning) return;
    laps[0] += static_cast<uint32_t>(mediaNow - static_cast<uint32_t>(start));
    start = StopwatchStartTick(mediaNow);
}

bool StopwatchClick(std::vector<uint64_t>& laps, uint64_t& start, int itemCode, uint32_t mediaNow) {
    const bool left = itemCode == kStopwatchLeftItem;
    if (!left && itemCode != kStopwatchRightItem) return false;
    switch (GetStopwatchState(laps, start)) {
        case kStopwatchReset:
            if (!left) return false;
            laps.assign(1, 0);
            start = StopwatchStartTick(mediaNow);
            return true;
        case kStopwatchRunning:
            if (left) {
                laps.push_back(laps[0]);
            } else {
                start = 0;
            }
            return true;
        case kStopwatchPaused:
            if (left) {
                laps.clear();
            } else {
                start = StopwatchStartTick(mediaNow);
            }
            return true;
    }
    return false;
}

uint64_t LapSplit(const std::vector<uint64_t>& laps, size_t k) {
    if (k == 0 || k >= laps.size()) return 0;
    return k == 1 ? laps[1] : laps[k] - laps[k - 1];
}
