// The notification-area icon, done the proven way: added again when the shell restarts
// ("TaskbarCreated"), the menu shown with the window in front and a WM_NULL after it.
#pragma once

#include <windows.h>

#include <string>

struct TrayIcon {
    HWND window = nullptr;
    UINT id = 0;
    UINT callbackMessage = 0;
    HICON icon = nullptr;
    std::wstring tip;
    bool shown = false;
};

// Adds the icon (or updates it when shown). False when the shell refused.
bool AddTrayIcon(TrayIcon& tray);
void RemoveTrayIcon(TrayIcon& tray);

// A balloon over the icon; adds the icon first when it is not there.
void ShowTrayBalloon(TrayIcon& tray, const std::wstring& title, const std::wstring& text, UINT timeoutMs);

// The message the shell broadcasts when the taskbar comes back: the icon must be added again.
UINT TaskbarCreatedMessage();

// Shows menu at the pointer for the tray; the chosen command arrives as WM_COMMAND.
void ShowTrayMenu(HWND window, HMENU menu);

// Puts icon before the caption of menu item id, as a 32-bit picture with its alpha (the small icon
// size of the screen). The picture is returned for the caller to delete with the menu; null when
// it could not be made.
HBITMAP SetMenuItemIcon(HMENU menu, UINT id, HICON icon);
