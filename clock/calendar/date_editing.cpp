#include "clock/calendar/date_editing.h"

#include "clock/calendar/date_entries.h"
#include "clock/calendar/lunar.h"
#include "forms/gbk.h"

int LunarYearIndex(int year) {
    if (year < kLunarFirstYear || year > kLunarLastYear) return -1;
    return year - kLunarFirstYear;
}

int LunarYearOfIndex(int index) {
    return index + kLunarFirstYear;
}

int LunarMonthItemCount(int year) {
    return LeapMonth(year) != 0 ? 13 : 12;
}

void LunarMonthOfIndex(int year, int index, int* month, bool* leap) {
    const int leapMonth = LeapMonth(year);
    const int item = index + 1;
    *leap = false;
    if (leapMonth == 0 || item <= leapMonth) {
        *month = item;
    } else if (item == leapMonth + 1) {
        *month = leapMonth;
        *leap = true;
    } else {
        *month = item - 1;
    }
}

int LunarMonthIndex(int year, int month, bool leap) {
    const int leapMonth = LeapMonth(year);
    if (leapMonth == 0 || month < leapMonth || (month == leapMonth && !leap)) return month - 1;
    return month;  // the leap month sits at index L, every later month one place down
}

LunarListIndexes LunarListIndexesOfDay(const DateTime& day) {
    LunarListIndexes lists;
    const LunarDate lunar = UnpackLunarDate(SolarToLunar(day.year, day.month, day.day));
    // Outside the table the conversion gives values that must not be relied on: only a lunar date
    // that converts back to the same day is shown.
    const DateValue back = LunarToSolar(lunar.year, lunar.month, lunar.day, lunar.leap);
    if (back == 0 || back != MakeDate(day.year, day.month, day.day)) return lists;
    lists.year = LunarYearIndex(lunar.year);
    if (lists.year < 0) return lists;
    lists.month = LunarMonthIndex(lunar.year, lunar.month, lunar.leap);
    lists.day = lunar.day - 1;
    return lists;
}

std::string LunarYearItem(int year) {
    return std::to_string(year) + " " + GanZhiYearName(year);
}

std::vector<std::string> LunarMonthItems(int year) {
    static const std::string kLeap = Gbk("闰");
    std::vector<std::string> items;
    const int count = LunarMonthItemCount(year);
    for (int i = 0; i < count; ++i) {
        int month = 0;
        bool leap = false;
        LunarMonthOfIndex(year, i, &month, &leap);
        items.push_back(leap ? kLeap + LunarMonthName(month) : LunarMonthName(month));
    }
    return items;
}

std::vector<std::string> LunarDayItems() {
    std::vector<std::string> items;
    for (int day = 1; day <= kLunarDayItems; ++day)
        items.push_back(LunarDayName(day));
    return items;
}

namespace {

bool InPickerRange(const DateTime& t) {
    return t.year >= kPickerFirstYear && t.year <= kPickerLastYear;
}

// The nearest existing day of a stored lunar date, the null date when there is none.
DateValue NearestLunarDay(const DateEntry& entry) {
    if (LunarYearIndex(entry.year) < 0 || entry.month < 1 || entry.month > 12 || entry.day < 1) return 0;
    const bool leap = entry.calendar == kLunarLeap && LeapMonth(entry.year) == entry.month;
    const int size = leap ? LeapMonthDays(entry.year) : LunarMonthDays(entry.year, entry.month);
    return LunarToSolar(entry.year, entry.month, entry.day < size ? entry.day : size, leap);
}

// The day the picker shows for a stored entry, today's when it cannot show the entry's.
DateTime PickerDayOf(const DateEntry& entry, const DateTime& today) {
    const bool lunar = entry.calendar != kGregorian;
    const DateValue day = lunar ? NearestLunarDay(entry) : MakeDate(entry.year, entry.month, entry.day);
    DateTime t = SplitDate(day);
    if (day == 0 || !InPickerRange(t)) t = today;
    t.hour = entry.hour;
    t.minute = entry.minute;
    t.second = 0;
    return t;
}

// The stored lunar date in the lists, as far as they hold it: a leap month the year lacks falls
// on its regular month (the lists offer no other), day 30 stays day 30.
LunarListIndexes StoredLunarIndexes(const DateEntry& entry) {
    LunarListIndexes lists;
    lists.year = LunarYearIndex(entry.year);
    if (lists.year >= 0 && entry.month >= 1 && entry.month <= 12) {
        lists.month = LunarMonthIndex(entry.year, entry.month, entry.calendar == kLunarLeap);
    }
    if (entry.day >= 1 && entry.day <= kLunarDayItems) lists.day = entry.day - 1;
    return lists;
}

}  // namespace

DateEditorInput DateEditorInputFor(const DateEntry& entry, const DateTime& today) {
    DateEditorInput input;
    input.nameText = entry.name;
    input.gregorian = entry.calendar == kGregorian;
    input.picker = PickerDayOf(entry, today);
    const LunarListIndexes lists =
        input.gregorian ? LunarListIndexesOfDay(input.picker) : StoredLunarIndexes(entry);
    input.yearIndex = lists.year;
    input.monthIndex = lists.month;
    input.dayIndex = lists.day;
    input.aheadIndex = entry.aheadDays;
    input.repeatIndex = entry.repeat;
    return input;
}

std::string DateDuplicateMessage(DateListKind kind) {
    return kind == kBirthdayList ? Gbk("你设置的生日已经存在了，不需要重复增加。")
                                 : Gbk("你设置的日程已经存在了，不需要重复增加。");
}

std::string DateNotChosenMessage() {
    return Gbk("请选择农历的年、月、日。");
}

std::string CleanDateName(const std::string& text) {
    static const std::string kWideComma = Gbk("，");
    static const std::string kWideBar = Gbk("｜");
    // Stored names never carry '=' or an ASCII ','; the wide comma reads the same on the page.
    // Nor a '|': it separates the fields of the stored line, so "a|b" would come back after a
    // restart as the name "a" with its date lost. The wide bar looks the same.
    return GbkReplaceAll(GbkReplaceAll(GbkReplaceAll(text, "=", " "), ",", kWideComma), "|", kWideBar);
}

namespace {

bool NameTaken(const std::vector<DateEntry>& list, int editIndex, const std::string& name) {
    for (size_t i = 0; i < list.size(); ++i) {
        if (static_cast<int>(i) != editIndex && list[i].name == name) return true;
    }
    return false;
}

bool SameDateControls(const DateEditorInput& a, const DateEditorInput& b) {
    return a.gregorian == b.gregorian && a.picker.year == b.picker.year && a.picker.month == b.picker.month &&
           a.picker.day == b.picker.day && a.yearIndex == b.yearIndex && a.monthIndex == b.monthIndex &&
           a.dayIndex == b.dayIndex;
}

// An empty list used to read as its first item and so saved lunar 1900 正月初一, a date nobody chose.
bool LunarListsNameADate(const DateEditorInput& input) {
    if (input.yearIndex < 0 || input.yearIndex >= kLunarYearItems) return false;
    const int year = LunarYearOfIndex(input.yearIndex);
    return input.monthIndex >= 0 && input.monthIndex < LunarMonthItemCount(year) && input.dayIndex >= 0 &&
           input.dayIndex < kLunarDayItems;
}

// Date fields from the picker, or from the lunar lists when "农历" is chosen, unless the stored date
// is kept; the time of day is always the picker's.
void FillDate(DateEntry& entry, const DateEditorInput& input, bool keepDate) {
    entry.hour = input.picker.hour;
    entry.minute = input.picker.minute;
    if (keepDate) return;
    entry.year = input.picker.year;
    entry.month = input.picker.month;
    entry.day = input.picker.day;
    entry.calendar = kGregorian;
    if (input.gregorian) return;
    entry.year = LunarYearOfIndex(input.yearIndex);
    bool leap = false;
    LunarMonthOfIndex(entry.year, input.monthIndex, &entry.month, &leap);
    entry.day = input.dayIndex + 1;
    entry.calendar = leap ? kLunarLeap : kLunar;
}

// Why the edit cannot be saved, "" when it can.
std::string Refusal(const std::vector<DateEntry>& list, DateListKind kind, int editIndex,
                    const std::string& name, const DateEditorInput& input, bool keepDate) {
    if (NameTaken(list, editIndex, name)) return DateDuplicateMessage(kind);
    if (!keepDate && !input.gregorian && !LunarListsNameADate(input)) return DateNotChosenMessage();
    return std::string();
}

void RecomputeAndSort(std::vector<DateEntry>& list, DateListKind kind, const DateTime& today) {
    if (kind == kScheduleList) {
        RecomputeSchedules(list, today);
        SortSchedules(list);
    } else {
        RecomputeBirthdays(list, today);
        SortBirthdays(list);
    }
}

}  // namespace

bool SaveDateEdit(std::vector<DateEntry>& list, DateListKind kind, int editIndex,
                  const DateEditorInput& input, const DateEditorInput* shown, const DateTime& today,
                  std::string* message) {
    message->clear();
    if (editIndex != -1 && (editIndex < 0 || static_cast<size_t>(editIndex) >= list.size())) return false;
    // The edit box takes 50 characters, up to 100 bytes: cut after cleaning ("，" takes two bytes),
    // so the duplicate check sees the name as it will be stored and read back.
    const std::string name = CutGbk(CleanDateName(input.nameText), kNameBytes);
    const bool keepDate = editIndex != -1 && shown != nullptr && SameDateControls(*shown, input);
    *message = Refusal(list, kind, editIndex, name, input, keepDate);
    if (!message->empty()) return false;
    if (editIndex == -1) {
        list.push_back(DateEntry());
        editIndex = static_cast<int>(list.size()) - 1;
    }
    DateEntry& entry = list[editIndex];
    entry.name = name;
    FillDate(entry, input, keepDate);
    entry.aheadDays = input.aheadIndex;
    if (kind == kScheduleList) {
        entry.repeat = input.repeatIndex;
        entry.reminded = 0;
    }
    RecomputeAndSort(list, kind, today);
    return true;
}

namespace {

// The fields the data file keeps; the derived and run-time ones change under the editor.
bool SameStoredFields(const DateEntry& a, const DateEntry& b) {
    return a.name == b.name && a.calendar == b.calendar && a.year == b.year && a.month == b.month &&
           a.day == b.day && a.hour == b.hour && a.minute == b.minute && a.aheadDays == b.aheadDays &&
           a.repeat == b.repeat;
}

}  // namespace

int LocateOpenedEntry(const std::vector<DateEntry>& list, int openedIndex, const DateEntry& opened) {
    if (openedIndex >= 0 && static_cast<size_t>(openedIndex) < list.size() &&
        SameStoredFields(list[openedIndex], opened)) {
        return openedIndex;
    }
    for (size_t i = 0; i < list.size(); ++i) {
        if (SameStoredFields(list[i], opened)) return static_cast<int>(i);
    }
    return -1;
}

bool DeleteDateEntry(std::vector<DateEntry>& list, int index) {
    if (index < 0 || static_cast<size_t>(index) >= list.size()) return false;
    list.erase(list.begin() + index);
    return true;
}
