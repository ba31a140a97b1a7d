// The main window "Form6": a borderless, custom-drawn window of class "LcChimePal" that carries the
// tick timer, the tray icon and the keyboard hook. Its state is process-wide, GUI thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "clock/core/clock_data.h"

extern HWND MainWindow;  // null once the window is destroyed
extern int PageScroll[kPageCount];
extern int HotItem;
extern int PressState;  // 0 none, 1 left button held on HotItem, 99 resizing
extern uint32_t PressTick;
extern int LastY;  // client y (device pixels) of the last press or drag step
extern int ServiceUnread;
extern int FocusItem;  // the item with the keyboard focus (an item code), 0 for none

// Registers the window class and creates the main window, hidden; its load step runs inside.
HWND CreateMainWindow(HINSTANCE instance);

// The tray icon, for the platform functions and the settings page.
void SetTrayIconShown(bool show);

// The balloon of the close-to-hide button (adds the icon when it is not there).
void ShowCloseBalloon(const std::wstring& text, UINT timeoutMs);
