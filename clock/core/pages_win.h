// Painting of the main window: the header band and every page, into a Canvas in logical pixels.
// Painters read the process-wide lists (clock_data.h) and what the window passes in, nothing
// else; they change nothing (the window brings the stopwatch total up to date before painting).
#pragma once

#include "clock/core/main_window_rules.h"
#include "forms/canvas_win.h"

// The window state a page reads: its scroll offset, hover and press.
struct PagePaint {
    int scroll = 0;       // PageScroll of the page, 0 or negative
    int hotItem = 0;      // HotItem
    int pressState = 0;   // PressState: 1 = the left button is held on hotItem
    float width = 193;    // client size, logical pixels
    float height = 300;
};

struct BandPaint {
    int page = 0;
    bool active = true;      // the window is active (else the band is shaded)
    bool tabsBelow = false;  // option 4
    int hotItem = 0;
    int pressState = 0;
    Readout readout;
    HICON appIcon = nullptr;  // the 16 x 16 program icon of the settings readout
};

// Everything a paint draws, in order: page area, band, the shadow under a scrolled band.
struct MainPaint {
    BandPaint band;
    PagePaint page;
    DateTime now;
    uint32_t tickNow = 0;  // the system tick, for the timers' remaining time
    int serviceUnread = 0;
};

void DrawHeaderBand(const Canvas& c, const BandPaint& band);
void DrawAlarmPage(const Canvas& c, const PagePaint& page, const DateTime& now);
void DrawStopwatchPage(const Canvas& c, const PagePaint& page);
void DrawTimerPage(const Canvas& c, const PagePaint& page, uint32_t tickNow);
void DrawBirthdayPage(const Canvas& c, const PagePaint& page);
void DrawSchedulePage(const Canvas& c, const PagePaint& page);
void DrawSettingsPage(const Canvas& c, const PagePaint& page, int serviceUnread);

// The whole client area: white background, the current page, the band, and the soft shadow from
// y 48 to 58 while the page is scrolled.
void PaintMainWindow(const Canvas& c, const MainPaint& paint);
