#include "clock/calendar/lunar.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "forms/gbk.h"

namespace {

LunarDate Lunar(int year, int month, int day) {
    return UnpackLunarDate(SolarToLunar(year, month, day));
}

void ExpectLunar(const LunarDate& d, int year, int month, int day, bool leap) {
    EXPECT_EQ(year, d.year);
    EXPECT_EQ(month, d.month);
    EXPECT_EQ(day, d.day);
    EXPECT_EQ(leap, d.leap);
}

int MonthLength(const LunarDate& d) {
    return d.leap ? LeapMonthDays(d.year) : LunarMonthDays(d.year, d.month);
}

// The lunar date after d, walking the leap month right after the regular month it follows.
LunarDate NextLunarDay(LunarDate d) {
    if (d.day < MonthLength(d)) {
        ++d.day;
    } else if (!d.leap && LeapMonth(d.year) == d.month) {
        d.day = 1;
        d.leap = true;
    } else if (d.month < 12) {
        d = {d.year, d.month + 1, 1, false};
    } else {
        d = {d.year + 1, 1, 1, false};
    }
    return d;
}

TEST(LunarTableTest, YearLengthsAndLeapMonthsAddUp) {
    int leapYears = 0, markerYears = 0, total = 0;
    for (int y = kLunarFirstYear; y <= kLunarLastYear; ++y) {
        const int days = LunarYearDays(y);
        int sum = LeapMonthDays(y);
        for (int m = 1; m <= 12; ++m)
            sum += LunarMonthDays(y, m);
        EXPECT_EQ(sum, days) << y;
        EXPECT_TRUE((days >= 353 && days <= 355) || (days >= 383 && days <= 385)) << y << ": " << days;
        EXPECT_EQ(LeapMonth(y) != 0, days > 355) << y;
        leapYears += LeapMonth(y) != 0;
        markerYears += (LunarYearInfo(y) & 0xF) == 0xF;
        total += days;
    }
    EXPECT_EQ(74, leapYears);
    EXPECT_EQ(20, markerYears);
    EXPECT_EQ(73412, total);
    EXPECT_EQ(384, LunarYearDays(1900));
    EXPECT_EQ(354, LunarYearDays(1901));
    EXPECT_EQ(354, LunarYearDays(2100));
}

TEST(LunarTableTest, TwentyFiveYearBlocksMatchTheYearLengths) {
    // The year walk of SolarToLunar starts from these published block offsets.
    const struct {
        int year;
        int offset;
    } kBlocks[] = {{1925, 9124},  {1950, 18279}, {1975, 27404}, {2000, 36529},
                   {2025, 45654}, {2050, 54779}, {2075, 63933}};
    int offset = 0;
    int year = kLunarFirstYear;
    for (const auto& block : kBlocks) {
        for (; year < block.year; ++year)
            offset += LunarYearDays(year);
        EXPECT_EQ(block.offset, offset) << block.year;
        EXPECT_EQ(MakeDate(1900, 1, 31) + block.offset, LunarToSolar(block.year, 1, 1, false)) << block.year;
        const DateTime first = SplitDate(MakeDate(1900, 1, 31 + block.offset));
        ExpectLunar(Lunar(first.year, first.month, first.day), block.year, 1, 1, false);
        const DateTime eve = SplitDate(MakeDate(1900, 1, 30 + block.offset));
        ExpectLunar(Lunar(eve.year, eve.month, eve.day), block.year - 1, 12,
                    LunarMonthDays(block.year - 1, 12), false);
    }
}

TEST(LunarTableTest, MonthAndLeapQueries) {
    EXPECT_EQ(0x5B52u, LunarYearInfo(2023));
    const int kSizes2023[] = {29, 30, 29, 30, 30, 29, 30, 30, 29, 30, 29, 30};
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(kSizes2023[m - 1], LunarMonthDays(2023, m)) << m;
    EXPECT_EQ(2, LeapMonth(2023));
    EXPECT_EQ(29, LeapMonthDays(2023));
    EXPECT_EQ(0, LeapMonth(1907));  // code 0xF: a marker, not a leap month
    EXPECT_EQ(0, LeapMonthDays(1907));
    EXPECT_EQ(30, LeapMonthDays(1906));
    EXPECT_EQ(11, LeapMonth(2033));
    EXPECT_EQ(29, LeapMonthDays(2033));
    EXPECT_EQ(28, SolarMonthDays(1900, 2));
    EXPECT_EQ(29, SolarMonthDays(2000, 2));
    EXPECT_EQ(31, SolarMonthDays(2024, 12));
}

TEST(LunarTableTest, OutOfRangeQueries) {
    EXPECT_EQ(0u, LunarYearInfo(1899));
    EXPECT_EQ(0u, LunarYearInfo(2101));
    EXPECT_EQ(0, LunarYearDays(1899));
    EXPECT_EQ(0, LeapMonth(2101));
    EXPECT_EQ(-1, LunarMonthDays(2023, 13));
    EXPECT_EQ(-1, LunarMonthDays(2023, 0));
    EXPECT_EQ(0, LunarMonthDays(1899, 1));
    EXPECT_EQ(-1, SolarMonthDays(2024, 0));
    EXPECT_EQ(-1, SolarMonthDays(2024, 13));
}

// Four years where the widely copied table swaps two neighbouring months: the later month of each
// pair starts one day away from where that table puts it.
TEST(LunarTableTest, MendedYearsFollowTheOfficialCalendar) {
    EXPECT_EQ(30, LunarMonthDays(1906, 3));
    EXPECT_EQ(29, LunarMonthDays(1906, 4));
    EXPECT_EQ(MakeDate(1906, 4, 24), LunarToSolar(1906, 4, 1, false));  // the old table: 04-23
    EXPECT_EQ(MakeDate(1906, 5, 23), LunarToSolar(1906, 4, 1, true));
    EXPECT_EQ(29, LunarMonthDays(1914, 9));
    EXPECT_EQ(30, LunarMonthDays(1914, 10));
    EXPECT_EQ(MakeDate(1914, 11, 17), LunarToSolar(1914, 10, 1, false));  // the old table: 11-18
    EXPECT_EQ(MakeDate(1914, 12, 17), LunarToSolar(1914, 11, 1, false));
    EXPECT_EQ(29, LunarMonthDays(2089, 7));
    EXPECT_EQ(30, LunarMonthDays(2089, 8));
    EXPECT_EQ(MakeDate(2089, 9, 4), LunarToSolar(2089, 8, 1, false));  // the old table: 09-05
    EXPECT_EQ(29, LunarMonthDays(2097, 6));
    EXPECT_EQ(30, LunarMonthDays(2097, 7));
    EXPECT_EQ(MakeDate(2097, 8, 7), LunarToSolar(2097, 7, 1, false));  // the old table: 08-08

    ExpectLunar(Lunar(1906, 4, 23), 1906, 3, 30, false);
    ExpectLunar(Lunar(1914, 11, 17), 1914, 10, 1, false);
    ExpectLunar(Lunar(2089, 9, 4), 2089, 8, 1, false);
    ExpectLunar(Lunar(2097, 8, 7), 2097, 7, 1, false);
    EXPECT_EQ(0, LunarToSolar(1906, 4, 30, false));
    EXPECT_EQ(0, LunarToSolar(2097, 6, 30, false));
}

TEST(LunarConversionTest, EveryDayOfTheTableRoundTripsInLunarOrder) {
    const int first = static_cast<int>(MakeDate(1900, 1, 31));
    const int last = static_cast<int>(MakeDate(2101, 1, 28));
    ASSERT_EQ(73412, last - first + 1);
    LunarDate expected{1900, 1, 1, false};
    for (int serial = first; serial <= last; ++serial) {
        const DateTime t = SplitDate(serial);
        const LunarDate d = UnpackLunarDate(SolarToLunar(t.year, t.month, t.day));
        ASSERT_TRUE(d.year == expected.year && d.month == expected.month && d.day == expected.day &&
                    d.leap == expected.leap)
            << FormatIsoDate(serial) << ": " << d.year << "-" << d.month << "-" << d.day
            << (d.leap ? " leap" : "");
        ASSERT_EQ(serial, LunarToSolar(d.year, d.month, d.day, d.leap)) << FormatIsoDate(serial);
        expected = NextLunarDay(d);
    }
    EXPECT_EQ(2101, expected.year);  // the walk ended exactly on the last day of lunar 2100
}

TEST(LunarConversionTest, ExamplesBothWays) {
    ExpectLunar(Lunar(1900, 1, 31), 1900, 1, 1, false);
    ExpectLunar(Lunar(2023, 3, 22), 2023, 2, 1, true);
    ExpectLunar(Lunar(2023, 4, 20), 2023, 3, 1, false);
    ExpectLunar(Lunar(2024, 2, 10), 2024, 1, 1, false);
    ExpectLunar(Lunar(2101, 1, 28), 2100, 12, 29, false);
    ExpectLunar(Lunar(2026, 12, 7), 2026, 10, 29, false);
    EXPECT_EQ(MakeDate(2023, 3, 22), LunarToSolar(2023, 2, 1, true));
    EXPECT_EQ(MakeDate(2023, 2, 20), LunarToSolar(2023, 2, 1, false));
    EXPECT_EQ(MakeDate(2024, 2, 10), LunarToSolar(2024, 1, 1, false));
    EXPECT_EQ(MakeDate(1900, 1, 31), LunarToSolar(1900, 1, 1, false));
}

TEST(LunarConversionTest, NormalisesMonthZeroAndDayZero) {
    EXPECT_EQ(SolarToLunar(2024, 2, 29), SolarToLunar(2024, 3, 0));
    EXPECT_EQ(SolarToLunar(2023, 12, 15), SolarToLunar(2024, 0, 15));
    EXPECT_EQ(SolarToLunar(2023, 11, 30), SolarToLunar(2024, 0, 0));
}

TEST(LunarConversionTest, RejectsWhatLiesOutsideItsRanges) {
    EXPECT_EQ(0u, SolarToLunar(2102, 1, 1));
    EXPECT_EQ(0u, SolarToLunar(1899, 12, 31));
    EXPECT_EQ(0u, SolarToLunar(2024, 13, 1));
    EXPECT_EQ(0u, SolarToLunar(2024, -1, 1));
    EXPECT_EQ(0u, SolarToLunar(2024, 1, 32));
    EXPECT_EQ(0u, SolarToLunar(2024, 1, -1));
    EXPECT_EQ(0, LunarToSolar(2023, 2, 30, true));  // 2023's leap second month has 29 days
    EXPECT_EQ(0, LunarToSolar(2023, 3, 1, true));   // and it is the second, not the third
    EXPECT_EQ(0, LunarToSolar(2024, 1, 30, false));
    EXPECT_EQ(0, LunarToSolar(1899, 1, 1, false));
    EXPECT_EQ(0, LunarToSolar(2101, 1, 1, false));
    EXPECT_EQ(0, LunarToSolar(2024, 0, 1, false));
    EXPECT_EQ(0, LunarToSolar(2024, 13, 1, false));
    // Day 0 and below count back from the month's first day.
    EXPECT_EQ(MakeDate(2024, 2, 9), LunarToSolar(2024, 1, 0, false));
}

TEST(LunarConversionTest, DatesBeyondTheTableAreAcceptedButNotMeaningful) {
    const LunarDate after = Lunar(2101, 1, 29);
    ExpectLunar(after, 2100, 13, 1, false);
    ExpectLunar(Lunar(2101, 2, 1), 2100, 13, 4, false);
    const LunarDate before = Lunar(1900, 1, 30);
    EXPECT_EQ(1899, before.year);
    EXPECT_EQ(0, before.month);
    EXPECT_EQ(0, before.day);
    EXPECT_NE(0u, SolarToLunar(1900, 1, 1));
    EXPECT_EQ(0u, SolarToLunar(1900, 1, 1) >> 29);  // the top bits stay clear
}

TEST(LunarNamesTest, StemBranchCycleOfSixty) {
    EXPECT_EQ(Gbk("庚子"), GanZhiYearName(1900));
    EXPECT_EQ(Gbk("甲子"), GanZhiYearName(1984));
    EXPECT_EQ(Gbk("甲辰"), GanZhiYearName(2024));
    EXPECT_EQ(Gbk("癸亥"), GanZhiYearName(1983));
    EXPECT_EQ(Gbk("庚午"), GanZhiYearName(1990));
    for (int y = 1900; y <= 2040; ++y)
        EXPECT_EQ(GanZhiYearName(y), GanZhiYearName(y + 60)) << y;
    EXPECT_NE(GanZhiYearName(1984), GanZhiYearName(1994));
    EXPECT_EQ(4u, GanZhiYearName(2).size());
}

TEST(LunarNamesTest, MonthNames) {
    EXPECT_EQ(Gbk("正月"), LunarMonthName(1));
    EXPECT_EQ(Gbk("十月"), LunarMonthName(10));
    EXPECT_EQ(Gbk("冬月"), LunarMonthName(11));
    EXPECT_EQ(Gbk("腊月"), LunarMonthName(12));
    EXPECT_EQ("", LunarMonthName(0));
    EXPECT_EQ("", LunarMonthName(13));
}

TEST(LunarNamesTest, DayNames) {
    const char* const kNames[] = {"初一", "初二", "初三", "初四", "初五", "初六", "初七", "初八",
                                  "初九", "初十", "十一", "十二", "十三", "十四", "十五", "十六",
                                  "十七", "十八", "十九", "廿十", "廿一", "廿二", "廿三", "廿四",
                                  "廿五", "廿六", "廿七", "廿八", "廿九", "卅十", "卅一", "卅二",
                                  "卅三", "卅四", "卅五", "卅六", "卅七", "卅八", "卅九"};
    for (int d = 1; d <= 39; ++d)
        EXPECT_EQ(Gbk(kNames[d - 1]), LunarDayName(d)) << d;
    EXPECT_EQ("", LunarDayName(40));
    EXPECT_EQ("", LunarDayName(-1));
}

}  // namespace
