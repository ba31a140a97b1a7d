// Every decision of the main window as a pure function: which item lies under the mouse, how far a
// page scrolls, what counts as a click and what a click means, the header band's colours and the
// texts that the band and the pages show. The Win32 window only draws and dispatches.
//
// Coordinates are 96-dpi logical pixels of the client area: the window divides mouse positions by
// the screen scale before calling, so every threshold here compares logical values. The one
// exception is ResizedHeight, which works on the real window height (device pixels).
// Texts are GBK.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "clock/core/clock_data.h"
#include "clock/core/date_value.h"
#include "clock/core/page_layout.h"

constexpr int kClickMaxMs = 800;        // a press held this long or longer is a drag, not a click
constexpr int kResizeGrip = 8;          // the bottom edge zone that resizes the window
constexpr int kMinWindowHeight = 200;   // logical, scaled by the vertical scale
constexpr int kMaxWindowHeight = 1080;  // device pixels, whatever the scale

// ---- Hit test ----

// The item code under (x, y), 0 for none: the first item of page_layout.h whose hit zone holds the
// point. Above y 50 only the band's items answer, so a scrolled row drawn under the band is never
// hit; below it the header items come before the list rows, and rows past the list's end give 0.
int HitTest(const PageView& view, int x, int y);

// ---- Scrolling ----

// The lowest scroll offset of a page: page 0 -35·(n + 1); pages 1, 2 -30·n; pages 3, 4 -38·n - 30;
// page 5 -150; n = lastIndex, the last index of the page's list (for page 1 the last index of the
// lap list, i.e. the number of lap rows; -1 for an empty list). Never above 0.
int LowestScroll(int page, int lastIndex);

// The offset after turning the wheel by notches (positive = away from the user = towards the top,
// negative = towards the user = further down the list). Pages 3 and 4 step 38, but the first step
// down from 0 is 30 (their header is 30 high, their rows 38). Held between LowestScroll and 0.
int WheelScroll(int page, int offset, int notches, int lastIndex);

// True when a drag at client y scrolls the page (the pointer is below y 80, under the fixed bands).
bool InDragScrollArea(int y);

// The offset after a drag step of dy (pointer movement since the last step). A step that would pass
// the lowest offset, or any step while a list page (0..4) has an empty list (lastIndex < 0), is
// undone: offset is returned unchanged. Offsets above 0 become 0.
int DragScroll(int page, int offset, int dy, int lastIndex);

// ---- Mouse ----

// A release is a click when it is over the item that was pressed (not item 0) and fewer than 800 ms
// passed since the press. Ticks are the 32-bit millisecond tick: the difference is taken modulo
// 2^32, so a press just before the tick wraps still measures its true length.
bool IsClick(int pressedItem, int releasedItem, uint32_t pressTick, uint32_t releaseTick);

// True when client y is within 8 of the bottom edge (clientHeight): a press there resizes.
bool InResizeZone(int y, int clientHeight);

// True when a press at y on item drags the whole window (nothing hit inside the band).
bool StartsWindowDrag(int item, int y);

// The new window height (device pixels) for a resize step of dy device pixels: at least 200 scaled
// by scaleY (rounded), at most 1080 whatever the scale (the upper limit wins on huge scales).
int ResizedHeight(int height, int dy, double scaleY);

// ---- Click actions ----

enum ClickKind {
    kClickNone,
    kClickTab,            // index: the new page; save it (区域) only when PageIsRemembered
    kClickNewAlarm,       // OpenAlarmEditor for a new alarm
    kClickEditAlarm,      // index: alarm list index
    kClickToggleAlarm,    // index: alarm list index; ToggleAlarmItem with the item code
    kClickStopwatch,      // index: 0 left button, 1 right button (item kStopwatchLeftItem + index)
    kClickNewTimer,       // OpenTimerEditor(-1)
    kClickEditTimer,      // index: display row
    kClickToggleTimer,    // index: display row (start/stop)
    kClickDeleteTimer,    // index: display row
    kClickNewDateEntry,   // OpenDateEditor(page, 9)
    kClickEditDateEntry,  // index: list index (OpenDateEditor(page, 10 + index))
    kClickToggleOption,   // index: option slot 0..6
    kClickClose,          // the settings page's close button
    kClickAbout,
    kClickChat,
    kClickHelp,
};

struct ClickAction {
    ClickKind kind = kClickNone;
    int index = 0;
};

// What a click on item means on view's page. Codes that name a row past the list, a week-day code
// past Sunday, the right stopwatch button while reset and unknown codes give kClickNone.
ClickAction ClickActionFor(const PageView& view, int item);

// The settings page is never stored as the start page.
bool PageIsRemembered(int page);

// ---- Header colours ----

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
};

inline bool operator==(Rgb a, Rgb b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

// The header band's colour of a page (a page outside 0..5 takes page 0's).
Rgb PageColour(int page);

// The band's colour while the window is inactive: HSL lightness L (0..100) moved 20 % of the way
// to black when L >= 30, else 20 % of the way to white; hue and saturation kept.
Rgb InactiveColour(Rgb colour);

// The fill of the hovered tab: the band colour's hue turned by 120° (270° while pressed), snapped
// to the nearest multiple of 60°, with the band colour's lightness and at least 50 % saturation.
Rgb TabHoverColour(Rgb band, bool pressed);

// Black or white, whichever reads better on colour (tab captions).
Rgb ContrastTextColour(Rgb colour);

// ---- Texts ----

// "澜川_钟伴 1.3.8": window text, tray tip and the settings page's readout.
std::string MainCaption(int major, int minor, int revision);

// The two characters of tab k (0..5) from "闹钟秒表计时生日日程设置"; "" outside.
std::string TabCaption(int tab);

// "可以用鼠标上下拖动", under the last row of every list page.
std::string DragHintText();

enum ReadoutStyle {
    kReadoutLarge,     // one line, "黑体" 18
    kReadoutSmaller,   // one line, "黑体" 14 (the timer page)
    kReadoutTwoLines,  // the nearest birthday or schedule: text and second line
    kReadoutCaption,   // the settings page: icon, caption, close button
};

struct Readout {
    ReadoutStyle style = kReadoutLarge;
    std::string text;
    std::string second;  // kReadoutTwoLines only
};

// What the readout of each page is made from. Null lists count as empty.
struct ReadoutSource {
    DateTime now;
    uint32_t tickNow = 0;  // the system tick, for the timers
    const std::vector<uint64_t>* laps = nullptr;
    const std::vector<TimerEntry>* timers = nullptr;
    const std::vector<DateEntry>* birthdays = nullptr;
    const std::vector<DateEntry>* schedules = nullptr;
    std::string caption;  // MainCaption
};

// Page 0 the time "hh:mm:ss"; page 1 the stopwatch total ("00:00.0" when reset); page 2 the least
// time left of the running timers; pages 3 and 4 the nearest entry's name and summary, or the time
// when the list is empty; page 5 the caption.
Readout PageReadout(int page, const ReadoutSource& source);

// "有N个闹钟", "有N个生日", "有N个日程" for pages 0, 3, 4; "" for the others.
std::string ListCountText(int page, size_t count);

// One alarm row. The line is the count-down, " " and the name for an enabled alarm (red when
// less than a minute is left), or the name and "(未开启)" for a disabled one (grey).
struct AlarmRowText {
    std::string time;  // "hh:mm"
    std::string line;
    bool red = false;
    bool grey = false;
};
AlarmRowText AlarmRowTexts(const AlarmEntry& alarm, const DateTime& now);

// One birthday or schedule row: birthdays name + " [" + age + "周岁]" over the date text; schedules
// the name over the description of their repeat mode; daysLeft at the right.
struct DateRowText {
    std::string first;
    std::string second;
    std::string days;
};
DateRowText BirthdayRowTexts(const DateEntry& entry);
DateRowText ScheduleRowTexts(const DateEntry& entry);

// The duration text of display row (the newest timer on row 0); "" for a row outside the list.
std::string TimerRowText(const std::vector<TimerEntry>& timers, int row);

// Lap rows, newest first: row 0 is lap (last index). Lap k's number, total and "+" + split.
struct LapRowText {
    std::string number;
    std::string total;
    std::string split;
};
int LapRowCount(const std::vector<uint64_t>& laps);
LapRowText LapRowTexts(const std::vector<uint64_t>& laps, int row);  // empty texts outside

// The stopwatch buttons: reset one single "开    始" (right empty); running "计 次" | "暂 停";
// paused "重 置" | "继 续".
struct StopwatchCaptions {
    std::string left;
    std::string right;
};
StopwatchCaptions StopwatchButtonCaptions(const std::vector<uint64_t>& laps, uint64_t start);

// The switches' captions are OptionCaption (clock/core/settings_rules.h).

// Caption of settings button 0 "关于钟伴", 1 "澜川客服聊天室" + "(" + unread + ")" when unread is not
// 0, 2 "查看帮助与更新软件"; "" for any other.
std::string SettingsButtonCaption(int button, int unread);

// ---- Repainting ----

// The window state the page area is drawn from, besides the lists.
struct PageLook {
    int page = 0;
    int scroll = 0;
    int hotItem = 0;
    int pressState = 0;
    int width = 0;  // client size, device pixels
    int height = 0;
    int serviceUnread = 0;
};

// A key of everything the page's fixed layer shows (the page without the alarms' count-downs),
// read from the look and the process-wide lists of that page: equal keys mean equal pictures, so
// the window may keep the layer it drew last. What follows the clock is left out: the time, the
// running stopwatch's total (LapTimes[0]) and the timers' remaining times.
std::string FixedLayerKey(const PageLook& look);

// What the platform tells at a tick, of what the frame shows.
struct TickMoment {
    DateTime now;
    uint32_t mediaTime = 0;      // multimedia milliseconds: the running stopwatch's tenths
    uint32_t tickCount = 0;      // the timers' time left
    uint32_t lastDateCheck = 0;  // the date pass
};

// A key of everything a tick can change on the screen: the time to the second, the page and its
// scroll, hover and press state, the running stopwatch to the tenth (on its page), the running
// timers and their least time left, and the date pass. An equal key means the frame on the screen
// is still right, so the tick's repaint is skipped; mouse, keyboard and option changes repaint by
// themselves.
std::string TickFrameKey(const PageLook& look, const TickMoment& moment);
