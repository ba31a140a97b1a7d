#include "clock/alarms/timer_rules.h"

#include "forms/gbk.h"

std::string FormatDuration(int n) {
    static const std::string kHours = Gbk("小时");
    static const std::string kMinutes = Gbk("分钟");
    static const std::string kSeconds = Gbk("秒");
    if (n <= 0) return std::string();
    const int h = n / 3600;
    const int m = (n - 3600 * h) / 60;
    const int s = n - 3600 * h - 60 * m;
    const std::string hours = h >= 1 ? std::to_string(h) + kHours : std::string();
    std::string minutes = m >= 1 ? std::to_string(m) + kMinutes : std::string();
    const std::string secs = s >= 1 ? std::to_string(s) + kSeconds : std::string();
    if (minutes.empty() && !hours.empty() && !secs.empty()) minutes = "0" + kMinutes;
    return hours + minutes + secs;
}

uint64_t TimerStartTick(uint32_t tickNow) {
    return tickNow == 0 ? 1 : tickNow;
}

int TimerElapsedSeconds(const TimerEntry& timer, uint32_t tickNow) {
    const uint32_t elapsedMs = tickNow - static_cast<uint32_t>(timer.startTick);
    return static_cast<int>(elapsedMs / 1000);
}

int TimerRemainingSeconds(const TimerEntry& timer, uint32_t tickNow) {
    if (timer.startTick == 0) return timer.seconds;
    // 64-bit: a hand-edited duration may be any 32-bit number, the most negative one included.
    const int64_t left = int64_t{timer.seconds} - TimerElapsedSeconds(timer, tickNow);
    return left < INT32_MIN ? INT32_MIN : static_cast<int>(left);
}

std::string LeastRemainingText(const std::vector<TimerEntry>& timers, uint32_t tickNow) {
    // 0 doubles as "none yet": any later running timer's value replaces it.
    int least = 0;
    for (const TimerEntry& timer : timers) {
        if (timer.startTick == 0) continue;
        const int left = TimerRemainingSeconds(timer, tickNow);
        if (least == 0 || left < least) least = left;
    }
    return least > 0 ? FormatDuration(least) : std::string("00:00:00");
}

int TimerIndexOfRow(size_t count, int row) {
    if (row < 0 || static_cast<size_t>(row) >= count) return -1;
    return static_cast<int>(count) - 1 - row;
}

// The mapping is its own inverse.
int TimerRowOfIndex(size_t count, int index) {
    return TimerIndexOfRow(count, index);
}

int TimerRowOfItem(int itemCode, size_t count) {
    if (itemCode < 10) return -1;
    const int row = itemCode / 10 - 1;
    return TimerIndexOfRow(count, row) < 0 ? -1 : row;
}

bool ToggleTimerAtRow(std::vector<TimerEntry>& timers, int row, uint32_t tickNow) {
    const int i = TimerIndexOfRow(timers.size(), row);
    if (i < 0) return false;
    TimerEntry& timer = timers[i];
    timer.startTick = timer.startTick != 0 ? 0 : TimerStartTick(tickNow);
    return true;
}

bool DeleteTimerAtRow(std::vector<TimerEntry>& timers, int row) {
    const int i = TimerIndexOfRow(timers.size(), row);
    if (i < 0) return false;
    timers.erase(timers.begin() + i);
    return true;
}

void SplitDuration(int total, int* hours, int* minutes, int* seconds) {
    *hours = total / 3600;
    *minutes = total % 3600 / 60;
    *seconds = total % 60;
}

bool SaveTimerEdit(std::vector<TimerEntry>& timers, int row, int hours, int minutes, int seconds,
                   uint32_t tickNow, std::string* message) {
    message->clear();
    int index = -1;
    if (row >= 0) {
        index = TimerIndexOfRow(timers.size(), row);
        if (index < 0) return false;
    }
    const int total = 3600 * hours + 60 * minutes + seconds;
    // The edited timer counts too: saving a timer unchanged is refused like any duplicate.
    for (const TimerEntry& timer : timers) {
        if (timer.seconds == total) {
            *message = Gbk("你设置的时间已经存在了。");
            return false;
        }
    }
    if (index < 0) {
        timers.push_back(TimerEntry());
        index = static_cast<int>(timers.size()) - 1;
    }
    timers[index].seconds = total;
    timers[index].startTick = TimerStartTick(tickNow);
    return true;
}
