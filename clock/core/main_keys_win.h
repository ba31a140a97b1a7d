// Keyboard use of the main window: Tab and Shift+Tab between the tab strip, the page's items and
// the band, the arrow keys within the tab strip and the list, Enter and Space as a click on the
// focused item, Ctrl+Tab and Ctrl+Shift+Tab between pages. Escape is the keyboard hook's.
#pragma once

#include <windows.h>

// Handles the keyboard messages of the main window; false for any other message.
bool HandleKeyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
