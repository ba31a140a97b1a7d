// The Chinese lunar calendar for the lunar years 1900..2100: conversions both ways, month lengths
// and the Chinese names of years, months and days. Pure functions over constant tables; out-of-range
// input gives the value each contract names, never an error. Names are GBK text.
#pragma once

#include <cstdint>
#include <string>

#include "clock/core/date_value.h"

constexpr int kLunarFirstYear = 1900;
constexpr int kLunarLastYear = 2100;

// Packed result of SolarToLunar: bits 0-15 year, 16-19 month, 20-27 day, 28 leap flag; 0 = rejected.
using PackedLunarDate = uint32_t;

struct LunarDate {
    int year = 0;
    int month = 0;
    int day = 0;
    bool leap = false;
};

inline LunarDate UnpackLunarDate(PackedLunarDate p) {
    LunarDate d;
    d.year = static_cast<int>(p & 0xFFFF);
    d.month = static_cast<int>((p >> 16) & 0xF);
    d.day = static_cast<int>((p >> 20) & 0xFF);
    d.leap = ((p >> 28) & 1) != 0;
    return d;
}

// The year's table word: bits 0-3 leap-month code (0 none, 1-12 leap after that month, 0xF none of
// its own and the previous year's leap month has 30 days), bit (16 - m) set = month m has 30 days.
// 0 outside 1900..2100.
uint32_t LunarYearInfo(int year);

// Days of the lunar year, leap month included; 0 outside 1900..2100.
int LunarYearDays(int year);

// The year's leap month 1..12, or 0 (none, code 0xF, or outside 1900..2100).
int LeapMonth(int year);

// Days of the year's leap month (29 or 30); 0 when the year has none.
int LeapMonthDays(int year);

// Days (29 or 30) of regular month 1..12; 0 for a year outside 1900..2100; -1 for a bad month.
int LunarMonthDays(int year, int month);

// Days of a Gregorian month; -1 for a month outside 1..12.
int SolarMonthDays(int year, int month);

// Stem and branch of the year, e.g. 1984 -> 甲子.
std::string GanZhiYearName(int year);

// 正月 ... 十月, 冬月, 腊月 for 1..12; empty otherwise.
std::string LunarMonthName(int month);

// 初一 ... 初十, 十一 ... 十九, 廿十, 廿一 ... 廿九, 卅十 (31..39: 卅一 ...); empty for day >= 40.
std::string LunarDayName(int day);

// The lunar date of a Gregorian date, packed; 0 when year is outside 1900..2101, month outside
// 0..12 or day outside 0..31. Month 0 and day 0 are normalised as MakeDate does. Dates the table
// does not cover (before 1900-01-31, after 2101-01-28) give values callers must not rely on.
PackedLunarDate SolarToLunar(int year, int month, int day);

// The Gregorian date (midnight) of a lunar date; 0 (the null date) when the year is outside
// 1900..2100, the month outside 1..12, leap is set on a month that is not the year's leap month,
// or day exceeds the month's length. Day 0 and below are not rejected.
DateValue LunarToSolar(int year, int month, int day, bool leap);
