// Hit test, scrolling, the click rule and the meaning of clicks for the main window. The header
// colours live in header_colours.cpp, the texts in page_texts.cpp.
#include "clock/core/main_window_rules.h"

#include <algorithm>
#include <cmath>

#include "clock/alarms/alarm_rules.h"
#include "clock/alarms/stopwatch.h"
#include "clock/alarms/timer_rules.h"

namespace {

enum Page { kAlarmPage = 0, kStopwatchPage = 1, kTimerPage = 2, kBirthdayPage = 3, kSchedulePage = 4 };

// Alarm page geometry. The row's hit zones are measured from top = row start + 10, so "top < y" of
// the switch is row offset 10 and the week-day letters lie at row offsets 18..36.
constexpr int kAlarmRowHeight = 35;
constexpr int kAlarmZoneOffset = 10;
constexpr int kWeekDayLeft = 55;
constexpr int kWeekDayRight = 160;
constexpr int kWeekDayWidth = 15;

// Buttons in the fixed band of the stopwatch and timer pages (not scrolled).
constexpr int kBandButtonTop = 55;
constexpr int kBandButtonBottom = 75;
constexpr int kBandButtonLeft = 5;
constexpr int kBandButtonRight = 185;
constexpr int kStopwatchSplitX = 95;

constexpr int kTimerRowHeight = 30;
constexpr int kDateRowHeight = 38;
constexpr int kDateFirstStep = 30;  // the header row of the birthday and schedule pages
constexpr int kDateAddItem = 9;     // their "添加生日" / "添加日程" header row

// Settings page.
constexpr int kOptionRowHeight = 25;
constexpr int kButtonPitch = 25;
constexpr int kFirstButtonTop = 230;
constexpr int kButtonHeight = 20;
constexpr int kLowestSettingsScroll = -150;

bool IsListPage(int page) {
    return page >= kAlarmPage && page <= kSchedulePage;
}

int BandHit(const PageView& v, int x, int y) {
    const int strip = TabStripTop(v.tabsBelow);
    if (y >= strip && y < strip + kTabHeight && x >= 0 && x < kTabWidth * kPageCount) {
        return kFirstTabItem + x / kTabWidth;
    }
    if (v.page == kSettingsPage) {
        // The round close button sits in the readout, y 23..43 (or 3..23 with the tabs below).
        const int top = ReadoutTop(v.tabsBelow) + 3;
        if (x >= 165 && x <= 188 && y >= top && y <= top + 20) return kCloseItem;
    }
    return 0;
}

int AlarmPageHit(const PageView& v, int x, int y) {
    const int s = v.scroll;
    if (y <= s + kListTop) return y > kBandHeight ? kAlarmAddItem : 0;
    const int i = (y - s - kListTop) / kAlarmRowHeight;
    if (i >= v.entryCount) return 0;
    const int top = s + kListTop + kAlarmRowHeight * i + kAlarmZoneOffset;
    const int base = 10 * i + 10;
    if (165 < x && x < 185 && top < y && y < top + 20) return base + 1;
    // x = 160 yields base + 9, a code past Sunday that the click table ignores.
    if (kWeekDayLeft <= x && x <= kWeekDayRight && top + 8 < y && y < top + 26) {
        return base + (x - kWeekDayLeft) / kWeekDayWidth + 2;
    }
    if (5 <= x && x <= 50) return base;
    return 0;
}

bool InBandButton(int x, int y, int right) {
    return kBandButtonLeft < x && x < right && kBandButtonTop < y && y < kBandButtonBottom;
}

int StopwatchPageHit(const PageView& v, int x, int y) {
    if (v.stopwatchReset) return InBandButton(x, y, kBandButtonRight) ? kStopwatchLeftItem : 0;
    if (InBandButton(x, y, kStopwatchSplitX)) return kStopwatchLeftItem;
    if (kStopwatchSplitX < x && x < kBandButtonRight && kBandButtonTop < y && y < kBandButtonBottom) {
        return kStopwatchRightItem;
    }
    return 0;
}

int TimerPageHit(const PageView& v, int x, int y) {
    if (InBandButton(x, y, kBandButtonRight)) return kTimerAddItem;
    const int s = v.scroll;
    if (y <= s + kListTop) return 0;
    const int r = (y - s - kListTop) / kTimerRowHeight;
    if (r >= v.entryCount) return 0;
    const int top = s + kListTop + kTimerRowHeight * r;
    if (5 < x && x < 130) return 10 * r + 13;
    if (135 < x && x < 155) return 10 * r + 11;
    if (165 < x && x < 181 && top + 9 < y && y < top + 25) return 10 * r + 12;
    return 0;
}

// Birthdays and schedules: the add band, then whole rows of 38 (any x: the row is one button).
int DatePageHit(const PageView& v, int y) {
    const int s = v.scroll;
    if (y <= s + kListTop) return y > kBandHeight ? kDateAddItem : 0;
    const int r = (y - s - kListTop) / kDateRowHeight;
    return r < v.entryCount ? 10 + r : 0;
}

int SettingsPageHit(const PageView& v, int x, int y) {
    const int s = v.scroll;
    if (x >= 155 && x <= 185) {
        for (int k = 0; k < kOptionCount; ++k) {
            const int rowTop = kBandHeight + s + kOptionRowHeight * k;
            if (y >= rowTop && y < rowTop + kOptionRowHeight) return kFirstOptionItem + k;
        }
    }
    if (x < 5 || x > 185) return 0;
    for (int b = 0; b < 3; ++b) {
        const int top = kFirstButtonTop + s + kButtonPitch * b;
        if (y >= top && y <= top + kButtonHeight) return kAboutItem + b;
    }
    return 0;
}

int WheelStep(int page) {
    switch (page) {
        case kAlarmPage:
            return 35;
        case kStopwatchPage:
        case kTimerPage:
            return 30;
        case kBirthdayPage:
        case kSchedulePage:
            return kDateRowHeight;
        default:
            return 25;
    }
}

int ClampScroll(int64_t offset, int lowest) {
    return static_cast<int>(std::min<int64_t>(0, std::max<int64_t>(lowest, offset)));
}

ClickAction Action(ClickKind kind, int index = 0) {
    ClickAction a;
    a.kind = kind;
    a.index = index;
    return a;
}

ClickAction AlarmClick(int item, int count) {
    if (item == kAlarmAddItem) return Action(kClickNewAlarm);
    const int row = AlarmRowOfItem(item, static_cast<size_t>(std::max(count, 0)));
    if (row < 0) return Action(kClickNone);
    const int k = item % 10;
    if (k == 0) return Action(kClickEditAlarm, row);
    if (k <= 8) return Action(kClickToggleAlarm, row);
    return Action(kClickNone);
}

ClickAction TimerClick(int item, int count) {
    if (item == kTimerAddItem) return Action(kClickNewTimer);
    const int row = TimerRowOfItem(item, static_cast<size_t>(std::max(count, 0)));
    if (row < 0) return Action(kClickNone);
    switch (item % 10) {
        case 1:
            return Action(kClickToggleTimer, row);
        case 2:
            return Action(kClickDeleteTimer, row);
        case 3:
            return Action(kClickEditTimer, row);
        default:
            return Action(kClickNone);
    }
}

ClickAction SettingsClick(int item) {
    if (item == kCloseItem) return Action(kClickClose);
    if (item >= kFirstOptionItem && item < kFirstOptionItem + kOptionCount) {
        return Action(kClickToggleOption, item - kFirstOptionItem);
    }
    if (item == kAboutItem) return Action(kClickAbout);
    if (item == kChatItem) return Action(kClickChat);
    if (item == kHelpItem) return Action(kClickHelp);
    return Action(kClickNone);
}

}  // namespace

int ReadoutTop(bool tabsBelow) {
    return tabsBelow ? 0 : kTabHeight;
}

int TabStripTop(bool tabsBelow) {
    return tabsBelow ? kBandHeight - kTabHeight : 0;
}

int HitTest(const PageView& view, int x, int y) {
    if (y < kBandHeight) return BandHit(view, x, y);
    switch (view.page) {
        case kAlarmPage:
            return AlarmPageHit(view, x, y);
        case kStopwatchPage:
            return StopwatchPageHit(view, x, y);
        case kTimerPage:
            return TimerPageHit(view, x, y);
        case kBirthdayPage:
        case kSchedulePage:
            return DatePageHit(view, y);
        case kSettingsPage:
            return SettingsPageHit(view, x, y);
        default:
            return 0;
    }
}

int LowestScroll(int page, int lastIndex) {
    const int64_t n = lastIndex;
    int64_t lowest = 0;
    switch (page) {
        case kAlarmPage:
            lowest = -35 * (n + 1);
            break;
        case kStopwatchPage:
        case kTimerPage:
            lowest = -30 * n;
            break;
        case kBirthdayPage:
        case kSchedulePage:
            lowest = -kDateRowHeight * n - kDateFirstStep;
            break;
        case kSettingsPage:
            lowest = kLowestSettingsScroll;
            break;
        default:
            break;
    }
    // An empty list gives a bound above 0 on some pages; a huge one must still fit an int.
    return static_cast<int>(std::min<int64_t>(0, std::max<int64_t>(lowest, -1000000000)));
}

int WheelScroll(int page, int offset, int notches, int lastIndex) {
    const int lowest = LowestScroll(page, lastIndex);
    // Start from a valid offset, so a list that shrank under a scrolled page snaps back first.
    const int64_t start = ClampScroll(offset, lowest);
    const int64_t step = WheelStep(page);
    int64_t next = start + step * notches;
    if (notches < 0 && start == 0 && (page == kBirthdayPage || page == kSchedulePage)) {
        // The first notch down only passes the 30-high header; the later ones pass whole rows.
        next = -kDateFirstStep + step * (notches + 1);
    }
    return ClampScroll(next, lowest);
}

bool InDragScrollArea(int y) {
    return y > kListTop;
}

int DragScroll(int page, int offset, int dy, int lastIndex) {
    const int current = std::min(offset, 0);
    if (IsListPage(page) && lastIndex < 0) return current;
    const int64_t next = static_cast<int64_t>(offset) + dy;
    if (next < LowestScroll(page, lastIndex)) return current;
    return static_cast<int>(std::min<int64_t>(next, 0));
}

bool IsClick(int pressedItem, int releasedItem, uint32_t pressTick, uint32_t releaseTick) {
    // Unsigned subtraction: 0x00000010 - 0xFFFFFFF0 is 0x20, the true 32 ms across the wrap.
    const uint32_t held = releaseTick - pressTick;
    return pressedItem != 0 && releasedItem == pressedItem && held < static_cast<uint32_t>(kClickMaxMs);
}

bool InResizeZone(int y, int clientHeight) {
    return y >= clientHeight - kResizeGrip;
}

bool StartsWindowDrag(int item, int y) {
    return item == 0 && y < kBandHeight;
}

int ResizedHeight(int height, int dy, double scaleY) {
    const int64_t lowest = std::lround(kMinWindowHeight * scaleY);
    int64_t h = static_cast<int64_t>(height) + dy;
    h = std::max(h, lowest);
    return static_cast<int>(std::min<int64_t>(h, kMaxWindowHeight));
}

ClickAction ClickActionFor(const PageView& view, int item) {
    if (item >= kFirstTabItem && item <= kLastTabItem) return Action(kClickTab, item - kFirstTabItem);
    switch (view.page) {
        case kAlarmPage:
            return AlarmClick(item, view.entryCount);
        case kStopwatchPage:
            if (item == kStopwatchLeftItem) return Action(kClickStopwatch, 0);
            if (item == kStopwatchRightItem && !view.stopwatchReset) return Action(kClickStopwatch, 1);
            return Action(kClickNone);
        case kTimerPage:
            return TimerClick(item, view.entryCount);
        case kBirthdayPage:
        case kSchedulePage:
            if (item == kDateAddItem) return Action(kClickNewDateEntry);
            if (item >= 10 && item - 10 < view.entryCount) return Action(kClickEditDateEntry, item - 10);
            return Action(kClickNone);
        case kSettingsPage:
            return SettingsClick(item);
        default:
            return Action(kClickNone);
    }
}

bool PageIsRemembered(int page) {
    return page != kSettingsPage;
}
