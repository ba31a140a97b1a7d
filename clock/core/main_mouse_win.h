// Mouse handling of the main window: press, drag, resize, wheel and the click actions of the pages.
#pragma once

#include <windows.h>

#include "clock/core/page_layout.h"

// Handles the mouse messages of the main window; false for any other message.
bool HandleMouseMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

// The layout's view of the current page: page, scroll, tabs' place, list length.
PageView CurrentMainView();

// What a click on item of the current page does (the keyboard's Enter and Space, an accessibility
// client's default action).
void ClickMainItem(HWND window, int item);
