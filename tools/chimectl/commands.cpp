#include "tools/chimectl/commands.h"

#include <algorithm>
#include <cstdlib>

#include "clock/alarms/alarm_rules.h"
#include "clock/alarms/stopwatch.h"
#include "clock/alarms/timer_rules.h"
#include "clock/calendar/date_entries.h"
#include "clock/calendar/lunar.h"
#include "clock/core/clock_data.h"
#include "clock/core/settings_rules.h"
#include "forms/file_io.h"
#include "forms/gbk.h"

namespace {

constexpr size_t kUpcomingRows = 5;

const char kUsage[] =
    "用法:\n"
    "  chimectl lunar YYYY-MM-DD\n"
    "  chimectl solar YEAR MONTH DAY [leap]\n"
    "  chimectl dump FILE [--now \"YYYY-MM-DD hh:mm:ss\"]\n"
    "  chimectl upcoming FILE [--now \"YYYY-MM-DD hh:mm:ss\"]\n";

int Usage(std::ostream& err, const std::string& problem) {
    err << "chimectl: " << problem << "\n" << kUsage;
    return kExitUsage;
}

// A whole decimal number with an optional minus sign and nothing else.
bool ParseWholeNumber(const std::string& text, int* value) {
    if (text.empty() || text.size() > 9) return false;
    size_t start = text[0] == '-' ? 1 : 0;
    if (start == text.size()) return false;
    for (size_t i = start; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    *value = std::atoi(text.c_str());
    return true;
}

// "YYYY-MM-DD" as three numbers, without checking that the day exists (the lunar conversion
// normalises month 0 and day 0 itself).
bool ParseDateParts(const std::string& text, int* year, int* month, int* day) {
    const size_t a = text.find('-', 1);
    const size_t b = a == std::string::npos ? a : text.find('-', a + 1);
    if (b == std::string::npos) return false;
    return ParseWholeNumber(text.substr(0, a), year) &&
           ParseWholeNumber(text.substr(a + 1, b - a - 1), month) &&
           ParseWholeNumber(text.substr(b + 1), day);
}

std::string Utf8(const std::string& gbk) {
    return GbkToUtf8(gbk);
}

std::string LunarDateName(const LunarDate& d) {
    return GanZhiYearName(d.year) + Gbk("年") + (d.leap ? Gbk("闰") : std::string()) +
           LunarMonthName(d.month) + LunarDayName(d.day);
}

int RunLunar(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    int year = 0, month = 0, day = 0;
    if (args.size() != 3 || !ParseDateParts(args[2], &year, &month, &day))
        return Usage(err, "lunar 需要一个日期");
    const PackedLunarDate packed = SolarToLunar(year, month, day);
    if (packed == 0) {
        out << "0\n";
        return kExitOk;
    }
    const LunarDate d = UnpackLunarDate(packed);
    out << d.year << '\t' << d.month << '\t' << d.day << '\t' << (d.leap ? 1 : 0) << '\t'
        << Utf8(LunarDateName(d)) << '\n';
    return kExitOk;
}

int RunSolar(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    int year = 0, month = 0, day = 0, leap = 0;
    const bool sizeOk = args.size() == 5 || args.size() == 6;
    if (!sizeOk || !ParseWholeNumber(args[2], &year) || !ParseWholeNumber(args[3], &month) ||
        !ParseWholeNumber(args[4], &day)) {
        return Usage(err, "solar 需要农历的年、月、日");
    }
    if (args.size() == 6) {
        if (args[5] == "leap") {
            leap = 1;
        } else if (!ParseWholeNumber(args[5], &leap) || (leap != 0 && leap != 1)) {
            return Usage(err, "闰月标志只能是 0、1 或 leap");
        }
    }
    const DateValue date = LunarToSolar(year, month, day, leap != 0);
    out << (date == 0 ? std::string("0") : FormatIsoDate(date)) << '\n';
    return kExitOk;
}

// Options shared by dump and upcoming: the data file and an optional --now.
struct FileCommand {
    std::string file;
    DateTime now;
};

bool ParseFileCommand(const std::vector<std::string>& args, const DateTime& realNow, FileCommand* cmd,
                      std::string* problem) {
    cmd->now = realNow;
    if (args.size() != 3 && args.size() != 5) {
        *problem = args[1] + " 需要一个数据文件";
        return false;
    }
    cmd->file = args[2];
    if (args.size() == 5 && (args[3] != "--now" || !ParseDateTime(args[4], &cmd->now))) {
        *problem = "--now 的格式是 \"YYYY-MM-DD hh:mm:ss\"";
        return false;
    }
    if (!PathExists(cmd->file)) {
        *problem = "数据文件不存在: " + cmd->file;
        return false;
    }
    return true;
}

void LoadDataFile(const FileCommand& cmd) {
    DataFilePath = cmd.file;
    LoadEnvironment env;
    env.now = cmd.now;
    LoadClockData(env);
}

std::string DayFlags(const AlarmEntry& alarm) {
    std::string flags;
    for (int d = 1; d <= 7; ++d)
        flags += alarm.days[d] ? '1' : '0';
    return flags;
}

void DumpAlarms(const DateTime& now, std::ostream& out) {
    for (size_t i = 0; i < Alarms.size(); ++i) {
        const AlarmEntry& a = Alarms[i];
        const std::string countdown =
            a.enabled ? FormatCountdown(AlarmCountdownSeconds(a, now)) : std::string();
        out << "alarm\t" << i << '\t' << a.hour << '\t' << a.minute << '\t' << DayFlags(a) << '\t'
            << (a.enabled ? 1 : 0) << '\t' << Utf8(a.name) << '\t' << Utf8(a.action) << '\t'
            << Utf8(countdown) << '\n';
    }
}

void DumpDateFields(const DateEntry& e, std::ostream& out) {
    out << Utf8(e.name) << '\t' << e.calendar << '\t' << e.year << '\t' << e.month << '\t' << e.day << '\t'
        << e.hour << '\t' << e.minute << '\t' << e.aheadDays << '\t';
}

void DumpDates(std::ostream& out) {
    for (size_t i = 0; i < Birthdays.size(); ++i) {
        const DateEntry& e = Birthdays[i];
        out << "birthday\t" << i << '\t';
        DumpDateFields(e, out);
        out << e.age << '\t' << e.daysLeft << '\t' << Utf8(DateText(e)) << '\n';
    }
    for (size_t i = 0; i < Schedules.size(); ++i) {
        const DateEntry& e = Schedules[i];
        out << "schedule\t" << i << '\t';
        DumpDateFields(e, out);
        out << e.repeat << '\t' << e.daysLeft << '\t' << Utf8(ScheduleDescription(e)) << '\n';
    }
}

int RunDump(const FileCommand& cmd, std::ostream& out) {
    LoadDataFile(cmd);
    for (int k = 0; k < kOptionCount; ++k) {
        out << "option\t" << k << '\t' << (OptionOn(k) ? 1 : 0) << '\t' << Utf8(OptionCaption(OptionSlots[k]))
            << '\n';
    }
    out << "page\t" << CurrentPage << '\n';
    out << "stopwatch\t" << (StopwatchStart != 0 ? 1 : 0) << '\n';
    DumpAlarms(cmd.now, out);
    for (size_t i = 0; i < LapTimes.size(); ++i)
        out << "lap\t" << i << '\t' << LapTimes[i] << '\n';
    for (size_t i = 0; i < Timers.size(); ++i) {
        out << "timer\t" << i << '\t' << Timers[i].seconds << '\t' << Utf8(FormatDuration(Timers[i].seconds))
            << '\n';
    }
    DumpDates(out);
    return kExitOk;
}

const char* const kWeekDayNames[] = {"", "一", "二", "三", "四", "五", "六", "日"};

std::string AlarmRepeatText(const AlarmEntry& a) {
    std::string days;
    for (int d = 1; d <= 7; ++d) {
        if (a.days[d]) days += kWeekDayNames[d];
    }
    return days.empty() ? "一次性" : "每周" + days;
}

std::string AlarmActionText(const AlarmEntry& a) {
    const std::string action = Utf8(a.action);
    if (action.empty()) return "";
    if (action == "关机") return "，响后关机";
    if (action == "重启") return "，响后重启";
    return "，响后打开 " + action;
}

void PrintAlarms(const DateTime& now, std::ostream& out) {
    std::vector<std::pair<int, size_t>> due;  // seconds to ring, list index
    for (size_t i = 0; i < Alarms.size(); ++i) {
        if (Alarms[i].enabled) due.emplace_back(AlarmCountdownSeconds(Alarms[i], now), i);
    }
    std::stable_sort(
        due.begin(), due.end(),
        [](const std::pair<int, size_t>& a, const std::pair<int, size_t>& b) { return a.first < b.first; });
    out << "闹钟（开启 " << due.size() << " 个，共 " << Alarms.size() << " 个）：\n";
    if (due.empty()) out << "  没有开启的闹钟\n";
    for (size_t k = 0; k < due.size() && k < kUpcomingRows; ++k) {
        const AlarmEntry& a = Alarms[due[k].second];
        out << "  " << FormatHourMinute(a.hour, a.minute) << ' ' << Utf8(a.name) << "  还有 "
            << Utf8(FormatCountdown(due[k].first)) << "（" << AlarmRepeatText(a) << AlarmActionText(a)
            << "）\n";
    }
}

void PrintStopwatchAndTimers(std::ostream& out) {
    if (LapTimes.empty()) {
        out << "秒表：已清零\n";
    } else {
        out << "秒表：" << (StopwatchStart != 0 ? "正在计时" : "已暂停") << "，累计 "
            << Utf8(FormatStopwatch(LapTimes[0])) << "，计次 " << LapTimes.size() - 1 << " 次\n";
    }
    out << "计时：共 " << Timers.size() << " 个，程序启动后都未开始";
    for (size_t i = 0; i < Timers.size(); ++i)
        out << (i == 0 ? "：" : "、") << Utf8(FormatDuration(Timers[i].seconds));
    out << "\n";
}

std::string DisplayName(const std::string& gbk) {
    return gbk.empty() ? "（未命名）" : Utf8(gbk);
}

void PrintDates(std::ostream& out) {
    out << "生日（共 " << Birthdays.size() << " 个）：\n";
    size_t shown = 0;
    for (size_t i = 0; i < Birthdays.size() && shown < kUpcomingRows; ++i) {
        const DateEntry& e = Birthdays[i];
        if (e.daysLeft < 0) continue;  // a hand-edited date that never comes round
        out << "  " << DisplayName(e.name) << "  " << Utf8(BirthdaySummary(e)) << "，" << Utf8(DateText(e))
            << "\n";
        ++shown;
    }
    if (shown == 0) out << "  没有生日\n";
    out << "日程（共 " << Schedules.size() << " 个）：\n";
    if (Schedules.empty()) out << "  没有日程\n";
    for (size_t i = 0; i < Schedules.size() && i < kUpcomingRows; ++i) {
        const DateEntry& e = Schedules[i];
        const std::string when =
            e.daysLeft >= 0 ? Utf8(ScheduleSummary(e)) : "已过去 " + std::to_string(-e.daysLeft) + " 天";
        out << "  " << DisplayName(e.name) << "  " << when << "，" << Utf8(ScheduleDescription(e)) << "\n";
    }
}

int RunUpcoming(const FileCommand& cmd, std::ostream& out) {
    LoadDataFile(cmd);
    const DateValue today = ToDateValue(cmd.now);
    out << "现在：" << FormatIsoDate(today) << " 星期" << kWeekDayNames[WeekDay(today)] << ' '
        << FormatTimeOfDay(cmd.now) << "\n";
    PrintAlarms(cmd.now, out);
    PrintStopwatchAndTimers(out);
    PrintDates(out);
    return kExitOk;
}

}  // namespace

int RunChimectl(const std::vector<std::string>& args, const DateTime& realNow, std::ostream& out,
                std::ostream& err) {
    if (args.size() < 2) return Usage(err, "缺少命令");
    const std::string& command = args[1];
    if (command == "lunar") return RunLunar(args, out, err);
    if (command == "solar") return RunSolar(args, out, err);
    if (command != "dump" && command != "upcoming") return Usage(err, "未知的命令: " + command);
    FileCommand cmd;
    std::string problem;
    if (!ParseFileCommand(args, realNow, &cmd, &problem)) return Usage(err, problem);
    return command == "dump" ? RunDump(cmd, out) : RunUpcoming(cmd, out);
}
