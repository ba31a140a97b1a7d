// Date serials over the proleptic Gregorian calendar. All arithmetic runs on whole seconds counted
// from 1899-12-30 00:00, so that values come out exact to the second whatever the sign; the double
// is only the stored form. Negative serials keep the time of day as a forward fraction (-1.25 is
// 1899-12-29 06:00), which is why they cannot be added to as plain numbers.
#include "clock/core/date_value.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int64_t kSecondsPerDay = 86400;

// Days from 1970-01-01 to 1899-12-30, the serial's day 0.
constexpr int64_t kSerialEpochFromUnix = -25569;

// Division and remainder rounding towards minus infinity, so that times before the epoch fall
// on the day they belong to.
int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

int64_t FloorMod(int64_t a, int64_t b) {
    return a - FloorDiv(a, b) * b;
}

// Days since 1970-01-01 of a valid proleptic Gregorian date (month 1..12, any day within it).
// Eras of 400 years make the leap rule a plain table-free computation.
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = FloorDiv(y, 400);
    const int64_t yoe = y - era * 400;
    const int64_t mp = (m + 9) % 12;  // March = 0, so the leap day ends the year
    const int64_t doy = (153 * mp + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, DateTime* t) {
    z += 719468;
    const int64_t era = FloorDiv(z, 146097);
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    t->year = static_cast<int>(y);
    t->month = static_cast<int>(m);
    t->day = static_cast<int>(d);
}

// Serial day number of (year, month, day) with month and day normalised: any month outside
// 1..12 moves by whole years, and the day counts on from the first of the month.
int64_t SerialDay(int year, int month, int day) {
    const int64_t monthIndex = static_cast<int64_t>(month) - 1;
    const int64_t y = year + FloorDiv(monthIndex, 12);
    const int m = static_cast<int>(FloorMod(monthIndex, 12)) + 1;
    return DaysFromCivil(y, m, 1) + (static_cast<int64_t>(day) - 1) - kSerialEpochFromUnix;
}

// Non-negative decimal digits of text[begin, end) into *value; false for an empty or
// non-digit run. Short runs only, so no overflow.
bool ReadDigits(const std::string& text, size_t begin, size_t end, int* value) {
    if (begin >= end || end - begin > 9 || end > text.size()) return false;
    int v = 0;
    for (size_t i = begin; i < end; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    *value = v;
    return true;
}

bool ValidTime(int hour, int minute, int second) {
    return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

int64_t ToSeconds(DateValue value) {
    // The whole part is the day (towards zero); the fraction, whatever the sign, is the time of
    // day forward from that day's midnight. Values far beyond any calendar (and NaN) are pinned
    // so the conversion to an integer stays defined.
    constexpr double kFarDays = 1e12;
    if (!(value > -kFarDays)) value = -kFarDays;
    if (value > kFarDays) value = kFarDays;
    const double whole = std::trunc(value);
    const double fraction = std::fabs(value - whole);
    return static_cast<int64_t>(whole) * kSecondsPerDay + std::llround(fraction * kSecondsPerDay);
}

DateValue FromSeconds(int64_t seconds) {
    const int64_t day = FloorDiv(seconds, kSecondsPerDay);
    const double fraction = static_cast<double>(seconds - day * kSecondsPerDay) / kSecondsPerDay;
    return day >= 0 ? static_cast<double>(day) + fraction : static_cast<double>(day) - fraction;
}

DateValue MakeDate(int year, int month, int day) {
    return static_cast<double>(SerialDay(year, month, day));
}

DateValue MakeDateTime(int year, int month, int day, int hour, int minute, int second) {
    const int64_t timeOfDay = static_cast<int64_t>(hour) * 3600 + static_cast<int64_t>(minute) * 60 + second;
    return FromSeconds(SerialDay(year, month, day) * kSecondsPerDay + timeOfDay);
}

DateValue ToDateValue(const DateTime& t) {
    return MakeDateTime(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

DateTime SplitDate(DateValue value) {
    const int64_t seconds = ToSeconds(value);
    const int64_t day = FloorDiv(seconds, kSecondsPerDay);
    const int64_t rest = seconds - day * kSecondsPerDay;
    DateTime t;
    CivilFromDays(day + kSerialEpochFromUnix, &t);
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

int64_t DayNumber(DateValue value) {
    return FloorDiv(ToSeconds(value), kSecondsPerDay);
}

int WeekDay(DateValue value) {
    // Day 0, 1899-12-30, was a Saturday (6).
    return static_cast<int>(FloorMod(DayNumber(value) + 5, 7)) + 1;
}

int WeekDay(const DateTime& t) {
    return WeekDay(MakeDate(t.year, t.month, t.day));
}

int DaysBetween(DateValue from, DateValue to) {
    // Real dates are never this far apart; hand-edited years can be, and callers add and subtract
    // small numbers to the result without overflowing.
    const int64_t days = DayNumber(to) - DayNumber(from);
    return static_cast<int>(std::clamp<int64_t>(days, -kDaysBetweenLimit, kDaysBetweenLimit));
}

int YearsBetween(DateValue from, DateValue to) {
    return SplitDate(to).year - SplitDate(from).year;
}

DateValue AddDays(DateValue value, double days) {
    return FromSeconds(ToSeconds(value) + std::llround(days * kSecondsPerDay));
}

DateValue AddHours(DateValue value, double hours) {
    return FromSeconds(ToSeconds(value) + std::llround(hours * 3600));
}

int SecondsOfDay(const DateTime& t) {
    return t.hour * 3600 + t.minute * 60 + t.second;
}

std::string FormatTimeOfDay(const DateTime& t) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return buffer;
}

std::string FormatHourMinute(int hour, int minute) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d", hour, minute);
    return buffer;
}

bool ParseTimeOfDay(const std::string& text, DateValue* result) {
    const size_t first = text.find(':');
    if (first == std::string::npos) return false;
    const size_t second = text.find(':', first + 1);
    if (second == std::string::npos) return false;
    int h = 0, m = 0, s = 0;
    if (!ReadDigits(text, 0, first, &h) || !ReadDigits(text, first + 1, second, &m) ||
        !ReadDigits(text, second + 1, text.size(), &s) || !ValidTime(h, m, s)) {
        return false;
    }
    *result = static_cast<double>(h * 3600 + m * 60 + s) / kSecondsPerDay;
    return true;
}

bool ParseDateTime(const std::string& text, DateTime* result) {
    // Fixed layout: "YYYY-MM-DD" (10 characters), optionally " hh:mm:ss" (19 in all).
    if (text.size() != 10 && text.size() != 19) return false;
    if (text[4] != '-' || text[7] != '-') return false;
    DateTime t;
    if (!ReadDigits(text, 0, 4, &t.year) || !ReadDigits(text, 5, 7, &t.month) ||
        !ReadDigits(text, 8, 10, &t.day)) {
        return false;
    }
    t.hour = t.minute = t.second = 0;
    if (text.size() == 19) {
        if (text[10] != ' ' || text[13] != ':' || text[16] != ':') return false;
        if (!ReadDigits(text, 11, 13, &t.hour) || !ReadDigits(text, 14, 16, &t.minute) ||
            !ReadDigits(text, 17, 19, &t.second)) {
            return false;
        }
    }
    if (t.year < 1 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > DaysInMonth(t.year, t.month))
        return false;
    if (!ValidTime(t.hour, t.minute, t.second)) return false;
    *result = t;
    return true;
}

std::string FormatIsoDate(DateValue value) {
    const DateTime t = SplitDate(value);
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", t.year, t.month, t.day);
    return buffer;
}
