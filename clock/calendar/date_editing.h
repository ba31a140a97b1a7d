// The birthday/schedule editor's save and delete as operations on a list, and the mapping between
// the editor's lunar year/month/day list indexes and lunar dates. Nothing here calls the platform
// or a saver: after a save or delete that reports a change, the caller saves the list
// (SaveBirthdays or SaveSchedules). Texts are GBK.
#pragma once

#include <string>
#include <vector>

#include "clock/core/clock_data.h"
#include "clock/core/date_value.h"

enum DateListKind { kBirthdayList = 3, kScheduleList = 4 };  // the page numbers of the two lists

// ---- Lunar lists ----
// Year list: years 1900..2100, index = year - 1900. Month list of a year: the twelve months, with
// the leap month L (if the year has one) inserted right after month L. Day list: 30 days.

constexpr int kLunarYearItems = 201;
constexpr int kLunarDayItems = 30;

// The years the date picker accepts.
constexpr int kPickerFirstYear = 1601;
constexpr int kPickerLastYear = 9999;

// Index of a year in the year list, -1 outside 1900..2100; and back (no range check).
int LunarYearIndex(int year);
int LunarYearOfIndex(int index);

// Number of items in the year's month list: 13 with a leap month, else 12.
int LunarMonthItemCount(int year);

// The month and leap flag an index of the year's month list stands for. Indexes past the list
// are mapped by the same rule (the editor never produces them).
void LunarMonthOfIndex(int year, int index, int* month, bool* leap);

// The month-list index of (month, leap) in that year. A leap flag the year's leap month does not
// match is ignored (the regular month is taken).
int LunarMonthIndex(int year, int month, bool leap);

// The three lunar list indexes of a Gregorian day, each -1 when the lists cannot show it (a day
// outside the lunar table).
struct LunarListIndexes {
    int year = -1;
    int month = -1;
    int day = -1;
};
LunarListIndexes LunarListIndexesOfDay(const DateTime& day);

// The item texts: "1900 庚子" ...; the year's months with "闰" + name for the leap month; the 30
// day names.
std::string LunarYearItem(int year);
std::vector<std::string> LunarMonthItems(int year);
std::vector<std::string> LunarDayItems();

// ---- Save and delete ----

// What the editor's controls hold when "确定" is pressed.
struct DateEditorInput {
    std::string nameText;
    bool gregorian = true;  // "公历" selected: the picker is read, else the lunar lists
    DateTime picker;        // its year, month, day, hour and minute (hour and minute always used)
    int yearIndex = 0;      // the three lunar lists; -1 for a list without a selection
    int monthIndex = 0;
    int dayIndex = 0;
    int aheadIndex = 0;   // Combo1: days of advance reminder
    int repeatIndex = 0;  // Combo2: schedules only
};

// The controls as the editor opens on a stored entry. The picker shows the entry's day and time;
// for a lunar date that does not exist the nearest day that does (day 30 of a 29-day month on the
// 29th, a leap month the year lacks as its regular month), and today for a date it cannot show at
// all. The lunar lists show the stored lunar date as far as they can (-1 where they cannot), or
// for a Gregorian entry the picker's day.
DateEditorInput DateEditorInputFor(const DateEntry& entry, const DateTime& today);

// The refusal text for a name already in the list.
std::string DateDuplicateMessage(DateListKind kind);

// The refusal text for a lunar date with a list left without a selection.
std::string DateNotChosenMessage();

// The name as saved: every "=" becomes a space, every "," a "，" and every "|" a "｜" (the
// last would break the line format of the data file).
std::string CleanDateName(const std::string& text);

// Saves the editor's input into list (editIndex -1 appends a new entry, else changes entry
// editIndex), then recomputes and sorts the whole list for today. Returns false, leaving the list
// as it was, when another entry (index != editIndex) has the same cleaned name (*message :=
// DateDuplicateMessage(kind)), when editIndex lies outside the list (*message := ""), or when the
// date is to be read from lunar lists that name none (*message := DateNotChosenMessage()). A saved
// schedule is reminded again (reminded := 0); a birthday keeps its reminded flag.
// shown: the controls as read back right after the editor opened on entry editIndex (nullptr for
// a new entry). While the calendar choice, the picker's day and the lunar lists still hold what
// they held then, the entry keeps its stored date, also one the controls cannot show (see
// DateEditorInputFor), and takes only the picker's time of day: a user who changed the name or
// the advance days must not find another date saved.
bool SaveDateEdit(std::vector<DateEntry>& list, DateListKind kind, int editIndex,
                  const DateEditorInput& input, const DateEditorInput* shown, const DateTime& today,
                  std::string* message);

// Removes entry index, moving the following ones up. False when index lies outside the list.
bool DeleteDateEntry(std::vector<DateEntry>& list, int index);

// Where the entry the editor opened is now. The minute pass re-sorts the lists while the editor is
// open (at midnight every entry's days-left changes), so the index taken at opening may by then
// name another entry: the editor keeps a copy of its entry and finds it again before saving or
// deleting. Returns openedIndex when that entry still holds the same stored fields, else the first
// entry that does, else -1 (the entry is gone).
int LocateOpenedEntry(const std::vector<DateEntry>& list, int openedIndex, const DateEntry& opened);
