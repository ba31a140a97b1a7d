// The alarm clock's records and lists, its data file 闹钟数据.INI, the load at start-up and the
// savers. Text fields are GBK. Everything here runs on the GUI thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "clock/core/date_value.h"
#include "clock/core/page_layout.h"
#include "forms/ini.h"

constexpr size_t kNameBytes = 50;        // names: 50 bytes, 25 Chinese characters
constexpr size_t kOptionSlotBytes = 99;  // a 100-byte zero-terminated option slot
constexpr int kOptionCount = 8;

enum OptionSlot {
    kOptionTopmost = 0,
    kOptionStartWithSystem = 1,
    kOptionTrayIcon = 2,
    kOptionRememberWindow = 3,
    kOptionTabsBelow = 4,
    kOptionCloseHides = 5,
    kOptionNetTime = 6,
    kOptionWakeForAlarm = 7,  // wake the computer from sleep for the next alarm
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

// LastSeen is unknown: no file, no key, or a value that is not "yyyy-mm-dd hh:mm:ss".
constexpr int64_t kNoLastSeen = INT64_MIN;

struct LoadResult {
    WindowGeometry geometry;
    bool showTrayIcon = true;
    int64_t lastSeen = kNoLastSeen;  // when the previous run last saw the clock (ToSeconds)
};

// Reads the data file at DataFilePath into the process-wide state (all steps of the start-up load
// except talking to the window and the tray, whose values it returns). A missing file loads the
// defaults. So does a file that exists but cannot be read, or is larger than kDataFileMaxBytes: the
// defaults then must never be written over it, so saves are refused for the rest of the run
// (kUnreadable or kTooLarge, to be told). Never fails.
LoadResult LoadClockData(const LoadEnvironment& env);

// ---- What went wrong with the data file, to be told to the user once per kind and run ----

// No list of the clock comes near this; a larger file is damaged or not the clock's. It is neither
// read nor written.
constexpr size_t kDataFileMaxBytes = size_t{16} << 20;

enum class DataFileProblem {
    kNone,
    // Found at start-up; nothing is written to the file for the rest of the run.
    kUnreadable,    // it exists but could not be read
    kTooLarge,      // over kDataFileMaxBytes (also when found at a save)
    kOtherSession,  // a copy of the clock in another user session uses the same file
    // A save failed; the change stays in memory and later saves are tried again.
    kReadOnly,
    kNoWriteRight,  // the folder refuses new files, or the file refuses to be replaced
    kDiskFull,
    kInUse,  // another program holds the file
    kWriteFailed,
};

// Why nothing may be written to the data file in this run; kNone while saves are allowed.
extern DataFileProblem SavesRefused;

// Refuses every save for the rest of the run (the first reason is kept) and notes why, to be told.
// The other-session check calls it before the load.
void RefuseSavesForRun(DataFileProblem why);

// The next noted problem not yet handed out, or kNone. Each kind is handed out once per run.
DataFileProblem TakeDataFileProblemToTell();
bool DataFileProblemsWaiting();

// Back to a run without problems. Tests only.
void ResetDataFileProblems();

// What the user is told, in Chinese (UTF-8): what failed, which file or folder (dataFilePath is
// UTF-8), and what to do.
std::string DataFileProblemText(DataFileProblem problem, const std::string& dataFilePath);

// ---- Savers: each rewrites one section of the data file from memory. A failure leaves the file
// as it was and notes the problem; true when the file now holds the section. ----
bool SaveAlarms();
bool SaveLaps();
bool SaveTimers();
bool SaveBirthdays();
bool SaveSchedules();

// One key of 设置 (GBK key and value); an empty value deletes the key. Fails as the savers do.
bool WriteSetting(const std::string& key, const std::string& value);

// One key of 设置, or defaultValue when absent.
std::string ReadSetting(const std::string& key, const std::string& defaultValue);

// ---- What the program keeps in 设置 about itself ----

// Key LastSeen: the local time the program last saw the clock, written at suspend, at exit, when
// an alarm rings and once an hour, so alarms missed while it did not run can be told at the next
// start. "yyyy-mm-dd hh:mm:ss"; ParseLastSeen gives kNoLastSeen for anything else.
std::string FormatLastSeen(int64_t seconds);
int64_t ParseLastSeen(const std::string& value);
bool WriteLastSeen(int64_t seconds);

// Key 稍后: the snooze of an alarm pop-up in minutes, one of kSnoozeChoices; any other value, or
// none, is kDefaultSnoozeMinutes. Loaded into SnoozeMinutes.
constexpr int kSnoozeChoices[] = {1, 5, 10, 15, 30};
constexpr int kDefaultSnoozeMinutes = 5;
extern int SnoozeMinutes;
int SnoozeMinutesFrom(const std::string& value);
bool WriteSnoozeMinutes(int minutes);
