// Everything the clock's rules need from the system, as free functions. The program implements them
// with Win32; the unit tests link a controllable fake instead, so time can be driven and every call
// to the outside seen. All are called on the GUI thread, except the few at the end marked otherwise.
#pragma once

#include <cstdint>
#include <string>

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

// Opens the shutdown (mode 0) or restart (mode 1) count-down window.
void OpenShutdownCountdown(int mode);

// True when path (GBK) names an existing file that is neither a folder nor marked temporary.
bool IsOpenableFile(const std::string& path);

// Opens a file with the shell's "open" verb, no parameters, normal window. Failures are ignored.
void OpenWithShell(const std::string& path);

// Starts the network time check on a new detached thread.
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
// thread: they touch no state of the program. ----

// True when the system reports an Internet connection (InternetGetConnectedState).
bool PlatformIsOnline();

// Suspends the calling thread for ms milliseconds.
void PlatformSleep(uint32_t ms);

// Sets the local clock's date, keeping its time of day: it reads the local time first and
// replaces year, month and day. A process without the right to change the time changes nothing,
// and nothing is reported.
void SetSystemDate(int year, int month, int day);

// Sets the local clock's time of day, keeping its date and milliseconds, as SetSystemDate does.
void SetSystemTimeOfDay(int hour, int minute, int second);
