#include "clock/alarms/reminder_rules.h"

#include <algorithm>

#include "forms/gbk.h"

namespace {

uint8_t BlinkChannel(uint8_t c) {
    return static_cast<uint8_t>(c >= 128 ? c - 50 : c + 50);
}

}  // namespace

Rgb ReminderColour(int kind) {
    switch (kind) {
        case kReminderTimer:
            return Rgb{0, 191, 255};
        case kReminderBirthday:
            return Rgb{188, 143, 143};
        case kReminderSchedule:
            return Rgb{107, 142, 35};
        default:
            return Rgb{106, 90, 205};
    }
}

Rgb BlinkColour(Rgb colour) {
    return Rgb{BlinkChannel(colour.r), BlinkChannel(colour.g), BlinkChannel(colour.b)};
}

std::string ReminderSoundFile(int kind) {
    static const std::string kFiles[] = {Gbk("闹钟声.wav"), Gbk("计时声.wav"), Gbk("生日声.wav"),
                                         Gbk("日程声.wav")};
    switch (kind) {
        case kReminderTimer:
            return kFiles[1];
        case kReminderBirthday:
            return kFiles[2];
        case kReminderSchedule:
            return kFiles[3];
        default:
            return kFiles[0];
    }
}

std::string ReminderFieldText(const std::string& text, size_t maxBytes) {
    return CutGbk(text, maxBytes);
}

int FirstFreeReminderSlot(const std::vector<int>& taken) {
    int slot = 0;
    while (std::find(taken.begin(), taken.end(), slot) != taken.end())
        ++slot;
    return slot;
}

ScreenPoint ReminderPlace(int n, int width, int height, const ScreenRect& workArea) {
    const int64_t cellWidth = static_cast<int64_t>(width) + kReminderGap;
    const int64_t cellHeight = static_cast<int64_t>(height) + kReminderGap;
    const int64_t span = static_cast<int64_t>(workArea.right) - workArea.left;
    int64_t columns = cellWidth > 0 ? span / cellWidth : 1;
    if (columns < 1) columns = 1;  // narrower than one pop-up: a single column
    const int64_t index = n < 0 ? 0 : n;
    const int64_t x = workArea.right - (index % columns) * cellWidth - cellWidth;
    const int64_t y = workArea.bottom - (index / columns + 1) * cellHeight;
    return ScreenPoint{static_cast<int>(x), static_cast<int>(y)};
}

bool ReminderSoundExpired(uint32_t lastRaiseTick, uint32_t tickNow) {
    return lastRaiseTick != 0 && static_cast<uint32_t>(tickNow - lastRaiseTick) > kReminderSoundMs;
}

std::string SnoozedSecondText(const std::string& secondText) {
    static const std::string kMark = Gbk("（稍后提醒）");
    const std::string text = ReminderFieldText(secondText, kReminderSecondBytes);
    if (text.size() >= kMark.size() && text.compare(text.size() - kMark.size(), kMark.size(), kMark) == 0)
        return text;
    return ReminderFieldText(text, kReminderSecondBytes - kMark.size()) + kMark;
}

bool SnoozeDue(uint32_t startTick, int minutes, uint32_t tickNow) {
    return static_cast<uint32_t>(tickNow - startTick) >= static_cast<uint32_t>(minutes) * 60000u;
}

int ShutdownRemainingMs(uint32_t startTick, uint32_t tickNow) {
    const uint32_t elapsed = tickNow - startTick;
    return elapsed >= kShutdownCountdownMs ? 0 : static_cast<int>(kShutdownCountdownMs - elapsed);
}

std::string ShutdownCountdownText(int remainingMs) {
    const int tenths = remainingMs <= 0 ? 0 : remainingMs / 100;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

std::string ShutdownHeadline(int mode) {
    static const std::string kPowerOff = Gbk("即将关闭电脑"), kRestart = Gbk("即将重启电脑");
    return mode == kShutdownPowerOff ? kPowerOff : kRestart;
}

std::string ShutdownFailedHeadline(int mode) {
    static const std::string kPowerOff = Gbk("无法关闭电脑"), kRestart = Gbk("无法重启电脑");
    return mode == kShutdownPowerOff ? kPowerOff : kRestart;
}

std::string ShutdownFailedAdvice(int mode) {
    static const std::string kPowerOff = Gbk("请手动关机"), kRestart = Gbk("请手动重启");
    return mode == kShutdownPowerOff ? kPowerOff : kRestart;
}
