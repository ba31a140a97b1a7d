// Mouse handling of the main window: press, drag, resize, wheel and the click actions of the pages.
#pragma once

#include <windows.h>

// Handles the mouse messages of the main window; false for any other message.
bool HandleMouseMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
