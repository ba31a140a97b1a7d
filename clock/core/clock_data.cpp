// The clock's records in memory and the text of one entry of each list, as it stands in the data
// file. All text is GBK; every search for a separator or a Chinese marker is character-aware, since
// the trail byte of a double-byte character may be 0x7C '|' and a raw byte search would cut a name
// in the middle of a character.
#include "clock/core/clock_data.h"

#include <climits>
#include <cstdint>

#include "forms/gbk.h"

std::vector<AlarmEntry> Alarms;
std::vector<uint64_t> LapTimes;
std::vector<TimerEntry> Timers;
std::vector<DateEntry> Birthdays;
std::vector<DateEntry> Schedules;
std::string OptionSlots[kOptionCount] = {BuiltInOption(0), BuiltInOption(1), BuiltInOption(2),
                                         BuiltInOption(3), BuiltInOption(4), BuiltInOption(5),
                                         BuiltInOption(6), BuiltInOption(7)};
int CurrentPage = 0;
uint64_t StopwatchStart = 0;
std::string DataFilePath;

namespace {

// The GBK markers of the entry texts, converted once.
struct Markers {
    std::string bar = "|";
    std::string hourMark = Gbk("时");
    std::string minuteMark = Gbk("分");
    std::string yearMark = Gbk("年");
    std::string monthMark = Gbk("月");
    std::string dayMark = Gbk("日");
    std::string leap = Gbk("闰");
    std::string on = Gbk("是");
    std::string off = Gbk("否");
    std::string gregorian = Gbk("公历");
    std::string lunar = Gbk("农历");
    std::string ahead = Gbk("提前");
    std::string aheadTail = Gbk("天提醒");
    std::string weekDays[8] = {"",        Gbk("一"), Gbk("二"), Gbk("三"),
                               Gbk("四"), Gbk("五"), Gbk("六"), Gbk("日")};
    std::string repeats[4] = {Gbk("不重复(一次性)"), Gbk("按年重复(忽略年份)"), Gbk("按月重复(忽略年月)"),
                              Gbk("按周重复(忽略年月日)")};
};

const Markers& M() {
    static const Markers markers;
    return markers;
}

int ClampToInt(int64_t value) {
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

// A number field ended by a marker, read from pos. A missing marker gives 0 and leaves pos where
// it was, so the fields after it are still found; otherwise pos moves past the marker.
int TakeNumber(const std::string& text, size_t& pos, const std::string& marker) {
    const size_t at = GbkFind(text, marker, pos);
    if (at == std::string::npos) return 0;
    const int value = ClampToInt(LenientInt(text.substr(pos, at - pos)));
    pos = at + marker.size();
    return value;
}

// The text from pos up to the next '|' (or the end), moving pos past that '|' (or to the end): a
// line with fewer fields than expected leaves the remaining ones empty.
std::string TakeField(const std::string& text, size_t& pos) {
    if (pos >= text.size()) return std::string();
    size_t at = GbkFind(text, M().bar, pos);
    if (at == std::string::npos) at = text.size();
    std::string field = text.substr(pos, at - pos);
    pos = at < text.size() ? at + 1 : at;
    return field;
}

// Skips past the next '|' from pos, or to the end when there is none.
void SkipBar(const std::string& text, size_t& pos) {
    const size_t at = pos < text.size() ? GbkFind(text, M().bar, pos) : std::string::npos;
    pos = at == std::string::npos ? text.size() : at + 1;
}

std::vector<std::string> SplitBars(const std::string& text) {
    std::vector<std::string> fields;
    size_t pos = 0;
    for (size_t at = GbkFind(text, M().bar); at != std::string::npos; at = GbkFind(text, M().bar, pos)) {
        fields.push_back(text.substr(pos, at - pos));
        pos = at + 1;
    }
    fields.push_back(text.substr(pos));
    return fields;
}

// Field 2 of a birthday or schedule: "<year>年[闰]<month>月<day>日<hour>时<minute>分".
void ParseDateField(const std::string& text, DateEntry& entry) {
    size_t pos = 0;
    entry.year = TakeNumber(text, pos, M().yearMark);
    if (text.compare(pos, M().leap.size(), M().leap) == 0) {
        entry.calendar = kLunarLeap;
        pos += M().leap.size();
    }
    entry.month = TakeNumber(text, pos, M().monthMark);
    entry.day = TakeNumber(text, pos, M().dayMark);
    entry.hour = TakeNumber(text, pos, M().hourMark);
    entry.minute = TakeNumber(text, pos, M().minuteMark);
}

// Field 3: "提前<n>天提醒". Only the one character after 提前 counts, so "提前12天提醒" is 1.
int ParseAheadDays(const std::string& text) {
    const size_t at = GbkFind(text, M().ahead);
    if (at == std::string::npos) return 0;
    const size_t digit = at + M().ahead.size();
    if (digit >= text.size() || text[digit] < '0' || text[digit] > '9') return 0;
    return text[digit] - '0';
}

// The fields shared by birthdays and schedules; dateFields is how many '|' fields the date needs.
// An empty value (a "3=" line) gives an all-zero entry with an empty name.
DateEntry ParseDateFields(const std::vector<std::string>& fields, size_t dateFields) {
    DateEntry entry;
    entry.name = CutGbk(fields[0], kNameBytes);
    if (fields.size() < dateFields) return entry;
    entry.calendar = fields[1] == M().gregorian ? kGregorian : kLunar;
    ParseDateField(fields[2], entry);
    entry.aheadDays = ParseAheadDays(fields[3]);
    return entry;
}

std::string FormatDateEntry(const DateEntry& entry) {
    std::string out = entry.name + "|" + (entry.calendar == kGregorian ? M().gregorian : M().lunar) + "|";
    out += std::to_string(entry.year) + M().yearMark;
    if (entry.calendar == kLunarLeap) out += M().leap;
    out += std::to_string(entry.month) + M().monthMark + std::to_string(entry.day) + M().dayMark;
    out += std::to_string(entry.hour) + M().hourMark + std::to_string(entry.minute) + M().minuteMark;
    out += "|" + M().ahead + std::to_string(entry.aheadDays) + M().aheadTail;
    return out;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

// Digits of base from pos, as a magnitude that saturates at limit instead of overflowing.
uint64_t TakeDigits(const std::string& text, size_t pos, int base, uint64_t limit) {
    uint64_t magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = DigitValue(text[pos]);
        if (digit >= base) break;
        if (magnitude > (limit - static_cast<uint64_t>(digit)) / static_cast<uint64_t>(base)) return limit;
        magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    }
    return magnitude;
}

}  // namespace

std::string BuiltInOption(int slot) {
    static const char* const kBuiltIn[kOptionCount] = {
        "1|在所有窗口前面", "0|开机启动软件",     "1|显示任务栏小图标",     "1|保存窗口位置与大小",
        "0|功能选择在下面", "0|点关闭按钮为隐藏", "0|自动联网校对系统时间", "0|睡眠时唤醒电脑响闹钟",
    };
    if (slot < 0 || slot >= kOptionCount) return std::string();
    return Gbk(kBuiltIn[slot]);
}

bool OptionOn(int slot) {
    if (slot < 0 || slot >= kOptionCount) return false;
    return OptionSlots[slot].empty() || OptionSlots[slot][0] != '0';
}

void SetOptionFlag(int slot, bool on) {
    if (slot < 0 || slot >= kOptionCount) return;
    std::string& text = OptionSlots[slot];
    const char flag = on ? '1' : '0';
    // The flag is one byte; a slot that starts with a double-byte character (a hand-edited file)
    // loses that whole character rather than keeping half of it.
    if (text.empty()) {
        text.assign(1, flag);
    } else {
        text.replace(0, GbkCharLength(text, 0), 1, flag);
    }
}

std::string DataFilePathFor(const std::string& programPathUtf8) {
    const size_t cut = programPathUtf8.find_last_of("\\/:");
    const std::string folder = cut == std::string::npos ? std::string() : programPathUtf8.substr(0, cut + 1);
    return folder + "闹钟数据.INI";
}

int64_t LenientInt(const std::string& text) {
    size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
    if (pos + 1 < text.size() && text[pos] == '&') {
        const char kind = static_cast<char>(text[pos + 1] | 0x20);
        const int base = kind == 'h' ? 16 : kind == 'o' ? 8 : kind == 'b' ? 2 : 0;
        if (base == 0) return 0;
        return static_cast<int64_t>(TakeDigits(text, pos + 2, base, INT64_MAX));
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // The magnitude of INT64_MIN is one more than INT64_MAX; keep it exact without signed overflow.
    const uint64_t limit = negative ? static_cast<uint64_t>(INT64_MAX) + 1 : static_cast<uint64_t>(INT64_MAX);
    const uint64_t magnitude = TakeDigits(text, pos, 10, limit);
    if (!negative) return static_cast<int64_t>(magnitude);
    if (magnitude == limit) return INT64_MIN;
    return -static_cast<int64_t>(magnitude);
}

AlarmEntry ParseAlarm(const std::string& value) {
    AlarmEntry alarm;
    size_t pos = 0;
    alarm.hour = TakeNumber(value, pos, M().hourMark);
    alarm.minute = TakeNumber(value, pos, M().minuteMark);
    SkipBar(value, pos);
    const std::string days = TakeField(value, pos);
    for (int k = 1; k <= 7; ++k) {
        alarm.days[k] = GbkFind(days, M().weekDays[k]) != std::string::npos ? 1 : 0;
    }
    alarm.enabled = TakeField(value, pos) == M().on ? 1 : 0;
    alarm.name = CutGbk(TakeField(value, pos), kNameBytes);
    alarm.action = pos < value.size() ? value.substr(pos) : std::string();
    return alarm;
}

std::string FormatAlarm(const AlarmEntry& alarm) {
    std::string out =
        std::to_string(alarm.hour) + M().hourMark + std::to_string(alarm.minute) + M().minuteMark + "|";
    for (int k = 1; k <= 7; ++k) {
        if (alarm.days[k] != 0) out += M().weekDays[k];
    }
    out += "|" + (alarm.enabled != 0 ? M().on : M().off) + "|" + alarm.name + "|" + alarm.action;
    return out;
}

DateEntry ParseBirthday(const std::string& value) {
    return ParseDateFields(SplitBars(value), 4);
}

DateEntry ParseSchedule(const std::string& value) {
    const std::vector<std::string> fields = SplitBars(value);
    DateEntry entry = ParseDateFields(fields, 5);
    if (fields.size() < 5) return entry;
    // Any other repeat text leaves the schedule one-shot.
    for (int r = 0; r < 4; ++r) {
        if (fields[4] == M().repeats[r]) entry.repeat = r;
    }
    return entry;
}

std::string FormatBirthday(const DateEntry& entry) {
    return FormatDateEntry(entry);
}

std::string FormatSchedule(const DateEntry& entry) {
    return FormatDateEntry(entry) + "|" + RepeatText(entry.repeat);
}

std::string RepeatText(int repeat) {
    if (repeat < 0 || repeat > 3) return std::string();
    return M().repeats[repeat];
}

std::vector<AlarmEntry> DefaultAlarms() {
    std::vector<AlarmEntry> alarms(5);
    for (int i = 0; i < 5; ++i)
        alarms[i].hour = 12 + 2 * i;
    return alarms;
}

std::vector<TimerEntry> DefaultTimers() {
    static const int kSeconds[5] = {600, 180, 60, 30, 1};
    std::vector<TimerEntry> timers(5);
    for (int i = 0; i < 5; ++i)
        timers[i].seconds = kSeconds[i];
    return timers;
}
