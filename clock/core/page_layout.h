// The main window's layout, stated once: its pages, press states, item codes, and where every item
// of the header band and of each page lies. The hit test and the painters read it, and so can
// anything that walks a page's items in order (keyboard focus, an accessibility tree).
//
// Coordinates are 96-dpi logical pixels of the client area; items of a scrolled page already carry
// its scroll offset. Rectangles are half-open, [x, x + w) x [y, y + h). Each item has two: box, where
// it is drawn (its hover fill), and hit, where it answers the mouse. The two differ by a pixel or
// so on several items: the hit zones keep the edges the window has always had.
#pragma once

#include <vector>

// ---- Pages and press states ----

constexpr int kAlarmPage = 0;
constexpr int kStopwatchPage = 1;
constexpr int kTimerPage = 2;
constexpr int kBirthdayPage = 3;
constexpr int kSchedulePage = 4;
constexpr int kSettingsPage = 5;
constexpr int kPageCount = 6;  // 0 闹钟, 1 秒表, 2 计时, 3 生日, 4 日程, 5 设置

constexpr int kPressNone = 0;
constexpr int kPressHeld = 1;       // the left button is held on the hot item
constexpr int kPressResizing = 99;  // the bottom edge is being dragged

// ---- Fixed geometry ----

constexpr int kBandHeight = 50;  // tab strip + readout; everything above y 50 belongs to the band
constexpr int kTabWidth = 32;
constexpr int kTabHeight = 20;
constexpr int kAddHeaderHeight = 30;  // the add header of the alarm, birthday and schedule pages
constexpr int kListTop = 80;          // first row of the list pages, before scrolling
constexpr int kAlarmRowHeight = 35;
constexpr int kListRowHeight = 30;  // laps and timers
constexpr int kDateRowHeight = 38;
constexpr int kOptionRowHeight = 22;  // eight rows and the three buttons fit the window
// The white band under the header of the stopwatch and timer pages: fixed, over the scrolled rows.
constexpr int kButtonBandTop = 49;
constexpr int kButtonBandHeight = 30;

// ---- Item codes ----

constexpr int kFirstTabItem = 1;
constexpr int kLastTabItem = 6;
constexpr int TabItem(int tab) {
    return kFirstTabItem + tab;
}

constexpr int kAddItem = 9;  // the add header of a list page, or the timer page's "新 增 计 时" button

constexpr int kStopwatchLeftItem = 10;   // "开    始", "计 次" or "重 置"
constexpr int kStopwatchRightItem = 11;  // "暂 停" or "继 续"

// An alarm row: its time box (opens the editor), its on/off box, its week days 1 (Monday) .. 7.
constexpr int AlarmRowItem(int row) {
    return 10 * row + 10;
}
constexpr int AlarmSwitchItem(int row) {
    return AlarmRowItem(row) + 1;
}
constexpr int AlarmDayItem(int row, int day) {
    return AlarmSwitchItem(row) + day;
}

// A timer row: start/stop box, delete button, and the duration text (opens the editor).
constexpr int TimerToggleItem(int row) {
    return 10 * row + 11;
}
constexpr int TimerDeleteItem(int row) {
    return 10 * row + 12;
}
constexpr int TimerRowItem(int row) {
    return 10 * row + 13;
}

constexpr int DateRowItem(int row) {
    return 10 + row;
}

// The settings page: the close button in the band, the option switches, the three buttons.
constexpr int kCloseItem = 10;
constexpr int kFirstOptionItem = 11;  // eight options: 11 ... 18
constexpr int kAboutItem = 19;
constexpr int kChatItem = 20;
constexpr int kHelpItem = 21;
constexpr int OptionItem(int option) {
    return kFirstOptionItem + option;
}
constexpr int SettingsButtonItem(int button) {
    return kAboutItem + button;
}
constexpr int kSettingsButtonCount = 3;

// ---- Items and their rectangles ----

struct LayoutRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    bool Contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

// An item with an empty box is not drawn and takes no focus: the one-pixel column right of an
// alarm's Sunday answers the mouse with the code after Sunday's, which no click acts on.
struct PageItem {
    int item = 0;
    LayoutRect box;
    LayoutRect hit;
};

// What the layout depends on of the window's state.
struct PageView {
    int page = 0;                // CurrentPage, 0..5
    int scroll = 0;              // PageScroll[page], 0 or negative
    bool tabsBelow = false;      // option 4
    int entryCount = 0;          // entries of the page's list: alarms, timers, birthdays or schedules
    bool stopwatchReset = true;  // page 1: no laps, the single "开    始" button
};

// Top of the readout: below the tab strip, or at the window top when the tabs lie below it (option 4).
int ReadoutTop(bool tabsBelow);
// Top of the tab strip: 0, or 30 with option 4.
int TabStripTop(bool tabsBelow);

// Height of a row of page's list (the settings page: of an option row); 0 outside 0..5.
int RowHeight(int page);
// Top of row (0-based) of the view's list, scrolled: the option rows of the settings page start
// right under the band, the other lists at kListTop.
int RowTop(const PageView& view, int row);
// List rows above this y are hidden: under the band, and on the stopwatch and timer pages under
// the button band as well. (The header items hide under the band alone.)
int VisibleRowsTop(int page);
// The list row that y falls in, or -1: above the list (its top line belongs to what is above it),
// past the last of view.entryCount rows, or on a page whose rows are not items (stopwatch, settings).
int RowAt(const PageView& view, int y);

// The six tabs, then on the settings page the close button.
std::vector<PageItem> BandItems(const PageView& view);
// The page's items outside its list rows, in the order the hit test tries them: the add header or
// button, the stopwatch buttons, the settings switches and buttons.
std::vector<PageItem> HeaderItems(const PageView& view);
// The items of one list row, whether or not the row is within view.entryCount.
std::vector<PageItem> RowItems(const PageView& view, int row);
// Every item of the window on view's page: band, header items, then the rows of the list.
std::vector<PageItem> PageItems(const PageView& view);

// The entry of items with code item; an empty PageItem (item 0) when there is none.
PageItem FindItem(const std::vector<PageItem>& items, int item);
