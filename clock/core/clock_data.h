// The alarm clock's records and lists, its data file 闹钟数据.INI, the load at start-up and the
// savers. Text fields are GBK. Everything here runs on the GUI thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "clock/core/date_value.h"
#include "forms/ini.h"

constexpr size_t kNameBytes = 50;        // names: 50 bytes, 25 Chinese characters
constexpr size_t kOptionSlotBytes = 99;  // a 100-byte zero-terminated option slot
constexpr int kOptionCount = 7;
constexpr int kPageCount = 6;  // 0 闹钟, 1 秒表, 2 计时, 3 生日, 4 日程, 5 设置
constexpr int kSettingsPage = 5;

enum OptionSlot {
    kOptionTopmost = 0,
    kOptionStartWithSystem = 1,
    kOptionTrayIcon = 2,
    kOptionRememberWindow = 3,
    kOptionTabsBelow = 4,
    kOptionCloseHides = 5,
    kOptionNetTime = 6,
};

struct AlarmEntry {
    std::string name;  // at most kNameBytes
    int hour = 0;
    int minute = 0;
    uint8_t days[8] = {};  // days[1] Monday ... days[7] Sunday; days[0] unused
    int enabled = 0;
    int64_t rangAt = 0;  // run-time only: the ring moment (ToSeconds) it last rang for, 0 = none
    std::string action;  // "", "关机", "重启" or a file path (GBK)
};

struct TimerEntry {
    int seconds = 0;
    uint64_t startTick = 0;  // run-time only: GetTickCount when started, 0 = stopped
};

enum DateCalendar { kGregorian = 0, kLunar = 1, kLunarLeap = 2 };
enum ScheduleRepeat { kRepeatNone = 0, kRepeatYearly = 1, kRepeatMonthly = 2, kRepeatWeekly = 3 };

// A birthday or a schedule.
struct DateEntry {
    std::string name;  // at most kNameBytes
    int calendar = kGregorian;
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int aheadDays = 0;
    int repeat = kRepeatNone;  // schedules only
    int age = 0;               // derived
    int daysLeft = 0;          // derived
    uint32_t reminded = 0;     // run-time only
};

// Work area of the screen and the screen scale, for the window's default place.
struct ScreenMetrics {
    int left = 0;
    int top = 0;
    int right = 1024;
    int bottom = 768;
    double scaleX = 1.0;  // logical pixels per inch / 96
    double scaleY = 1.0;
};

struct WindowGeometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// ---- Process-wide state (GUI thread) ----
extern std::vector<AlarmEntry> Alarms;
extern std::vector<uint64_t> LapTimes;
extern std::vector<TimerEntry> Timers;
extern std::vector<DateEntry> Birthdays;
extern std::vector<DateEntry> Schedules;
extern std::string OptionSlots[kOptionCount];  // "flag|caption"
extern int CurrentPage;
extern uint64_t StopwatchStart;   // multimedia tick up to which LapTimes[0] is counted; 0 = not running
extern std::string DataFilePath;  // UTF-8 path of 闹钟数据.INI

// Built-in "flag|caption" of slot k (GBK).
std::string BuiltInOption(int slot);

// A slot is on unless its first character is '0' (an empty slot is on).
bool OptionOn(int slot);

// Sets slot's flag character to '1' or '0', keeping the caption.
void SetOptionFlag(int slot, bool on);

// The data file's path: the program's full path cut after its last '\', '/' or ':', + 闹钟数据.INI.
std::string DataFilePathFor(const std::string& programPathUtf8);

// Reads an integer leniently: leading spaces, optional sign, decimal digits up to the first other
// character; "&H", "&O", "&B" select base 16, 8, 2; no number gives 0. Out-of-range values clamp
// to the 64-bit range.
int64_t LenientInt(const std::string& text);

// ---- Entry texts (value of a key line, GBK) ----
AlarmEntry ParseAlarm(const std::string& value);
std::string FormatAlarm(const AlarmEntry& alarm);
DateEntry ParseBirthday(const std::string& value);
DateEntry ParseSchedule(const std::string& value);
std::string FormatBirthday(const DateEntry& entry);
std::string FormatSchedule(const DateEntry& entry);
std::string RepeatText(int repeat);  // "" outside 0..3

// The five default alarms (12, 14, 16, 18, 20 o'clock, off) and timers (600, 180, 60, 30, 1 s).
std::vector<AlarmEntry> DefaultAlarms();
std::vector<TimerEntry> DefaultTimers();

// Default place of the main window and the clamping of a stored one (option "remember window").
WindowGeometry ComputeWindowGeometry(const ScreenMetrics& screen, bool remember, const IniDocument& doc);

// What LoadClockData needs from the outside world, so the load can be run with pinned values.
struct LoadEnvironment {
    DateTime now;            // today, for birthdays and schedules
    uint32_t mediaTick = 1;  // current multimedia tick, the new StopwatchStart when running
    bool startupShortcutExists = false;
    ScreenMetrics screen;
};

struct LoadResult {
    WindowGeometry geometry;
    bool showTrayIcon = true;
};

// Reads the data file at DataFilePath into the process-wide state (all steps of the start-up load
// except talking to the window and the tray, whose values it returns). A missing or unreadable file
// loads the defaults. Never fails.
LoadResult LoadClockData(const LoadEnvironment& env);

// ---- Savers: each rewrites one section of the data file from memory; failures are ignored. ----
void SaveAlarms();
void SaveLaps();
void SaveTimers();
void SaveBirthdays();
void SaveSchedules();

// One key of 设置 (GBK key and value); an empty value deletes the key.
void WriteSetting(const std::string& key, const std::string& value);

// One key of 设置, or defaultValue when absent.
std::string ReadSetting(const std::string& key, const std::string& defaultValue);
