#include "clock/calendar/date_editing.h"

#include <gtest/gtest.h>

#include "clock/calendar/date_entries.h"
#include "clock/calendar/lunar.h"
#include "forms/gbk.h"

namespace {

DateTime Day(int year, int month, int day, int hour = 0, int minute = 0) {
    DateTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    return t;
}

DateEditorInput GregorianInput(const std::string& nameUtf8, int year, int month, int day) {
    DateEditorInput in;
    in.nameText = Gbk(nameUtf8.c_str());
    in.picker = Day(year, month, day, 8, 0);
    return in;
}

DateEntry Named(const std::string& nameUtf8) {
    DateEntry e;
    e.name = Gbk(nameUtf8.c_str());
    e.year = 1990;
    e.month = 3;
    e.day = 1;
    return e;
}

const DateTime kToday = Day(2025, 3, 10, 9, 0);

DateEntry LunarEntry(const std::string& nameUtf8, int calendar, int year, int month, int day) {
    DateEntry e = Named(nameUtf8);
    e.calendar = calendar;
    e.year = year;
    e.month = month;
    e.day = day;
    e.hour = 7;
    e.minute = 15;
    return e;
}

// A regular month of the year with 29 days, 0 when there is none.
int ShortLunarMonth(int year) {
    for (int month = 1; month <= 12; ++month) {
        if (LunarMonthDays(year, month) == 29) return month;
    }
    return 0;
}

bool SameDate(const DateEntry& a, const DateEntry& b) {
    return a.calendar == b.calendar && a.year == b.year && a.month == b.month && a.day == b.day;
}

}  // namespace

TEST(LunarLists, YearIndexCoversTheTable) {
    EXPECT_EQ(LunarYearIndex(1900), 0);
    EXPECT_EQ(LunarYearIndex(2100), kLunarYearItems - 1);
    EXPECT_EQ(LunarYearIndex(1899), -1);
    EXPECT_EQ(LunarYearItem(1900), Gbk("1900 庚子"));
    const std::vector<std::string> days = LunarDayItems();
    ASSERT_EQ(days.size(), 30u);  // whatever the month's length
    EXPECT_EQ(days[0], Gbk("初一"));
    EXPECT_EQ(days[29], Gbk("卅十"));
}

TEST(LunarLists, LeapMonthIsInsertedAfterItsRegularMonth) {
    // 2023 has a leap second month: 13 items, 闰二月 the third.
    const std::vector<std::string> items = LunarMonthItems(2023);
    ASSERT_EQ(items.size(), 13u);
    EXPECT_EQ(items[1], Gbk("二月"));
    EXPECT_EQ(items[2], Gbk("闰二月"));
    EXPECT_EQ(items[3], Gbk("三月"));
    EXPECT_EQ(items[12], Gbk("腊月"));
    EXPECT_EQ(LunarMonthItemCount(2024), 12);
    EXPECT_EQ(LunarMonthItems(2024)[11], Gbk("腊月"));
}

TEST(LunarLists, IndexAndMonthMapBothWays) {
    for (int year : {2020, 2023, 2024, 2025}) {
        const int leapMonth = LeapMonth(year);
        for (int index = 0; index < LunarMonthItemCount(year); ++index) {
            int month = 0;
            bool leap = false;
            LunarMonthOfIndex(year, index, &month, &leap);
            EXPECT_EQ(leap, leapMonth != 0 && index == leapMonth) << year << " " << index;
            EXPECT_EQ(LunarMonthIndex(year, month, leap), index) << year << " " << index;
        }
    }
    int month = 0;
    bool leap = true;
    LunarMonthOfIndex(2023, 3, &month, &leap);
    EXPECT_EQ(month, 3);
    EXPECT_FALSE(leap);
    // A leap flag the year does not have falls back on the regular month.
    EXPECT_EQ(LunarMonthIndex(2024, 5, true), 4);
}

TEST(LunarLists, ShowADayOnlyWhereTheTableHasIt) {
    const LunarListIndexes leap = LunarListIndexesOfDay(Day(2023, 3, 22));  // 2023 闰二月初一
    EXPECT_EQ(leap.year, 123);
    EXPECT_EQ(leap.month, 2);
    EXPECT_EQ(leap.day, 0);
    for (const DateTime& outside : {Day(1900, 1, 30), Day(2101, 1, 29), Day(1700, 6, 1)}) {
        const LunarListIndexes none = LunarListIndexesOfDay(outside);
        EXPECT_EQ(none.year, -1) << outside.year;
        EXPECT_EQ(none.month, -1) << outside.year;
        EXPECT_EQ(none.day, -1) << outside.year;
    }
}

TEST(DateEditorSave, NameReplacements) {
    EXPECT_EQ(CleanDateName(Gbk("a=b,c,d")), Gbk("a b，c，d"));
    // A '|' would split the stored line: the entry must read back with its own name and date.
    const std::string cleaned = CleanDateName(Gbk("甲|公历"));
    EXPECT_EQ(cleaned, Gbk("甲｜公历"));
    DateEntry entry;
    entry.name = cleaned;
    entry.year = 1990, entry.month = 3, entry.day = 12;
    const DateEntry back = ParseBirthday(FormatBirthday(entry));
    EXPECT_EQ(back.name, cleaned);
    EXPECT_EQ(back.year, 1990);
    std::vector<DateEntry> list;
    std::string message;
    ASSERT_TRUE(SaveDateEdit(list, kBirthdayList, -1, GregorianInput("张=三,", 1990, 3, 12), nullptr, kToday,
                             &message));
    EXPECT_EQ(list[0].name, Gbk("张 三，"));
}

TEST(DateEditorSave, GregorianBirthdayIsAppendedRecomputedAndSorted) {
    std::vector<DateEntry> list;
    std::string message;
    ASSERT_TRUE(
        SaveDateEdit(list, kBirthdayList, -1, GregorianInput("甲", 1990, 3, 1), nullptr, kToday, &message));
    ASSERT_TRUE(
        SaveDateEdit(list, kBirthdayList, -1, GregorianInput("乙", 1990, 3, 12), nullptr, kToday, &message));
    ASSERT_EQ(list.size(), 2u);
    // The newer entry is due sooner and sorts first.
    EXPECT_EQ(list[0].name, Gbk("乙"));
    EXPECT_EQ(list[0].daysLeft, 2);
    EXPECT_EQ(list[0].age, 35);
    EXPECT_EQ(list[0].calendar, kGregorian);
    EXPECT_EQ(list[0].hour, 8);
    EXPECT_EQ(list[1].daysLeft, 356);
    EXPECT_EQ(list[1].age, 36);
}

TEST(DateEditorSave, LunarListsGiveTheLeapMonthEntry) {
    std::vector<DateEntry> list;
    std::string message;
    DateEditorInput in = GregorianInput("闰", 2023, 3, 22);
    in.gregorian = false;
    in.picker.hour = 18;
    in.picker.minute = 30;
    in.yearIndex = 123;
    in.monthIndex = 2;  // 闰二月
    in.dayIndex = 0;    // 初一
    in.aheadIndex = 3;
    in.repeatIndex = 1;
    ASSERT_TRUE(SaveDateEdit(list, kScheduleList, -1, in, nullptr, kToday, &message));
    const DateEntry& e = list[0];
    EXPECT_EQ(e.year, 2023);
    EXPECT_EQ(e.month, 2);
    EXPECT_EQ(e.day, 1);
    EXPECT_EQ(e.calendar, kLunarLeap);
    EXPECT_EQ(e.hour, 18);  // the time of day is always the picker's
    EXPECT_EQ(e.minute, 30);
    EXPECT_EQ(e.aheadDays, 3);
    EXPECT_EQ(e.repeat, 1);

    in.monthIndex = 3;  // 三月 of the same year, a regular month
    ASSERT_TRUE(SaveDateEdit(list, kScheduleList, 0, in, nullptr, kToday, &message));
    EXPECT_EQ(list[0].month, 3);
    EXPECT_EQ(list[0].calendar, kLunar);
}

TEST(DateEditorSave, DuplicateNamesAreRefused) {
    std::vector<DateEntry> birthdays = {Named("甲"), Named("乙")};
    std::string message;
    EXPECT_FALSE(SaveDateEdit(birthdays, kBirthdayList, -1, GregorianInput("乙", 2000, 1, 1), nullptr, kToday,
                              &message));
    EXPECT_EQ(message, Gbk("你设置的生日已经存在了，不需要重复增加。"));
    EXPECT_EQ(birthdays.size(), 2u);
    EXPECT_FALSE(SaveDateEdit(birthdays, kBirthdayList, 0, GregorianInput("乙", 2000, 1, 1), nullptr, kToday,
                              &message));
    EXPECT_EQ(birthdays[0].year, 1990);

    std::vector<DateEntry> schedules = {Named("会")};
    EXPECT_FALSE(SaveDateEdit(schedules, kScheduleList, -1, GregorianInput("会", 2025, 4, 1), nullptr, kToday,
                              &message));
    EXPECT_EQ(message, Gbk("你设置的日程已经存在了，不需要重复增加。"));
    // The replacements happen before the check: "a,b" is taken by "a，b".
    schedules[0].name = Gbk("a，b");
    EXPECT_FALSE(SaveDateEdit(schedules, kScheduleList, -1, GregorianInput("a,b", 2025, 4, 1), nullptr,
                              kToday, &message));
}

TEST(DateEditorSave, NamesAreCutToFiftyBytesBeforeTheDuplicateCheck) {
    std::string thirty;
    for (int i = 0; i < 30; ++i)
        thirty += "钟";
    std::vector<DateEntry> schedules;
    std::string message;
    ASSERT_TRUE(SaveDateEdit(schedules, kScheduleList, -1, GregorianInput(thirty, 2025, 4, 1), nullptr,
                             kToday, &message));
    EXPECT_EQ(schedules[0].name.size(), 50u);
    // The same first 25 characters would read back as the same name after a restart.
    EXPECT_FALSE(SaveDateEdit(schedules, kScheduleList, -1, GregorianInput(thirty + "表", 2025, 4, 2),
                              nullptr, kToday, &message));
    EXPECT_EQ(message, Gbk("你设置的日程已经存在了，不需要重复增加。"));
}

TEST(DateEditorSave, OwnNameAndEmptyNameAreAccepted) {
    std::vector<DateEntry> birthdays = {Named("甲")};
    std::string message;
    ASSERT_TRUE(SaveDateEdit(birthdays, kBirthdayList, 0, GregorianInput("甲", 2000, 5, 6), nullptr, kToday,
                             &message));
    EXPECT_EQ(birthdays[0].year, 2000);
    ASSERT_TRUE(SaveDateEdit(birthdays, kBirthdayList, -1, GregorianInput("", 2000, 5, 7), nullptr, kToday,
                             &message));
    EXPECT_EQ(birthdays.size(), 2u);
    EXPECT_FALSE(SaveDateEdit(birthdays, kBirthdayList, 2, GregorianInput("丙", 2000, 5, 7), nullptr, kToday,
                              &message));
    EXPECT_TRUE(message.empty());
}

TEST(DateEditorSave, ScheduleIsRemindedAgainBirthdayIsNot) {
    std::vector<DateEntry> birthdays = {Named("甲")};
    birthdays[0].reminded = 1;
    std::vector<DateEntry> schedules = {Named("会")};
    schedules[0].reminded = 1;
    std::string message;
    ASSERT_TRUE(SaveDateEdit(birthdays, kBirthdayList, 0, GregorianInput("甲", 1990, 3, 12), nullptr, kToday,
                             &message));
    ASSERT_TRUE(SaveDateEdit(schedules, kScheduleList, 0, GregorianInput("会", 2025, 3, 12), nullptr, kToday,
                             &message));
    EXPECT_EQ(birthdays[0].reminded, 1u);
    EXPECT_EQ(schedules[0].reminded, 0u);
    EXPECT_EQ(schedules[0].daysLeft, 2);
}

// Stored lunar dates that do not exist: day 30 of a 29-day month, and a leap month the year lacks
// (2024 has none).
TEST(DateEditorKeptDate, OpensOnTheNearestDayWithTheStoredLunarLists) {
    const int month = ShortLunarMonth(2024);
    ASSERT_NE(month, 0);
    const DateEditorInput thirtieth = DateEditorInputFor(LunarEntry("甲", kLunar, 2024, month, 30), kToday);
    EXPECT_FALSE(thirtieth.gregorian);
    EXPECT_EQ(MakeDate(thirtieth.picker.year, thirtieth.picker.month, thirtieth.picker.day),
              LunarToSolar(2024, month, 29, false));
    EXPECT_EQ(thirtieth.picker.hour, 7);
    EXPECT_EQ(thirtieth.yearIndex, LunarYearIndex(2024));
    EXPECT_EQ(thirtieth.monthIndex, month - 1);
    EXPECT_EQ(thirtieth.dayIndex, 29);
    ASSERT_EQ(LeapMonth(2024), 0);
    const DateEditorInput leap = DateEditorInputFor(LunarEntry("乙", kLunarLeap, 2024, 2, 1), kToday);
    EXPECT_EQ(MakeDate(leap.picker.year, leap.picker.month, leap.picker.day),
              LunarToSolar(2024, 2, 1, false));
    EXPECT_EQ(leap.monthIndex, 1);
    // A year outside the table: the picker shows today, the year list nothing.
    const DateEditorInput far = DateEditorInputFor(LunarEntry("丙", kLunar, 1800, 1, 1), kToday);
    EXPECT_EQ(far.picker.day, kToday.day);
    EXPECT_EQ(far.yearIndex, -1);
    // A hand-edited Gregorian year past the picker's range: today, and nothing overflows on the way.
    DateEntry huge = Named("丁");
    huge.year = 2147483647;
    EXPECT_EQ(DateEditorInputFor(huge, kToday).picker.year, kToday.year);
}

TEST(DateEditorKeptDate, UntouchedDateControlsKeepTheStoredDate) {
    const int month = ShortLunarMonth(2024);
    ASSERT_NE(month, 0);
    for (const DateEntry& stored :
         {LunarEntry("甲", kLunar, 2024, month, 30), LunarEntry("乙", kLunarLeap, 2024, 2, 1),
          LunarEntry("丙", kLunar, 1800, 1, 1)}) {
        std::vector<DateEntry> list = {stored};
        const DateEditorInput shown = DateEditorInputFor(stored, kToday);
        DateEditorInput in = shown;
        in.nameText = Gbk("新名");
        in.aheadIndex = 5;
        in.picker.hour = 20;
        std::string message;
        ASSERT_TRUE(SaveDateEdit(list, kBirthdayList, 0, in, &shown, kToday, &message)) << stored.year;
        EXPECT_TRUE(SameDate(list[0], stored)) << list[0].year << "-" << list[0].month << "-" << list[0].day;
        EXPECT_EQ(list[0].hour, 20);
        EXPECT_EQ(list[0].aheadDays, 5);
    }
    // Another day picked in the list is the user's choice.
    std::vector<DateEntry> list = {LunarEntry("甲", kLunar, 2024, month, 30)};
    const DateEditorInput shown = DateEditorInputFor(list[0], kToday);
    DateEditorInput in = shown;
    in.dayIndex = 4;
    std::string message;
    ASSERT_TRUE(SaveDateEdit(list, kBirthdayList, 0, in, &shown, kToday, &message));
    EXPECT_EQ(list[0].day, 5);
    EXPECT_EQ(list[0].month, month);
}

TEST(DateEditorKeptDate, LunarListsWithoutASelectionAreRefused) {
    std::vector<DateEntry> list = {LunarEntry("丙", kLunar, 1800, 1, 1)};
    const DateEditorInput shown = DateEditorInputFor(list[0], kToday);
    DateEditorInput in = shown;
    in.dayIndex = 9;  // a day picked, but still no year
    std::string message;
    EXPECT_FALSE(SaveDateEdit(list, kBirthdayList, 0, in, &shown, kToday, &message));
    EXPECT_EQ(message, DateNotChosenMessage());
    EXPECT_EQ(list[0].year, 1800);
    DateEditorInput fresh = GregorianInput("丁", 2025, 3, 10);
    fresh.gregorian = false;
    fresh.monthIndex = -1;
    EXPECT_FALSE(SaveDateEdit(list, kBirthdayList, -1, fresh, nullptr, kToday, &message));
    EXPECT_EQ(list.size(), 1u);
}

TEST(DateEditorLocate, FindsTheOpenedEntryAfterTheListWasResorted) {
    std::vector<DateEntry> birthdays = {Named("甲"), Named("乙")};
    birthdays[0].day = 10;
    birthdays[1].day = 15;
    RecomputeBirthdays(birthdays, Day(2025, 3, 10, 23, 59));
    SortBirthdays(birthdays);
    const DateEntry opened = birthdays[1];  // 乙, while 甲 is today
    EXPECT_EQ(LocateOpenedEntry(birthdays, 1, opened), 1);
    // After midnight 甲 is a year away and 乙 moves to the top.
    RecomputeBirthdays(birthdays, Day(2025, 3, 11, 0, 0));
    SortBirthdays(birthdays);
    ASSERT_EQ(birthdays[0].name, Gbk("乙"));
    EXPECT_EQ(LocateOpenedEntry(birthdays, 1, opened), 0);
    ASSERT_TRUE(DeleteDateEntry(birthdays, LocateOpenedEntry(birthdays, 1, opened)));
    EXPECT_EQ(birthdays[0].name, Gbk("甲"));
    EXPECT_EQ(LocateOpenedEntry(birthdays, 1, opened), -1);
}

TEST(DateEditorDelete, RemovesTheEntry) {
    std::vector<DateEntry> list = {Named("甲"), Named("乙")};
    EXPECT_FALSE(DeleteDateEntry(list, 2));
    ASSERT_TRUE(DeleteDateEntry(list, 0));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].name, Gbk("乙"));
    ASSERT_TRUE(DeleteDateEntry(list, 0));
    EXPECT_TRUE(list.empty());
}
