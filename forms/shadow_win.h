// The drop shadow of a borderless form: a click-through layered window of class
// "FormSmith_Shadow_window", just below the form in the z-order, that follows the form as it
// moves, changes size, shows and hides, and goes with it.
#pragma once

#include <windows.h>

#include "forms/scale.h"

constexpr const wchar_t* kShadowWindowClass = L"FormSmith_Shadow_window";

// Gives form its shadow (once; later calls do nothing). False when the shadow window could not be
// made, which leaves the form as it is.
bool AttachShadow(HWND form, const Scale& scale);

// The form's shadow window, or null.
HWND ShadowOf(HWND form);

// True when the desktop composes windows (always from Windows 8 on): a translucent shadow blends
// into what lies below it only then; without composition some desktops show it as a solid frame.
bool DesktopComposesWindows();
