// Dates and times of day as the alarm clock counts them.
//
// A DateValue is a count of days from 1899-12-30 00:00 (1900-01-01 is 2), the fraction being the
// time of day; 0 is the null date. Dates before 1899-12-30 are negative with the fraction counting
// forward from the day's midnight (-1.25 is 1899-12-29 06:00), as the usual date serial does.
// The calendar is the proleptic Gregorian one for every year.
#pragma once

#include <cstdint>
#include <string>

using DateValue = double;

// A local date and time, whole seconds. Fields as on a calendar: month 1..12, day 1..31.
struct DateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The date (midnight) of year, month and day, normalised as a date serial is: month 0 is December
// of the year before, month 13 January of the year after, a day past the month's end runs into the
// next month and day 0 is the last day of the month before.
DateValue MakeDate(int year, int month, int day);

// As MakeDate, plus a time of day (hours, minutes and seconds may also run over, as they add up).
DateValue MakeDateTime(int year, int month, int day, int hour, int minute, int second);
DateValue ToDateValue(const DateTime& t);

// Takes a value apart, rounded to the nearest second.
DateTime SplitDate(DateValue value);

// Whole days since 1899-12-30 of the value's date (time of day ignored).
int64_t DayNumber(DateValue value);

// Week day of the value's date: Monday 1 ... Sunday 7.
int WeekDay(DateValue value);
int WeekDay(const DateTime& t);

// Whole-day difference to - from, time of day ignored (a date difference in days), held within
// +-kDaysBetweenLimit.
constexpr int64_t kDaysBetweenLimit = 1000000000;
int DaysBetween(DateValue from, DateValue to);

// Calendar-year difference: year of to - year of from.
int YearsBetween(DateValue from, DateValue to);

DateValue AddDays(DateValue value, double days);
DateValue AddHours(DateValue value, double hours);

// Seconds since 1899-12-30 00:00, and back; exact for whole seconds.
int64_t ToSeconds(DateValue value);
DateValue FromSeconds(int64_t seconds);

// Seconds of the day 0..86399.
int SecondsOfDay(const DateTime& t);

// "hh:mm:ss", two digits each.
std::string FormatTimeOfDay(const DateTime& t);

// "hh:mm", two digits each.
std::string FormatHourMinute(int hour, int minute);

// Reads "h:m:s" (each part decimal digits, hours 0..23, minutes and seconds 0..59) as a time of
// day in days (0 <= result < 1). Returns false, leaving *result alone, for anything else.
bool ParseTimeOfDay(const std::string& text, DateValue* result);

// Reads "YYYY-MM-DD hh:mm:ss" (or "YYYY-MM-DD", midnight) into *result. The date must exist.
// Returns false, leaving *result alone, for anything else.
bool ParseDateTime(const std::string& text, DateTime* result);

// "YYYY-MM-DD".
std::string FormatIsoDate(DateValue value);
