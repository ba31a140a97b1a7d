// Identifiers of the main window that the program, its tests and a second instance share.
#pragma once

#include "clock/core/program_info.h"

constexpr const wchar_t* kMainWindowClass = L"LcChimePal";
constexpr const char* kMainFormName = "Form6";  // the main window's form record

// Held for the whole run: one copy of the clock per user session.
constexpr const wchar_t* kSessionMutexName = L"Local\\LcChimePal.Running";

constexpr unsigned kTimerTick = 102;  // the 100 ms tick timer
constexpr unsigned kTickIntervalMs = 100;
constexpr unsigned kTrayIconId = 103;

constexpr unsigned kWmUser = 0x0400;                  // WM_USER, without <windows.h>
constexpr unsigned kMsgTray = kWmUser + 400;          // tray icon callback
constexpr unsigned kMsgServiceCount = kWmUser + 505;  // the customer-service component's unread count
constexpr unsigned kMsgDataFileProblem = kWmUser + 410;  // tell what went wrong with the data file
constexpr unsigned kMsgAlarmFileProblem = kWmUser + 411;  // tell of an alarm's file not opened
constexpr unsigned kMsgWakeProblem = kWmUser + 412;       // tell that the computer cannot be woken
// Sent by the tests: answered with the moment the wake timer is armed for (seconds since
// 1899-12-30, local time), 0 when none is.
constexpr unsigned kMsgWakeMoment = kWmUser + 413;
// Sent by the tests: answered with the item code that shows the keyboard focus, 0 while none does.
constexpr unsigned kMsgFocusItem = kWmUser + 415;
// Posted by the network time check's thread when the system refused to set the clock for lack of
// rights: the main window tells the user, as the thread itself must show no window.
constexpr unsigned kMsgNetTimeNoRight = kWmUser + 401;
// Posted by the window's accessible object for a reader's default action: wParam the item code,
// lParam the page it was meant for.
constexpr unsigned kMsgAccessClick = kWmUser + 414;

// WM_COMMAND identifiers: the tray menu, a second instance and the pages use them.
constexpr int kCmdShow = 8001;
constexpr int kCmdHide = 8002;
constexpr int kCmdClose = 8003;
constexpr int kCmdAbout = 8004;
constexpr int kCmdService = 8005;
