// The texts of the header band and of the pages' rows and buttons. Most of them are drawn on every
// 100-ms repaint, so the fixed words are converted to GBK once, into function-local statics.
#include <string>
#include <utility>

#include "clock/alarms/alarm_rules.h"
#include "clock/alarms/stopwatch.h"
#include "clock/alarms/timer_rules.h"
#include "clock/calendar/date_entries.h"
#include "clock/core/main_window_rules.h"
#include "forms/gbk.h"

namespace {

struct Texts {
    std::string caption = Gbk("澜川_钟伴 ");
    std::string tabs[kPageCount] = {Gbk("闹钟"), Gbk("秒表"), Gbk("计时"),
                                    Gbk("生日"), Gbk("日程"), Gbk("设置")};
    std::string dragHint = Gbk("可以用鼠标上下拖动");
    std::string countLead = Gbk("有");
    std::string alarmCount = Gbk("个闹钟");
    std::string birthdayCount = Gbk("个生日");
    std::string scheduleCount = Gbk("个日程");
    std::string notEnabled = Gbk("(未开启)");
    std::string ageLead = " [";
    std::string ageTail = Gbk("周岁]");
    std::string start = Gbk("开    始");
    std::string lap = Gbk("计 次");
    std::string pause = Gbk("暂 停");
    std::string reset = Gbk("重 置");
    std::string resume = Gbk("继 续");
    std::string about = Gbk("关于钟伴");
    std::string chat = Gbk("澜川客服聊天室");
    std::string help = Gbk("查看帮助与更新软件");
};

const Texts& T() {
    static const Texts texts;
    return texts;
}

Readout MakeReadout(ReadoutStyle style, std::string text, std::string second = std::string()) {
    Readout r;
    r.style = style;
    r.text = std::move(text);
    r.second = std::move(second);
    return r;
}

// Pages 3 and 4: the first entry is the nearest one, since both lists are kept sorted.
Readout DateListReadout(const std::vector<DateEntry>* list, bool birthdays, const DateTime& now) {
    if (list == nullptr || list->empty()) return MakeReadout(kReadoutLarge, FormatTimeOfDay(now));
    const DateEntry& first = list->front();
    return MakeReadout(kReadoutTwoLines, first.name,
                       birthdays ? BirthdaySummary(first) : ScheduleSummary(first));
}

}  // namespace

std::string MainCaption(int major, int minor, int revision) {
    return T().caption + std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(revision);
}

std::string TabCaption(int tab) {
    return tab >= 0 && tab < kPageCount ? T().tabs[tab] : std::string();
}

std::string DragHintText() {
    return T().dragHint;
}

Readout PageReadout(int page, const ReadoutSource& source) {
    static const std::vector<uint64_t> kNoLaps;
    static const std::vector<TimerEntry> kNoTimers;
    switch (page) {
        case 1:
            return MakeReadout(kReadoutLarge, StopwatchBandText(source.laps ? *source.laps : kNoLaps));
        case 2:
            return MakeReadout(kReadoutSmaller, LeastRemainingText(source.timers ? *source.timers : kNoTimers,
                                                                   source.tickNow));
        case 3:
            return DateListReadout(source.birthdays, true, source.now);
        case 4:
            return DateListReadout(source.schedules, false, source.now);
        case kSettingsPage:
            return MakeReadout(kReadoutCaption, source.caption);
        default:
            return MakeReadout(kReadoutLarge, FormatTimeOfDay(source.now));
    }
}

std::string ListCountText(int page, size_t count) {
    const Texts& t = T();
    const std::string* unit = page == 0   ? &t.alarmCount
                              : page == 3 ? &t.birthdayCount
                              : page == 4 ? &t.scheduleCount
                                          : nullptr;
    return unit ? t.countLead + std::to_string(count) + *unit : std::string();
}

AlarmRowText AlarmRowTexts(const AlarmEntry& alarm, const DateTime& now) {
    AlarmRowText row;
    row.time = FormatHourMinute(alarm.hour, alarm.minute);
    if (!alarm.enabled) {
        row.line = alarm.name + T().notEnabled;
        row.grey = true;
        return row;
    }
    const int s = AlarmCountdownSeconds(alarm, now);
    // A hand-edited time outside the day never comes round: no count-down to show, only the name.
    if (s == kNeverRings) {
        row.line = alarm.name;
        return row;
    }
    row.line = FormatCountdown(s) + " " + alarm.name;
    row.red = s < 60;
    return row;
}

DateRowText BirthdayRowTexts(const DateEntry& entry) {
    DateRowText row;
    row.first = entry.name + T().ageLead + std::to_string(entry.age) + T().ageTail;
    row.second = DateText(entry);
    row.days = std::to_string(entry.daysLeft);
    return row;
}

DateRowText ScheduleRowTexts(const DateEntry& entry) {
    DateRowText row;
    row.first = entry.name;
    row.second = ScheduleDescription(entry);
    row.days = std::to_string(entry.daysLeft);
    return row;
}

std::string TimerRowText(const std::vector<TimerEntry>& timers, int row) {
    const int index = TimerIndexOfRow(timers.size(), row);
    return index < 0 ? std::string() : FormatDuration(timers[static_cast<size_t>(index)].seconds);
}

int LapRowCount(const std::vector<uint64_t>& laps) {
    return laps.size() > 1 ? static_cast<int>(laps.size() - 1) : 0;
}

LapRowText LapRowTexts(const std::vector<uint64_t>& laps, int row) {
    LapRowText text;
    if (row < 0 || row >= LapRowCount(laps)) return text;
    const size_t k = laps.size() - 1 - static_cast<size_t>(row);
    text.number = std::to_string(k);
    text.total = FormatStopwatch(laps[k]);
    text.split = "+" + FormatStopwatch(LapSplit(laps, k));
    return text;
}

StopwatchCaptions StopwatchButtonCaptions(const std::vector<uint64_t>& laps, uint64_t start) {
    const Texts& t = T();
    StopwatchCaptions c;
    switch (GetStopwatchState(laps, start)) {
        case kStopwatchReset:
            c.left = t.start;
            break;
        case kStopwatchRunning:
            c.left = t.lap;
            c.right = t.pause;
            break;
        case kStopwatchPaused:
            c.left = t.reset;
            c.right = t.resume;
            break;
    }
    return c;
}

std::string SettingsButtonCaption(int button, int unread) {
    const Texts& t = T();
    switch (button) {
        case 0:
            return t.about;
        case 1:
            return unread != 0 ? t.chat + "(" + std::to_string(unread) + ")" : t.chat;
        case 2:
            return t.help;
        default:
            return std::string();
    }
}

namespace {

void AppendAlarms(std::string& key) {
    for (const AlarmEntry& alarm : Alarms)
        key += FormatAlarm(alarm) + '\n';
}

void AppendStopwatch(std::string& key) {
    const StopwatchCaptions captions = StopwatchButtonCaptions(LapTimes, StopwatchStart);
    key += captions.left + '|' + captions.right + '\n';
    for (size_t k = 1; k < LapTimes.size(); ++k)
        key += std::to_string(LapTimes[k]) + ',';
}

void AppendTimers(std::string& key) {
    for (const TimerEntry& timer : Timers)
        key += std::to_string(timer.seconds) + (timer.startTick != 0 ? "+," : "-,");
}

void AppendDates(std::string& key, const std::vector<DateEntry>& list, bool birthdays) {
    for (const DateEntry& entry : list) {
        key += (birthdays ? FormatBirthday(entry) : FormatSchedule(entry)) + '|' + std::to_string(entry.age) +
               '|' + std::to_string(entry.daysLeft) + '\n';
    }
}

void AppendSettings(std::string& key, int serviceUnread) {
    for (const std::string& slot : OptionSlots)
        key += slot + '\n';
    key += std::to_string(serviceUnread);
}

}  // namespace

std::string FixedLayerKey(const PageLook& look) {
    std::string key = std::to_string(look.page) + ',' + std::to_string(look.scroll) + ',' +
                      std::to_string(look.hotItem) + ',' + std::to_string(look.pressState) + ',' +
                      std::to_string(look.width) + 'x' + std::to_string(look.height) + '\n';
    switch (look.page) {
        case 0:
            AppendAlarms(key);
            break;
        case 1:
            AppendStopwatch(key);
            break;
        case 2:
            AppendTimers(key);
            break;
        case 3:
            AppendDates(key, Birthdays, true);
            break;
        case 4:
            AppendDates(key, Schedules, false);
            break;
        default:
            AppendSettings(key, look.serviceUnread);
            break;
    }
    return key;
}
