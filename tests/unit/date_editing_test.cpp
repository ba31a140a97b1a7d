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
    ASSERT_TRUE(
        SaveDateEdit(list, kBirthdayList, -1, GregorianInput("张=三,", 1990, 3, 12), kToday, &message));
    EXPECT_EQ(list[0].name, Gbk("张 三，"));
}

TEST(DateEditorSave, GregorianBirthdayIsAppendedRecomputedAndSorted) {
    std::vector<DateEntry> list;
    std::string message;
    ASSERT_TRUE(SaveDateEdit(list, kBirthdayList, -1, GregorianInput("甲", 1990, 3, 1), kToday, &message));
    ASSERT_TRUE(SaveDateEdit(list, kBirthdayList, -1, GregorianInput("乙", 1990, 3, 12), kToday, &message));
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
    ASSERT_TRUE(SaveDateEdit(list, kScheduleList, -1, in, kToday, &message));
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
    ASSERT_TRUE(SaveDateEdit(list, kScheduleList, 0, in, kToday, &message));
    EXPECT_EQ(list[0].month, 3);
    EXPECT_EQ(list[0].calendar, kLunar);
}

TEST(DateEditorSave, DuplicateNamesAreRefused) {
    std::vector<DateEntry> birthdays = {Named("甲"), Named("乙")};
    std::string message;
    EXPECT_FALSE(
        SaveDateEdit(birthdays, kBirthdayList, -1, GregorianInput("乙", 2000, 1, 1), kToday, &message));
    EXPECT_EQ(message, Gbk("你设置的生日已经存在了，不需要重复增加。"));
    EXPECT_EQ(birthdays.size(), 2u);
    EXPECT_FALSE(
        SaveDateEdit(birthdays, kBirthdayList, 0, GregorianInput("乙", 2000, 1, 1), kToday, &message));
    EXPECT_EQ(birthdays[0].year, 1990);

    std::vector<DateEntry> schedules = {Named("会")};
    EXPECT_FALSE(
        SaveDateEdit(schedules, kScheduleList, -1, GregorianInput("会", 2025, 4, 1), kToday, &message));
    EXPECT_EQ(message, Gbk("你设置的日程已经存在了，不需要重复增加。"));
    // The replacements happen before the check: "a,b" is taken by "a，b".
    schedules[0].name = Gbk("a，b");
    EXPECT_FALSE(
        SaveDateEdit(schedules, kScheduleList, -1, GregorianInput("a,b", 2025, 4, 1), kToday, &message));
}

TEST(DateEditorSave, NamesAreCutToFiftyBytesBeforeTheDuplicateCheck) {
    std::string thirty;
    for (int i = 0; i < 30; ++i)
        thirty += "钟";
    std::vector<DateEntry> schedules;
    std::string message;
    ASSERT_TRUE(
        SaveDateEdit(schedules, kScheduleList, -1, GregorianInput(thirty, 2025, 4, 1), kToday, &message));
    EXPECT_EQ(schedules[0].name.size(), 50u);
    // The same first 25 characters would read back as the same name after a restart.
    EXPECT_FALSE(SaveDateEdit(schedules, kScheduleList, -1, GregorianInput(thirty + "表", 2025, 4, 2), kToday,
                              &message));
    EXPECT_EQ(message, Gbk("你设置的日程已经存在了，不需要重复增加。"));
}

TEST(DateEditorSave, OwnNameAndEmptyNameAreAccepted) {
    std::vector<DateEntry> birthdays = {Named("甲")};
    std::string message;
    ASSERT_TRUE(
        SaveDateEdit(birthdays, kBirthdayList, 0, GregorianInput("甲", 2000, 5, 6), kToday, &message));
    EXPECT_EQ(birthdays[0].year, 2000);
    ASSERT_TRUE(SaveDateEdit(birthdays, kBirthdayList, -1, GregorianInput("", 2000, 5, 7), kToday, &message));
    EXPECT_EQ(birthdays.size(), 2u);
    EXPECT_FALSE(
        SaveDateEdit(birthdays, kBirthdayList, 2, GregorianInput("丙", 2000, 5, 7), kToday, &message));
    EXPECT_TRUE(message.empty());
}

TEST(DateEditorSave, ScheduleIsRemindedAgainBirthdayIsNot) {
    std::vector<DateEntry> birthdays = {Named("甲")};
    birthdays[0].reminded = 1;
    std::vector<DateEntry> schedules = {Named("会")};
    schedules[0].reminded = 1;
    std::string message;
    ASSERT_TRUE(
        SaveDateEdit(birthdays, kBirthdayList, 0, GregorianInput("甲", 1990, 3, 12), kToday, &message));
    ASSERT_TRUE(
        SaveDateEdit(schedules, kScheduleList, 0, GregorianInput("会", 2025, 3, 12), kToday, &message));
    EXPECT_EQ(birthdays[0].reminded, 1u);
    EXPECT_EQ(schedules[0].reminded, 0u);
    EXPECT_EQ(schedules[0].daysLeft, 2);
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
