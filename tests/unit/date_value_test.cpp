#include "clock/core/date_value.h"

#include <gtest/gtest.h>

namespace {

void ExpectDateTime(const DateTime& t, int y, int mo, int d, int h, int mi, int s) {
    EXPECT_EQ(y, t.year);
    EXPECT_EQ(mo, t.month);
    EXPECT_EQ(d, t.day);
    EXPECT_EQ(h, t.hour);
    EXPECT_EQ(mi, t.minute);
    EXPECT_EQ(s, t.second);
}

TEST(DateValueTest, KnownSerials) {
    EXPECT_EQ(0.0, MakeDate(1899, 12, 30));
    EXPECT_EQ(2.0, MakeDate(1900, 1, 1));
    EXPECT_EQ(45726.0, MakeDate(2025, 3, 10));
    EXPECT_EQ(36585.0, MakeDate(2000, 2, 29));
    EXPECT_EQ(-109511.0, MakeDate(1600, 3, 1));
    EXPECT_EQ(182682.0, MakeDate(2400, 2, 29));
    EXPECT_EQ(-693593.0, MakeDate(1, 1, 1));
}

TEST(DateValueTest, NormalisesOutOfRangeMonthsAndDays) {
    EXPECT_EQ(MakeDate(2024, 12, 5), MakeDate(2025, 0, 5));
    EXPECT_EQ(MakeDate(2026, 1, 5), MakeDate(2025, 13, 5));
    EXPECT_EQ(MakeDate(2023, 11, 5), MakeDate(2025, -13, 5));
    EXPECT_EQ(MakeDate(2027, 1, 5), MakeDate(2025, 25, 5));
    EXPECT_EQ(MakeDate(2025, 3, 1), MakeDate(2025, 2, 29));
    EXPECT_EQ(MakeDate(2025, 3, 2), MakeDate(2025, 1, 30 + 31));  // 30 February
    EXPECT_EQ(MakeDate(2025, 2, 28), MakeDate(2025, 3, 0));
    EXPECT_EQ(MakeDate(2024, 2, 29), MakeDate(2024, 3, 0));
    EXPECT_EQ(MakeDate(2024, 12, 31), MakeDate(2025, 1, 0));
    EXPECT_EQ(MakeDate(2024, 12, 30), MakeDate(2025, 1, -1));
    EXPECT_EQ(MakeDate(2024, 11, 30), MakeDate(2025, 0, 0));
}

TEST(DateValueTest, EveryDayOfEightCenturiesRoundTripsConsecutively) {
    double expected = MakeDate(1600, 1, 1);
    for (int y = 1600; y <= 2400; ++y) {
        for (int m = 1; m <= 12; ++m) {
            static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
            const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
            const int days = m == 2 && leap ? 29 : kDays[m - 1];
            for (int d = 1; d <= days; ++d) {
                const DateValue v = MakeDate(y, m, d);
                ASSERT_EQ(expected, v) << y << "-" << m << "-" << d;
                const DateTime t = SplitDate(v);
                ASSERT_TRUE(t.year == y && t.month == m && t.day == d && t.hour == 0)
                    << y << "-" << m << "-" << d;
                expected += 1;
            }
        }
    }
}

TEST(DateValueTest, NegativeSerialsCountTheTimeForwardFromMidnight) {
    EXPECT_EQ(-1.25, MakeDateTime(1899, 12, 29, 6, 0, 0));
    EXPECT_EQ(-2.5, MakeDateTime(1899, 12, 28, 12, 0, 0));
    ExpectDateTime(SplitDate(-1.25), 1899, 12, 29, 6, 0, 0);
    // Between -1 and 0 the day is 1899-12-30 itself.
    ExpectDateTime(SplitDate(-0.5), 1899, 12, 30, 12, 0, 0);
    EXPECT_EQ(-1, DayNumber(-1.75));
    EXPECT_EQ(0, DayNumber(-0.5));
    EXPECT_EQ(-1 * 86400 + 6 * 3600, ToSeconds(-1.25));
    EXPECT_EQ(-1.75, AddHours(0.25, -12));
    EXPECT_EQ(0.25, AddHours(-1.75, 12));
    EXPECT_EQ(-3.5, AddDays(0.5, -3));
}

TEST(DateValueTest, SecondsRoundTripExactlyOnBothSidesOfTheEpoch) {
    for (int64_t s = -3 * 86400; s <= 3 * 86400; s += 7) {
        ASSERT_EQ(s, ToSeconds(FromSeconds(s))) << s;
    }
    const int64_t far = ToSeconds(MakeDateTime(2099, 12, 31, 23, 59, 59));
    for (int64_t s = far - 200000; s <= far; s += 1)
        ASSERT_EQ(s, ToSeconds(FromSeconds(s)));
    ExpectDateTime(SplitDate(FromSeconds(far)), 2099, 12, 31, 23, 59, 59);
}

TEST(DateValueTest, TimeOfDayAddsUpAndRoundsToTheNearestSecond) {
    ExpectDateTime(SplitDate(MakeDateTime(2025, 3, 10, 25, 61, 61)), 2025, 3, 11, 2, 2, 1);
    ExpectDateTime(SplitDate(MakeDateTime(2025, 3, 10, 0, 0, -1)), 2025, 3, 9, 23, 59, 59);
    const DateValue day = MakeDate(2025, 3, 10);
    ExpectDateTime(SplitDate(day + 10.4 / 86400), 2025, 3, 10, 0, 0, 10);
    ExpectDateTime(SplitDate(day + 10.6 / 86400), 2025, 3, 10, 0, 0, 11);
    ExpectDateTime(SplitDate(day + 1 - 0.3 / 86400), 2025, 3, 11, 0, 0, 0);
    DateTime t;
    t.year = 2025, t.month = 3, t.day = 10, t.hour = 8, t.minute = 30, t.second = 15;
    EXPECT_EQ(t.hour * 3600 + 30 * 60 + 15, SecondsOfDay(t));
    ExpectDateTime(SplitDate(ToDateValue(t)), 2025, 3, 10, 8, 30, 15);
}

TEST(DateValueTest, WeekDaysRunMondayOneToSundaySeven) {
    EXPECT_EQ(1, WeekDay(MakeDate(2025, 3, 10)));
    EXPECT_EQ(7, WeekDay(MakeDate(2025, 3, 16)));
    EXPECT_EQ(6, WeekDay(0.0));
    EXPECT_EQ(5, WeekDay(-1.9));  // 1899-12-29 21:36
    EXPECT_EQ(7, WeekDay(MakeDate(1752, 9, 3)));
    DateTime t;
    t.year = 2025, t.month = 3, t.day = 12, t.hour = 23;
    EXPECT_EQ(3, WeekDay(t));
}

TEST(DateValueTest, DifferencesIgnoreTheTimeOfDay) {
    EXPECT_EQ(1, DaysBetween(MakeDateTime(2025, 3, 10, 23, 0, 0), MakeDateTime(2025, 3, 11, 1, 0, 0)));
    EXPECT_EQ(0, DaysBetween(MakeDateTime(2025, 3, 10, 0, 0, 0), MakeDateTime(2025, 3, 10, 23, 59, 59)));
    EXPECT_EQ(-2, DaysBetween(MakeDate(1900, 1, 1), -0.5));
    EXPECT_EQ(3, DaysBetween(-1.75, 2.0));
    EXPECT_EQ(1, YearsBetween(MakeDate(2024, 12, 31), MakeDate(2025, 1, 1)));
    EXPECT_EQ(-35, YearsBetween(MakeDate(2025, 3, 10), MakeDate(1990, 12, 31)));
}

TEST(DateValueTest, FormatsTimesAndDates) {
    DateTime t;
    t.hour = 7, t.minute = 5, t.second = 9;
    EXPECT_EQ("07:05:09", FormatTimeOfDay(t));
    EXPECT_EQ("23:00", FormatHourMinute(23, 0));
    EXPECT_EQ("2025-03-01", FormatIsoDate(MakeDateTime(2025, 3, 1, 23, 59, 59)));
    EXPECT_EQ("1899-12-29", FormatIsoDate(-1.25));
}

TEST(DateValueTest, ParsesTimesOfDayStrictly) {
    DateValue v = -7;
    ASSERT_TRUE(ParseTimeOfDay("8:30:15", &v));
    EXPECT_EQ(8 * 3600 + 30 * 60 + 15, ToSeconds(v));
    ASSERT_TRUE(ParseTimeOfDay("23:59:59", &v));
    EXPECT_EQ(86399, ToSeconds(v));
    v = -7;
    for (const char* bad : {"24:00:00", "12:60:00", "12:00:60", "12:00", "", "::", "-1:00:00", "12:00:00x",
                            " 1:00:00", "a:b:c", "1:2:3:4"}) {
        EXPECT_FALSE(ParseTimeOfDay(bad, &v)) << bad;
    }
    EXPECT_EQ(-7, v);
}

TEST(DateValueTest, ParsesDateTimesOfExistingDatesOnly) {
    DateTime t;
    ASSERT_TRUE(ParseDateTime("2024-02-29 18:30:05", &t));
    ExpectDateTime(t, 2024, 2, 29, 18, 30, 5);
    ASSERT_TRUE(ParseDateTime("2025-03-10", &t));
    ExpectDateTime(t, 2025, 3, 10, 0, 0, 0);
    for (const char* bad : {"2025-02-29", "2025-13-01", "2025-00-10", "2025-04-31", "2025-03-10 24:00:00",
                            "2025/03/10", "2025-3-10", "2025-03-10T08:00:00", "2025-03-10 08:00", ""}) {
        EXPECT_FALSE(ParseDateTime(bad, &t)) << bad;
    }
    ExpectDateTime(t, 2025, 3, 10, 0, 0, 0);
}

}  // namespace
