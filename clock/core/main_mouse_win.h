// Mouse handling of the main window: press, drag, resize, wheel and the click actions of the pages.
#pragma once

#include <windows.h>

#include "clock/core/page_layout.h"

// Handles the mouse messages of the main window; false for any other message.
bool HandleMouseMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

// What the layout depends on of the window's state now: page, scroll, option 4, list length.
PageView CurrentMainView();

// Does what a click on item does on the current page (an editor may open, modal, before it returns).
void ClickMainItem(HWND window, int item);
