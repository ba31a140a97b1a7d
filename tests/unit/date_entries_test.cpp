#include "clock/calendar/date_entries.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "clock/calendar/lunar.h"
#include "forms/gbk.h"

namespace {

DateTime Day(int year, int month, int day, int hour = 12) {
    DateTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.hour = hour;
    return t;
}

DateEntry Entry(int calendar, int year, int month, int day, int repeat = kRepeatNone) {
    DateEntry e;
    e.calendar = calendar;
    e.year = year;
    e.month = month;
    e.day = day;
    e.repeat = repeat;
    return e;
}

DateEntry Birthday(const DateEntry& e, const DateTime& today) {
    std::vector<DateEntry> list{e};
    RecomputeBirthdays(list, today);
    return list[0];
}

int ScheduleDaysLeft(const DateEntry& e, const DateTime& today) {
    std::vector<DateEntry> list{e};
    RecomputeSchedules(list, today);
    return list[0].daysLeft;
}

struct BirthdayCase {
    const char* what;
    DateEntry entry;
    DateTime today;
    int daysLeft;
    int age;
};

TEST(BirthdayTest, NextOccurrenceAndAge) {
    const BirthdayCase kCases[] = {
        {"in two days", Entry(kGregorian, 1990, 3, 12), Day(2025, 3, 10), 2, 35},
        {"today", Entry(kGregorian, 1990, 3, 10), Day(2025, 3, 10), 0, 35},
        {"passed: next year", Entry(kGregorian, 1990, 3, 1), Day(2025, 3, 10), 356, 36},
        {"29 Feb on 1 Mar", Entry(kGregorian, 2000, 2, 29), Day(2025, 1, 1), 59, 25},
        {"29 Feb next on 28 Feb", Entry(kGregorian, 2000, 2, 29), Day(2025, 3, 2), 363, 26},
        // Lunar 2025's fourth month has 29 days; its 29th is 2025-05-26.
        {"lunar 30th in a short month", Entry(kLunar, 1980, 4, 30), Day(2025, 3, 10), 77, 45},
        // Born in 1990's leap fifth month; 2025 has none: 五月初八 is 2025-06-03.
        {"leap month", Entry(kLunarLeap, 1990, 5, 8), Day(2025, 3, 10), 85, 35},
        // Lunar ages count lunar years: the Gregorian years are one off around the new year.
        {"lunar new year's eve", Entry(kLunar, 1990, 1, 1), Day(2024, 2, 9), 1, 34},
        {"lunar new year", Entry(kLunar, 1990, 1, 1), Day(2024, 2, 10), 0, 34},
        {"day after lunar new year", Entry(kLunar, 1990, 1, 1), Day(2024, 2, 11), 353, 35},
        {"born 1990-01-16, lunar 1989", Entry(kLunar, 1989, 12, 20), Day(2024, 12, 30), 20, 35},
        // 1990's first month has 29 days: the birth date does not exist, its age still counts.
        {"no such birth date", Entry(kLunar, 1990, 1, 30), Day(2025, 3, 10), 373, 36},
    };
    for (const BirthdayCase& c : kCases) {
        const DateEntry b = Birthday(c.entry, c.today);
        EXPECT_EQ(c.daysLeft, b.daysLeft) << c.what;
        EXPECT_EQ(c.age, b.age) << c.what;
    }
}

TEST(BirthdayTest, SortIsStableByDaysLeft) {
    std::vector<DateEntry> list;
    const int kDays[][2] = {{1990, 5}, {1991, 3}, {1992, 5}, {1993, 3}, {1994, 1}};
    for (const auto& d : kDays) {
        DateEntry e = Entry(kGregorian, d[0], 3, 10 + d[1]);
        e.name = std::to_string(d[0]);
        e.reminded = static_cast<uint32_t>(d[0]);
        list.push_back(e);
    }
    RecomputeBirthdays(list, Day(2025, 3, 10));
    SortBirthdays(list);
    const char* const kOrder[] = {"1994", "1991", "1993", "1990", "1992"};
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(kOrder[i], list[i].name);
        EXPECT_EQ(std::to_string(list[i].reminded), list[i].name);  // whole records move
    }
}

struct ScheduleCase {
    const char* what;
    DateEntry entry;
    DateTime today;
    int daysLeft;
};

TEST(ScheduleTest, DaysLeftByRepeat) {
    const int G = kGregorian, L = kLunar, LL = kLunarLeap;
    const ScheduleCase kCases[] = {
        {"one-shot yesterday", Entry(G, 2025, 3, 9), Day(2025, 3, 10), -1},
        {"one-shot today", Entry(G, 2025, 3, 10), Day(2025, 3, 10), 0},
        {"one-shot lunar", Entry(L, 2025, 2, 19), Day(2025, 3, 10), 8},
        {"unknown repeat as one-shot", Entry(G, 2025, 3, 1, 9), Day(2025, 3, 10), -9},
        {"lunar date that does not exist", Entry(LL, 2025, 3, 1), Day(2025, 3, 10), -45726},
        {"yearly", Entry(G, 2000, 12, 25, kRepeatYearly), Day(2025, 3, 10), 290},
        {"yearly passed", Entry(G, 2030, 3, 9, kRepeatYearly), Day(2025, 3, 10), 364},
        {"yearly lunar", Entry(L, 1950, 8, 15, kRepeatYearly), Day(2025, 3, 10), 210},
        {"monthly 31st in February", Entry(G, 2024, 1, 31, kRepeatMonthly), Day(2025, 2, 15), 13},
        {"monthly 31st today", Entry(G, 2024, 1, 31, kRepeatMonthly), Day(2025, 1, 31), 0},
        {"monthly 31st from 1 Feb", Entry(G, 2024, 1, 31, kRepeatMonthly), Day(2025, 2, 1), 27},
        {"monthly into January", Entry(G, 2024, 1, 5, kRepeatMonthly), Day(2025, 12, 20), 16},
        {"monthly 30 February = 2 March", Entry(G, 2024, 1, 30, kRepeatMonthly), Day(2025, 1, 31), 30},
        {"monthly lunar", Entry(L, 2000, 1, 15, kRepeatMonthly), Day(2024, 2, 10), 14},
        {"monthly lunar passed", Entry(L, 2000, 1, 15, kRepeatMonthly), Day(2024, 2, 25), 28},
        // 2023-03-10 is lunar 02-19; 2023's leap second month follows the regular one.
        {"monthly lunar into the leap month", Entry(L, 2000, 1, 10, kRepeatMonthly), Day(2023, 3, 10), 21},
        {"monthly leap entry skips it", Entry(LL, 2000, 1, 10, kRepeatMonthly), Day(2023, 3, 10), 50},
        // 2023-04-05 is the 15th of the leap second month (29 days, 2023-03-22 .. 04-19).
        {"in leap month: 30th on the 29th", Entry(L, 2000, 1, 30, kRepeatMonthly), Day(2023, 4, 5), 14},
        {"in leap month: leap entry", Entry(LL, 2000, 1, 30, kRepeatMonthly), Day(2023, 4, 5), 14},
        {"in leap month: later day", Entry(L, 2000, 1, 25, kRepeatMonthly), Day(2023, 4, 5), 10},
        {"in leap month: today", Entry(L, 2000, 1, 15, kRepeatMonthly), Day(2023, 4, 5), 0},
        {"in leap month: passed, third month", Entry(L, 2000, 1, 10, kRepeatMonthly), Day(2023, 4, 5), 24},
        {"in leap month: last day", Entry(L, 2000, 1, 30, kRepeatMonthly), Day(2023, 4, 19), 0},
        {"after leap month: short third", Entry(L, 2000, 1, 30, kRepeatMonthly), Day(2023, 4, 20), 28},
        {"weekly Wednesday on Friday", Entry(G, 2025, 3, 12, kRepeatWeekly), Day(2025, 3, 14), 5},
        {"weekly Wednesday on Wednesday", Entry(G, 2025, 3, 12, kRepeatWeekly), Day(2025, 3, 19), 0},
        {"weekly Wednesday on Thursday", Entry(G, 2025, 3, 12, kRepeatWeekly), Day(2025, 3, 13), 6},
        // Lunar 1990 leap 五月初八 is 1990-06-30, a Saturday.
        {"weekly lunar", Entry(LL, 1990, 5, 8, kRepeatWeekly), Day(2025, 3, 10), 5},
    };
    for (const ScheduleCase& c : kCases)
        EXPECT_EQ(c.daysLeft, ScheduleDaysLeft(c.entry, c.today)) << c.what;
}

TEST(ScheduleTest, SortPutsUpcomingFirstThenTheMostRecentlyPassed) {
    std::vector<DateEntry> list;
    const int kDaysLeft[] = {-5, 3, -1, 0, 3, -45726, 999999};
    for (int i = 0; i < 7; ++i) {
        DateEntry e;
        e.daysLeft = kDaysLeft[i];
        e.name = std::to_string(i);
        list.push_back(e);
    }
    SortSchedules(list);
    const char* const kOrder[] = {"3", "1", "4", "6", "2", "0", "5"};
    for (size_t i = 0; i < list.size(); ++i)
        EXPECT_EQ(kOrder[i], list[i].name) << i;
}

TEST(EntryTextTest, DateTexts) {
    DateEntry e = Entry(kGregorian, 1990, 4, 12);
    e.hour = 8;
    EXPECT_EQ(Gbk("1990年4月12日8时0分"), DateText(e));
    e = Entry(kLunarLeap, 1990, 5, 8);
    e.hour = 8;
    EXPECT_EQ(Gbk("庚午年闰五月初八8时0分"), DateText(e));
    e = Entry(kLunar, 2024, 12, 30);
    e.hour = 23;
    e.minute = 5;
    EXPECT_EQ(Gbk("甲辰年腊月卅十23时5分"), DateText(e));
}

TEST(EntryTextTest, ScheduleDescriptionsByRepeat) {
    DateEntry g = Entry(kGregorian, 2025, 3, 12, kRepeatYearly);
    DateEntry l = Entry(kLunarLeap, 1990, 5, 8, kRepeatYearly);
    EXPECT_EQ(Gbk("每年的 3月12日"), ScheduleDescription(g));
    EXPECT_EQ(Gbk("每年农历的 闰五月初八"), ScheduleDescription(l));
    g.repeat = l.repeat = kRepeatMonthly;
    EXPECT_EQ(Gbk("每月的 12日"), ScheduleDescription(g));
    EXPECT_EQ(Gbk("农历每月的 初八"), ScheduleDescription(l));
    g.repeat = l.repeat = kRepeatWeekly;
    EXPECT_EQ(Gbk("每个星期三"), ScheduleDescription(g));
    EXPECT_EQ(Gbk("每个星期六"), ScheduleDescription(l));
    g.repeat = l.repeat = kRepeatNone;
    EXPECT_EQ(DateText(g), ScheduleDescription(g));
    EXPECT_EQ(Gbk("庚午年闰五月初八0时0分"), ScheduleDescription(l));
    g.repeat = 7;
    EXPECT_EQ(Gbk("2025年3月12日0时0分"), ScheduleDescription(g));
    g = Entry(kGregorian, 2025, 3, 16, kRepeatWeekly);
    EXPECT_EQ(Gbk("每个星期日"), ScheduleDescription(g));
}

TEST(EntryTextTest, SummaryLines) {
    DateEntry e;
    e.daysLeft = 3;
    e.age = 35;
    EXPECT_EQ(Gbk("还有 3 天 [35周岁]"), BirthdaySummary(e));
    const char* const kNotes[] = {"", "（按年重复）", "（按月重复）", "（按周重复）", ""};
    for (int repeat = 0; repeat <= 4; ++repeat) {
        e.repeat = repeat;
        EXPECT_EQ(Gbk("还有 3 天") + Gbk(kNotes[repeat]), ScheduleSummary(e)) << repeat;
    }
    e.repeat = kRepeatNone;
    e.daysLeft = -12;
    EXPECT_EQ(Gbk("还有 -12 天"), ScheduleSummary(e));
}

}  // namespace
