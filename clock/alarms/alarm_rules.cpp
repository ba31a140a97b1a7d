#include "clock/alarms/alarm_rules.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "forms/gbk.h"

namespace {

// Seconds from the current time of day to hh:mm:00 of the same day, -86399..86399 for a proper
// time. 64-bit: a hand-edited hour may be any 32-bit number.
int64_t SecondsToRingToday(const AlarmEntry& alarm, const DateTime& now) {
    return int64_t{alarm.hour} * 3600 + int64_t{alarm.minute} * 60 - SecondsOfDay(now);
}

int ClampToInt(int64_t seconds) {
    return static_cast<int>(std::clamp<int64_t>(seconds, INT32_MIN, INT32_MAX));
}

// The week-day walk shared by the ring rule and the page: for j = 0..7 the flagged day w + j,
// stopping at the first s that passes the test. j = 7 is today one week on (s >= 518401), so a
// repeating alarm always finds one.
int RepeatingSeconds(const AlarmEntry& alarm, const DateTime& now, bool strictlyFuture) {
    const int64_t diff = SecondsToRingToday(alarm, now);
    const int today = WeekDay(now);
    int64_t s = diff;
    for (int j = 0; j <= 7; ++j) {
        int d = today + j;
        if (d > 7) d -= 7;
        if (alarm.days[d] == 0) continue;
        s = diff + kSecondsPerDay * j;
        if (strictlyFuture ? s > 0 : s >= 0) break;
    }
    return ClampToInt(s);
}

int OneShotSeconds(const AlarmEntry& alarm, const DateTime& now) {
    int64_t s = SecondsToRingToday(alarm, now);
    if (s < 0) s += kSecondsPerDay;
    return ClampToInt(s);
}

// A hand-edited "99时" or "-5时" names no second of the day, so such an alarm never rings (a
// negative hour would otherwise wrap into some other time, or ring at once).
bool IsTimeOfDay(const AlarmEntry& alarm) {
    return alarm.hour >= 0 && alarm.hour <= 23 && alarm.minute >= 0 && alarm.minute <= 59;
}

bool InList(int index, size_t count) {
    return index >= 0 && static_cast<size_t>(index) < count;
}

}  // namespace

bool AlarmRepeats(const AlarmEntry& alarm) {
    for (int k = 1; k <= 7; ++k) {
        if (alarm.days[k] != 0) return true;
    }
    return false;
}

int AlarmRingSeconds(const AlarmEntry& alarm, const DateTime& now) {
    if (!IsTimeOfDay(alarm)) return kNeverRings;
    return AlarmRepeats(alarm) ? RepeatingSeconds(alarm, now, false) : OneShotSeconds(alarm, now);
}

bool AlarmRingMomentBetween(const AlarmEntry& alarm, int64_t previous, int64_t now, int64_t* moment) {
    if (previous > now) previous = now - 1;
    const int64_t first = std::max(previous, now - kRingWindowSeconds) + 1;
    if (first > now) return false;  // the same second as the previous tick: nothing new
    const int64_t next = first + AlarmRingSeconds(alarm, SplitDate(FromSeconds(first)));
    if (next > now) return false;
    *moment = next;
    return true;
}

namespace {

// The alarm's first ring moment at or after `from`; kNeverRings seconds on for one that never rings.
int64_t FirstRingFrom(const AlarmEntry& alarm, int64_t from) {
    return from + AlarmRingSeconds(alarm, SplitDate(FromSeconds(from)));
}

bool Rings(const AlarmEntry& alarm) {
    return alarm.enabled != 0 && IsTimeOfDay(alarm);
}

}  // namespace

bool NextWakeMoment(const std::vector<AlarmEntry>& alarms, int64_t now, int64_t* moment) {
    bool found = false;
    for (const AlarmEntry& alarm : alarms) {
        if (!Rings(alarm)) continue;
        const int64_t next = FirstRingFrom(alarm, now + 1);
        if (!found || next < *moment) *moment = next;
        found = true;
    }
    return found;
}

std::vector<MissedAlarm> MissedAlarms(const std::vector<AlarmEntry>& alarms, int64_t lastSeen, int64_t now) {
    std::vector<MissedAlarm> missed;
    const int64_t from = std::max(lastSeen, now - kMissedLookBackSeconds) + 1;
    if (from >= now) return missed;
    for (size_t i = 0; i < alarms.size(); ++i) {
        if (!Rings(alarms[i])) continue;
        // An alarm's moments lie a day or more apart: at most one falls in a day's window.
        const int64_t moment = FirstRingFrom(alarms[i], from);
        if (moment < now) missed.push_back(MissedAlarm{i, moment});
    }
    std::stable_sort(missed.begin(), missed.end(),
                     [](const MissedAlarm& a, const MissedAlarm& b) { return a.moment > b.moment; });
    return missed;
}

std::vector<std::string> MissedAlarmLines(const std::vector<AlarmEntry>& alarms,
                                          const std::vector<MissedAlarm>& missed) {
    std::vector<std::string> lines;
    for (const MissedAlarm& m : missed) {
        if (lines.size() == kMissedLinesShown) {
            lines.push_back(Gbk("等") + std::to_string(missed.size()) + Gbk("个"));
            break;
        }
        if (m.index < alarms.size()) lines.push_back(AlarmReminderText(alarms[m.index]));
    }
    return lines;
}

std::string WakeProblemText(WakeArm problem, const std::string& optionCaption) {
    const std::string head = Gbk("“") + optionCaption + Gbk("”已打开，但");
    const std::string sleeping = Gbk("电脑睡眠时闹钟不会响。\r\n\r\n");
    const std::string orOff = Gbk("\r\n\r\n不需要唤醒时，可在“设置”页关闭这一选项。");
    switch (problem) {
        case WakeArm::kArmed:
            return std::string();
        case WakeArm::kWakeTimersOff:
            return head + Gbk("电源计划不允许唤醒定时器，") + sleeping +
                   Gbk("请在“控制面板 → 电源选项 → 更改计划设置 → 更改高级电源设置 → 睡眠 → "
                       "允许使用唤醒定时器”中选择“启用”。") +
                   orOff;
        case WakeArm::kCannotWake:
            return head + Gbk("这台电脑不支持由程序从睡眠中唤醒，") + sleeping +
                   Gbk("请查看电脑的 BIOS 或电源设置是否允许定时唤醒。") + orOff;
        case WakeArm::kFailed:
        default:
            return head + Gbk("系统拒绝设置唤醒定时器（可能受权限或系统策略限制），") + sleeping +
                   Gbk("请以管理员身份运行钟伴，或请管理员检查电源策略。") + orOff;
    }
}

int AlarmCountdownSeconds(const AlarmEntry& alarm, const DateTime& now) {
    if (!IsTimeOfDay(alarm)) return kNeverRings;
    return AlarmRepeats(alarm) ? RepeatingSeconds(alarm, now, true) : OneShotSeconds(alarm, now);
}

std::string FormatCountdown(int seconds) {
    static const std::string kDay = Gbk("天");
    if (seconds < 0) seconds = 0;
    std::string text;
    if (seconds > kSecondsPerDay) {
        text = std::to_string(seconds / kSecondsPerDay) + kDay;
        seconds %= kSecondsPerDay;
    }
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text + clock;
}

std::string AlarmReminderText(const AlarmEntry& alarm) {
    return FormatHourMinute(alarm.hour, alarm.minute) + " " + alarm.name;
}

int AlarmRowOfItem(int itemCode, size_t alarmCount) {
    if (itemCode < 10) return -1;
    const int row = itemCode / 10 - 1;
    return InList(row, alarmCount) ? row : -1;
}

bool ToggleAlarmItem(std::vector<AlarmEntry>& alarms, int itemCode) {
    const int row = AlarmRowOfItem(itemCode, alarms.size());
    if (row < 0) return false;
    AlarmEntry& alarm = alarms[row];
    if (itemCode == AlarmSwitchItem(row)) {
        alarm.enabled = alarm.enabled == 0 ? 1 : 0;
        return true;
    }
    // Days 1..7 are the letters Monday..Sunday; day 8 is the hit test's code past Sunday.
    const int day = itemCode - AlarmSwitchItem(row);
    if (day < 1 || day > 7) return false;
    alarm.days[day] = alarm.days[day] == 0 ? 1 : 0;
    return true;
}

AlarmEditorInput NewAlarmEditorInput(const DateTime& now) {
    AlarmEditorInput input;
    input.hour = now.hour;
    input.minute = now.minute;
    for (int k = 1; k <= 7; ++k)
        input.days[k] = true;
    input.option = kActionNone;
    return input;
}

AlarmEditorInput AlarmEditorInputFor(const AlarmEntry& alarm) {
    static const std::string kShutdown = Gbk("关机");
    static const std::string kRestart = Gbk("重启");
    AlarmEditorInput input;
    input.hour = alarm.hour;
    input.minute = alarm.minute;
    input.nameText = alarm.name;
    input.oneShot = alarm.enabled != 0;
    for (int k = 1; k <= 7; ++k) {
        input.days[k] = alarm.days[k] != 0;
        if (input.days[k]) input.oneShot = false;
    }
    if (alarm.action == kShutdown) {
        input.option = kActionShutdown;
    } else if (alarm.action == kRestart) {
        input.option = kActionRestart;
    } else if (!alarm.action.empty()) {
        input.option = kActionOpenProgram;
        input.programPath = alarm.action;
    } else {
        input.option = kActionNone;
    }
    return input;
}

std::string AlarmDuplicateMessage(int hour, int minute) {
    static const std::string kHour = Gbk(" 时 | ");
    static const std::string kMinute = Gbk(" 分");
    static const std::string kExists = Gbk("闹钟时间已经存在，请重新修改。");
    return std::to_string(hour) + kHour + std::to_string(minute) + kMinute + "\r\n" + kExists;
}

namespace {

std::string ActionOf(const AlarmEditorInput& input) {
    switch (input.option) {
        case kActionOpenProgram:
            return input.programPath;
        case kActionShutdown:
            return Gbk("关机");
        case kActionRestart:
            return Gbk("重启");
        default:
            return std::string();
    }
}

bool TimeTaken(const std::vector<AlarmEntry>& alarms, int editIndex, int hour, int minute) {
    for (size_t i = 0; i < alarms.size(); ++i) {
        if (static_cast<int>(i) == editIndex) continue;
        if (alarms[i].hour == hour && alarms[i].minute == minute) return true;
    }
    return false;
}

// Only the tick switches an alarm off while its editor is open: a one-shot alarm does so as it rings.
bool RangWhileOpen(const AlarmEntry& opened, const AlarmEntry& current, const AlarmEditorInput& input) {
    const bool sameTime = input.hour == opened.hour && input.minute == opened.minute;
    return opened.enabled != 0 && !AlarmRepeats(opened) && current.enabled == 0 && sameTime;
}

}  // namespace

bool SaveAlarmEdit(std::vector<AlarmEntry>& alarms, int editIndex, const AlarmEntry* opened,
                   const AlarmEditorInput& input, std::string* message) {
    message->clear();
    if (editIndex != -1 && !InList(editIndex, alarms.size())) return false;
    if (TimeTaken(alarms, editIndex, input.hour, input.minute)) {
        *message = AlarmDuplicateMessage(input.hour, input.minute);
        return false;
    }
    const bool keepOff =
        editIndex != -1 && opened != nullptr && RangWhileOpen(*opened, alarms[editIndex], input);
    if (editIndex == -1) {
        alarms.insert(alarms.begin(), AlarmEntry());
        editIndex = 0;
    }
    AlarmEntry& alarm = alarms[editIndex];
    alarm.hour = input.hour;
    alarm.minute = input.minute;
    // GbkReplaceAll, not a byte search: 0x7C is also a valid trail byte of a double-byte character.
    alarm.name = CutGbk(GbkReplaceAll(input.nameText, "|", ""), kNameBytes);
    bool anyDay = false;
    for (int k = 1; k <= 7; ++k) {
        alarm.days[k] = input.days[k] ? 1 : 0;
        anyDay = anyDay || input.days[k];
    }
    alarm.enabled = (anyDay || (input.oneShot && !keepOff)) ? 1 : 0;
    alarm.action = ActionOf(input);
    return true;
}

bool DeleteAlarm(std::vector<AlarmEntry>& alarms, int index) {
    if (!InList(index, alarms.size())) return false;
    alarms.erase(alarms.begin() + index);
    return true;
}

std::string AlarmFileNotOpenedText(const AlarmEntry& alarm) {
    return Gbk("闹钟“") + alarm.name + Gbk("”响铃时，要打开的文件无法打开：\r\n\r\n") + alarm.action +
           Gbk("\r\n\r\n文件可能已被移动、改名或删除。请在这个闹钟里重新指定要打开的软件或文件。");
}
