// Next occurrences, ages, order and texts of birthdays and schedules.
//
// Lunar entries are turned into Gregorian dates through the lunar tables on every pass: a lunar
// date moves against the Gregorian calendar from year to year, so nothing here is cached.
#include "clock/calendar/date_entries.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "clock/calendar/lunar.h"
#include "forms/gbk.h"

namespace {

// Today as one pass sees it: taken once so every entry is measured against the same day.
struct Today {
    DateValue date = 0;
    int year = 0;
    int month = 0;
    int lunarYear = 0;
    int lunarMonth = 0;
    bool lunarLeap = false;
};

Today TakeToday(const DateTime& now) {
    Today t;
    t.date = MakeDate(now.year, now.month, now.day);
    t.year = now.year;
    t.month = now.month;
    const LunarDate lunar = UnpackLunarDate(SolarToLunar(now.year, now.month, now.day));
    t.lunarYear = lunar.year;
    t.lunarMonth = lunar.month;
    t.lunarLeap = lunar.leap;
    return t;
}

bool IsLunar(const DateEntry& e) {
    return e.calendar != kGregorian;
}

// The entry's own date; a lunar date that does not exist gives the null date.
DateValue OwnDate(const DateEntry& e) {
    if (!IsLunar(e)) return MakeDate(e.year, e.month, e.day);
    return LunarToSolar(e.year, e.month, e.day, e.calendar == kLunarLeap);
}

// Day 30 of a lunar month that has only 29 days this time falls on the 29th.
int FitLunarDay(int size, int day) {
    return size < day ? day - 1 : day;
}

struct Occurrence {
    int daysLeft = 0;
    bool followingYear = false;
};

// The next yearly occurrence of (month, day) in the entry's calendar, today included. A leap-month
// entry recurs in the regular month of the same number, as most years have no such leap month.
Occurrence YearlyOccurrence(const Today& today, int calendar, int month, int day) {
    Occurrence o;
    if (calendar == kGregorian) {
        o.daysLeft = DaysBetween(today.date, MakeDate(today.year, month, day));
        if (o.daysLeft >= 0) return o;
        const int y = today.year + 1;
        const int size = SolarMonthDays(y, month);
        const int fitted = size < day ? size : day;  // 29 February falls on the 28th in a common year
        o.daysLeft = DaysBetween(today.date, MakeDate(y, month, fitted));
    } else {
        const int y = today.lunarYear;
        const int fitted = FitLunarDay(LunarMonthDays(y, month), day);
        o.daysLeft = DaysBetween(today.date, LunarToSolar(y, month, fitted, false));
        if (o.daysLeft >= 0) return o;
        const int next = y + 1;
        const int nextFitted = FitLunarDay(LunarMonthDays(next, month), day);
        o.daysLeft = DaysBetween(today.date, LunarToSolar(next, month, nextFitted, false));
    }
    o.followingYear = true;
    return o;
}

void RecomputeBirthday(DateEntry& e, const Today& today) {
    const Occurrence o = YearlyOccurrence(today, e.calendar, e.month, e.day);
    e.daysLeft = o.daysLeft;
    // A lunar birthday counts its years in lunar years: the Gregorian year of the birth date would
    // be off by one around the lunar new year, and 1899 for a birth date that does not exist.
    // 64-bit, held within the day limit: a hand-edited year may be any 32-bit number.
    const int64_t birthYear = IsLunar(e) ? e.year : SplitDate(OwnDate(e)).year;
    const int64_t age = (IsLunar(e) ? today.lunarYear : today.year) - birthYear + (o.followingYear ? 1 : 0);
    e.age = static_cast<int>(std::clamp<int64_t>(age, -kDaysBetweenLimit, kDaysBetweenLimit));
}

int GregorianMonthly(const Today& today, int day) {
    const int size = SolarMonthDays(today.year, today.month);
    const int daysLeft = DaysBetween(today.date, MakeDate(today.year, today.month, size < day ? size : day));
    if (daysLeft >= 0) return daysLeft;
    // The next month takes the day unreduced: day 31 after a short month runs into the month after.
    return DaysBetween(today.date, MakeDate(today.year, today.month + 1, day));
}

// While today lies in a leap month, that month is "this month" and the regular month after it
// the next one; both with day 30 fitted to a 29-day month.
int LunarMonthlyInLeapMonth(const Today& today, int day) {
    const int y = today.lunarYear;
    const int m = today.lunarMonth;
    const int daysLeft =
        DaysBetween(today.date, LunarToSolar(y, m, FitLunarDay(LeapMonthDays(y), day), true));
    if (daysLeft >= 0) return daysLeft;
    const int nextYear = m == 12 ? y + 1 : y;
    const int nextMonth = m == 12 ? 1 : m + 1;
    const int fitted = FitLunarDay(LunarMonthDays(nextYear, nextMonth), day);
    return DaysBetween(today.date, LunarToSolar(nextYear, nextMonth, fitted, false));
}

int LunarMonthly(const Today& today, int calendar, int day) {
    if (today.lunarLeap) return LunarMonthlyInLeapMonth(today, day);
    int y = today.lunarYear;
    int m = today.lunarMonth;
    const int fitted = FitLunarDay(LunarMonthDays(y, m), day);
    const int daysLeft = DaysBetween(today.date, LunarToSolar(y, m, fitted, false));
    if (daysLeft >= 0) return daysLeft;
    // The following month takes the day unreduced, as this rule always has: a 30th that the
    // month lacks converts to the null date and so counts as passed.
    if (calendar == kLunar && LeapMonth(y) == m) {
        return DaysBetween(today.date, LunarToSolar(y, m, day, true));
    }
    if (++m > 12) {
        m = 1;
        ++y;
    }
    return DaysBetween(today.date, LunarToSolar(y, m, day, false));
}

int WeeklyDaysLeft(const DateEntry& e, const DateTime& now) {
    const int daysLeft = WeekDay(OwnDate(e)) - WeekDay(now);
    return daysLeft < 0 ? daysLeft + 7 : daysLeft;
}

void RecomputeSchedule(DateEntry& e, const Today& today, const DateTime& now) {
    switch (e.repeat) {
        case kRepeatYearly:
            e.daysLeft = YearlyOccurrence(today, e.calendar, e.month, e.day).daysLeft;
            break;
        case kRepeatMonthly:
            e.daysLeft = IsLunar(e) ? LunarMonthly(today, e.calendar, e.day) : GregorianMonthly(today, e.day);
            break;
        case kRepeatWeekly:
            e.daysLeft = WeeklyDaysLeft(e, now);
            break;
        default:
            e.daysLeft = DaysBetween(today.date, OwnDate(e));
            break;
    }
}

// Passed one-shot schedules go behind all upcoming ones, the most recently passed first.
int64_t ScheduleSortKey(int daysLeft) {
    return daysLeft >= 0 ? daysLeft : 999999 - static_cast<int64_t>(daysLeft);
}

// Texts as GBK, converted once: these run for every row on every repaint.
struct Texts {
    std::string year, month, day, hour, minute, leap;
    std::string everyYear, everyLunarYear, everyMonth, everyLunarMonth, everyWeek;
    std::string weekDays[8];
    std::string left, daysAge, age, days;
    std::string repeatNotes[4];
};

const Texts& T() {
    static const Texts t = [] {
        Texts x;
        x.year = Gbk("年");
        x.month = Gbk("月");
        x.day = Gbk("日");
        x.hour = Gbk("时");
        x.minute = Gbk("分");
        x.leap = Gbk("闰");
        x.everyYear = Gbk("每年的 ");
        x.everyLunarYear = Gbk("每年农历的 ");
        x.everyMonth = Gbk("每月的 ");
        x.everyLunarMonth = Gbk("农历每月的 ");
        x.everyWeek = Gbk("每个星期");
        static const char* const kWeekDays[] = {"", "一", "二", "三", "四", "五", "六", "日"};
        for (int i = 0; i < 8; ++i)
            x.weekDays[i] = Gbk(kWeekDays[i]);
        x.left = Gbk("还有 ");
        x.daysAge = Gbk(" 天 [");
        x.age = Gbk("周岁]");
        x.days = Gbk(" 天");
        x.repeatNotes[kRepeatYearly] = Gbk("（按年重复）");
        x.repeatNotes[kRepeatMonthly] = Gbk("（按月重复）");
        x.repeatNotes[kRepeatWeekly] = Gbk("（按周重复）");
        return x;
    }();
    return t;
}

std::string LeapMark(const DateEntry& e) {
    return e.calendar == kLunarLeap ? T().leap : std::string();
}

std::string LunarMonthDay(const DateEntry& e) {
    return LeapMark(e) + LunarMonthName(e.month) + LunarDayName(e.day);
}

}  // namespace

void RecomputeBirthdays(std::vector<DateEntry>& birthdays, const DateTime& today) {
    if (birthdays.empty()) return;
    const Today t = TakeToday(today);
    for (DateEntry& e : birthdays)
        RecomputeBirthday(e, t);
}

void SortBirthdays(std::vector<DateEntry>& birthdays) {
    std::stable_sort(birthdays.begin(), birthdays.end(),
                     [](const DateEntry& a, const DateEntry& b) { return a.daysLeft < b.daysLeft; });
}

void RecomputeSchedules(std::vector<DateEntry>& schedules, const DateTime& today) {
    if (schedules.empty()) return;
    const Today t = TakeToday(today);
    for (DateEntry& e : schedules)
        RecomputeSchedule(e, t, today);
}

void SortSchedules(std::vector<DateEntry>& schedules) {
    std::stable_sort(schedules.begin(), schedules.end(), [](const DateEntry& a, const DateEntry& b) {
        return ScheduleSortKey(a.daysLeft) < ScheduleSortKey(b.daysLeft);
    });
}

std::string DateText(const DateEntry& entry) {
    const Texts& t = T();
    std::string text;
    if (IsLunar(entry)) {
        text = GanZhiYearName(entry.year) + t.year + LunarMonthDay(entry);
    } else {
        text = std::to_string(entry.year) + t.year + std::to_string(entry.month) + t.month +
               std::to_string(entry.day) + t.day;
    }
    return text + std::to_string(entry.hour) + t.hour + std::to_string(entry.minute) + t.minute;
}

std::string ScheduleDescription(const DateEntry& entry) {
    const Texts& t = T();
    const bool lunar = IsLunar(entry);
    switch (entry.repeat) {
        case kRepeatYearly:
            if (lunar) return t.everyLunarYear + LunarMonthDay(entry);
            return t.everyYear + std::to_string(entry.month) + t.month + std::to_string(entry.day) + t.day;
        case kRepeatMonthly:
            if (lunar) return t.everyLunarMonth + LunarDayName(entry.day);
            return t.everyMonth + std::to_string(entry.day) + t.day;
        case kRepeatWeekly:
            return t.everyWeek + t.weekDays[WeekDay(OwnDate(entry))];
        default:
            return DateText(entry);
    }
}

std::string BirthdaySummary(const DateEntry& entry) {
    const Texts& t = T();
    return t.left + std::to_string(entry.daysLeft) + t.daysAge + std::to_string(entry.age) + t.age;
}

std::string ScheduleSummary(const DateEntry& entry) {
    const Texts& t = T();
    const bool repeating = entry.repeat >= kRepeatYearly && entry.repeat <= kRepeatWeekly;
    return t.left + std::to_string(entry.daysLeft) + t.days +
           (repeating ? t.repeatNotes[entry.repeat] : std::string());
}
