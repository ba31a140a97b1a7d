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

std::string DateDuplicateMessage(DateListKind kind) {
    return kind == kBirthdayList ? Gbk("你设置的生日已经存在了，不需要重复增加。")
                                 : Gbk("你设置的日程已经存在了，不需要重复增加。");
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

// Date fields from the picker, or from the lunar lists when "农历" is chosen; the time of day is
// always the picker's.
void FillDate(DateEntry& entry, const DateEditorInput& input) {
    entry.year = input.picker.year;
    entry.month = input.picker.month;
    entry.day = input.picker.day;
    entry.hour = input.picker.hour;
    entry.minute = input.picker.minute;
    entry.calendar = kGregorian;
    if (input.gregorian) return;
    entry.year = LunarYearOfIndex(input.yearIndex);
    bool leap = false;
    LunarMonthOfIndex(entry.year, input.monthIndex, &entry.month, &leap);
    entry.day = input.dayIndex + 1;
    entry.calendar = leap ? kLunarLeap : kLunar;
}

}  // namespace

bool SaveDateEdit(std::vector<DateEntry>& list, DateListKind kind, int editIndex,
                  const DateEditorInput& input, const DateTime& today, std::string* message) {
    message->clear();
    if (editIndex != -1 && (editIndex < 0 || static_cast<size_t>(editIndex) >= list.size())) return false;
    // The edit box takes 50 characters, up to 100 bytes: cut after cleaning ("，" takes two bytes),
    // so the duplicate check sees the name as it will be stored and read back.
    const std::string name = CutGbk(CleanDateName(input.nameText), kNameBytes);
    if (NameTaken(list, editIndex, name)) {
        *message = DateDuplicateMessage(kind);
        return false;
    }
    if (editIndex == -1) {
        list.push_back(DateEntry());
        editIndex = static_cast<int>(list.size()) - 1;
    }
    DateEntry& entry = list[editIndex];
    entry.name = name;
    FillDate(entry, input);
    entry.aheadDays = input.aheadIndex;
    if (kind == kScheduleList) {
        entry.repeat = input.repeatIndex;
        entry.reminded = 0;
        RecomputeSchedules(list, today);
        SortSchedules(list);
    } else {
        RecomputeBirthdays(list, today);
        SortBirthdays(list);
    }
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
