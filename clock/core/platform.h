// Everything the clock's rules need from the system, as free functions. The program implements them
// with Win32; the unit tests link a controllable fake instead, so time can be driven and every call
// to the outside seen. All are called on the GUI thread, except the few at the end marked otherwise.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "clock/alarms/alarm_rules.h"
#include "clock/core/clock_data.h"
#include "clock/core/date_value.h"

// The local wall clock, whole seconds.
DateTime PlatformNow();

// The 32-bit millisecond system tick (GetTickCount); wraps after about 49.7 days.
uint32_t PlatformTickCount();

// The 32-bit multimedia millisecond tick (timeGetTime); wraps likewise.
uint32_t PlatformMediaTime();

// Raises a reminder pop-up with its looping sound. kind: 0 alarm, 2 timer, 3 birthday, 4 schedule.
// Texts are GBK.
void ShowReminder(int kind, const std::string& firstText, const std::string& secondText);

// Raises one reminder pop-up of kind with a title and a list of lines (GBK, "错过的闹钟"): only a
// "确定" button, and the kind's sound played once, not looping.
void ShowReminderList(int kind, const std::string& title, const std::vector<std::string>& lines);

// Arms the one wake timer of the program for moment (local wall clock, ToSeconds), replacing any
// earlier one, so that the computer wakes from sleep at that time.
WakeArm ArmWakeTimer(int64_t moment);

// Cancels the wake timer, if one is armed.
void CancelWakeTimer();

// Opens the shutdown (mode 0) or restart (mode 1) count-down window.
void OpenShutdownCountdown(int mode);

// True when path (GBK) names an existing file that is neither a folder nor marked temporary.
bool IsOpenableFile(const std::string& path);

// Opens a file with the shell's "open" verb, no parameters, normal window. False when the shell
// could not.
bool OpenWithShell(const std::string& path);

// Starts the network time check on a new detached thread, unless a check still runs or this run
// already found that it may not set the clock (BeginNetTimeCheck in clock/calendar/net_time.h).
void StartNetTimeCheck();

// Invalidates the whole main window and repaints it at once.
void RepaintMainWindow();

// True when the start-up shortcut 钟伴.lnk exists in the user's Startup folder.
bool StartupShortcutExists();

// Adds or removes the notification-area icon.
void ShowTrayIcon(bool show);

// The work area and the screen scale.
ScreenMetrics PlatformScreenMetrics();

// Moves and sizes the main window.
void MoveMainWindow(const WindowGeometry& geometry);

// ---- For the network time check, which calls these on its own detached thread, not the GUI
// thread: they touch no state of the program and no object that program exit destroys, so a
// check still under way while the program ends cannot fault in them. ----

// True when the system reports an Internet connection (InternetGetConnectedState).
bool PlatformIsOnline();

// Suspends the calling thread for ms milliseconds.
void PlatformSleep(uint32_t ms);

// What a write of the system clock came to.
enum class ClockWrite {
    kDone,
    kNoRight,  // the process lacks the right to set the time (every standard user's process)
    kFailed,   // any other refusal by the system
};

// The system clock in UTC, whole seconds.
DateValue PlatformUtcNow();

// Sets the system clock to utc (UTC, whole seconds; SetSystemTime). The system applies its own
// time zone, so the local clock follows whatever zone the machine is set to.
ClockWrite SetSystemClockUtc(DateValue utc);
