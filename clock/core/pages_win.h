// Painting of the main window: the header band and every page, into a Canvas in logical pixels.
// Painters read the process-wide lists (clock_data.h) and what the window passes in, nothing
// else; they change nothing (the window brings the stopwatch total up to date before painting).
#pragma once

#include "clock/core/main_window_rules.h"
#include "forms/canvas_win.h"

// The window state a page reads: its scroll offset, hover and press.
struct PagePaint {
    int scroll = 0;      // PageScroll of the page, 0 or negative
    int hotItem = 0;     // HotItem
    int pressState = 0;  // PressState: 1 = the left button is held on hotItem
    float width = 193;   // client size, logical pixels
    float height = 300;
};

// The layout's view of a page as its painter sees it: page and scroll.
inline PageView PaintedView(int pageId, const PagePaint& page) {
    PageView view;
    view.page = pageId;
    view.scroll = page.scroll;
    return view;
}

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
    // The keyboard focus, drawn last as a dotted frame; an empty box when none is shown.
    LayoutRect focus;
    bool focusOnBand = false;  // a tab or the close button: drawn in the band's caption colour
};

void DrawHeaderBand(const Canvas& c, const BandPaint& band);

// The page painters draw what stays the same from one second to the next and return the bottom of
// their content (logical y), which decides the fade at the window's bottom edge. The alarms'
// count-down lines follow the clock and are drawn apart.
float DrawAlarmPage(const Canvas& c, const PagePaint& page, const DateTime& now);
void DrawAlarmCountdowns(const Canvas& c, const PagePaint& page, const DateTime& now);
float DrawStopwatchPage(const Canvas& c, const PagePaint& page);
float DrawTimerPage(const Canvas& c, const PagePaint& page);
float DrawBirthdayPage(const Canvas& c, const PagePaint& page);
float DrawSchedulePage(const Canvas& c, const PagePaint& page);
float DrawSettingsPage(const Canvas& c, const PagePaint& page, int serviceUnread);

// A paint in two layers, so that the window can keep the first and redraw only the second each
// second. The fixed layer: white background and the current page without what follows the clock;
// it returns the bottom of the page's content. The timed layer, over it: the alarms' count-downs,
// the fade at the bottom edge, the band with its readout, and the soft shadow from y 48 to 58
// while the page is scrolled.
float PaintFixedLayer(const Canvas& c, const MainPaint& paint);
void PaintTimedLayer(const Canvas& c, const MainPaint& paint, float contentBottom);

// The whole client area: both layers.
void PaintMainWindow(const Canvas& c, const MainPaint& paint);
