// Birthdays and schedules: the next occurrence of each entry as whole days from today, the age on a
// birthday, the order of both lists and the texts that show an entry. Texts are GBK.
#pragma once

#include <string>
#include <vector>

#include "clock/core/clock_data.h"
#include "clock/core/date_value.h"

// Fills age and daysLeft of every birthday for the given day.
void RecomputeBirthdays(std::vector<DateEntry>& birthdays, const DateTime& today);

// Orders by daysLeft, nearest first; equal keys keep their order.
void SortBirthdays(std::vector<DateEntry>& birthdays);

// Fills daysLeft of every schedule for the given day (negative for a passed one-shot schedule).
void RecomputeSchedules(std::vector<DateEntry>& schedules, const DateTime& today);

// Upcoming first, nearest first; then passed one-shot schedules, most recently passed first.
void SortSchedules(std::vector<DateEntry>& schedules);

// "1990年4月12日8时0分", or for a lunar entry "庚午年闰五月初八8时0分".
std::string DateText(const DateEntry& entry);

// The schedule's description by its repeat mode ("每年的 4月12日", "农历每月的 初八", "每个星期三"),
// the date text for a one-shot schedule.
std::string ScheduleDescription(const DateEntry& entry);

// The second line of the header band for the nearest entry: "还有 3 天 [35周岁]" for a birthday,
// "还有 3 天（按月重复）" for a schedule.
std::string BirthdaySummary(const DateEntry& entry);
std::string ScheduleSummary(const DateEntry& entry);
