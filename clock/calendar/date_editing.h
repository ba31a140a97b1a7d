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
    int yearIndex = 0;      // the three lunar lists
    int monthIndex = 0;
    int dayIndex = 0;
    int aheadIndex = 0;   // Combo1: days of advance reminder
    int repeatIndex = 0;  // Combo2: schedules only
};

// The refusal text for a name already in the list.
std::string DateDuplicateMessage(DateListKind kind);

// The name as saved: every "=" becomes a space, every "," a "，" and every "|" a "｜" (the
// last would break the line format of the data file).
std::string CleanDateName(const std::string& text);

// Saves the editor's input into list (editIndex -1 appends a new entry, else changes entry
// editIndex), then recomputes and sorts the whole list for today. Returns false, leaving the list
// as it was, when another entry (index != editIndex) has the same cleaned name (*message :=
// DateDuplicateMessage(kind)) or editIndex lies outside the list (*message := ""). A saved
// schedule is reminded again (reminded := 0); a birthday keeps its reminded flag.
bool SaveDateEdit(std::vector<DateEntry>& list, DateListKind kind, int editIndex,
                  const DateEditorInput& input, const DateTime& today, std::string* message);

// Removes entry index, moving the following ones up. False when index lies outside the list.
bool DeleteDateEntry(std::vector<DateEntry>& list, int index);

// Where the entry the editor opened is now. The minute pass re-sorts the lists while the editor is
// open (at midnight every entry's days-left changes), so the index taken at opening may by then
// name another entry: the editor keeps a copy of its entry and finds it again before saving or
// deleting. Returns openedIndex when that entry still holds the same stored fields, else the first
// entry that does, else -1 (the entry is gone).
int LocateOpenedEntry(const std::vector<DateEntry>& list, int openedIndex, const DateEntry& opened);
