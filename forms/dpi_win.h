// The scale of a window, of a monitor and of the screen: the one place that asks the system for
// logical pixels per inch. Per monitor where the system tells it (GetDpiForMonitor from Windows 8.1
// on, GetDpiForWindow from Windows 10 1607 on, both looked up at run time so the programs still
// start without them); elsewhere every monitor has the screen's one scale.
#pragma once

#include <windows.h>

#include "forms/scale.h"

// The screen's logical pixels per inch (LOGPIXELSX/Y): the scale the system gives every monitor
// when it tells none per monitor.
Scale ScreenScale();

// The scale the system gives the window (that of its monitor in a per-monitor aware program), or
// the screen's.
Scale ScaleOfWindow(HWND window);

// The scale of a monitor, or the screen's when the system cannot tell it (or for a null monitor).
Scale ScaleOfMonitor(HMONITOR monitor);

// The scale of the monitor at a point of the virtual screen (device pixels), or of the one
// nearest to it.
Scale ScaleAtPoint(POINT point);

// The scale of the monitor whose work area SPI_GETWORKAREA gives: the primary one, where the
// programs place their pop-ups and the main window.
Scale WorkAreaScale();

// A system metric (SM_CXMENUCHECK ...) at the scale: GetSystemMetricsForDpi where the system has
// it, else the one the system gives at the screen's scale.
int SystemMetricAt(int index, const Scale& scale);

// The new scale WM_DPICHANGED gives in its wParam.
inline Scale ScaleOfDpiChange(WPARAM wParam) {
    return ScaleFromDpi(LOWORD(wParam), HIWORD(wParam));
}
