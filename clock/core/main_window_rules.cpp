// Hit test, scrolling, the click rule and the meaning of clicks for the main window. The header
// colours live in header_colours.cpp, the texts in page_texts.cpp.
#include "clock/core/main_window_rules.h"

#include <algorithm>
#include <cmath>

#include "clock/alarms/alarm_rules.h"
#include "clock/alarms/stopwatch.h"
#include "clock/alarms/timer_rules.h"

namespace {

constexpr int kLowestSettingsScroll = -150;

bool IsListPage(int page) {
    return page >= kAlarmPage && page <= kSchedulePage;
}

int FirstHit(const std::vector<PageItem>& items, int x, int y) {
    for (const PageItem& i : items) {
        if (i.hit.Contains(x, y)) return i.item;
    }
    return 0;
}

// One row per notch; pages without rows of their own step as the settings page does.
int WheelStep(int page) {
    const int row = RowHeight(page);
    return row != 0 ? row : RowHeight(kSettingsPage);
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
    if (item == kAddItem) return Action(kClickNewAlarm);
    const int row = AlarmRowOfItem(item, static_cast<size_t>(std::max(count, 0)));
    if (row < 0) return Action(kClickNone);
    if (item == AlarmRowItem(row)) return Action(kClickEditAlarm, row);
    if (item <= AlarmDayItem(row, 7)) return Action(kClickToggleAlarm, row);
    return Action(kClickNone);
}

ClickAction TimerClick(int item, int count) {
    if (item == kAddItem) return Action(kClickNewTimer);
    const int row = TimerRowOfItem(item, static_cast<size_t>(std::max(count, 0)));
    if (row < 0) return Action(kClickNone);
    if (item == TimerToggleItem(row)) return Action(kClickToggleTimer, row);
    if (item == TimerDeleteItem(row)) return Action(kClickDeleteTimer, row);
    if (item == TimerRowItem(row)) return Action(kClickEditTimer, row);
    return Action(kClickNone);
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

int HitTest(const PageView& view, int x, int y) {
    if (y < kBandHeight) return FirstHit(BandItems(view), x, y);
    const int header = FirstHit(HeaderItems(view), x, y);
    if (header != 0) return header;
    const int row = RowAt(view, y);
    return row < 0 ? 0 : FirstHit(RowItems(view, row), x, y);
}

int LowestScroll(int page, int lastIndex) {
    const int64_t n = lastIndex;
    int64_t lowest = 0;
    switch (page) {
        case kAlarmPage:
            lowest = -RowHeight(page) * (n + 1);
            break;
        case kStopwatchPage:
        case kTimerPage:
            lowest = -RowHeight(page) * n;
            break;
        case kBirthdayPage:
        case kSchedulePage:
            lowest = -RowHeight(page) * n - kAddHeaderHeight;
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
        next = -kAddHeaderHeight + step * (notches + 1);
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
            if (item == kAddItem) return Action(kClickNewDateEntry);
            if (item >= DateRowItem(0) && item - DateRowItem(0) < view.entryCount) {
                return Action(kClickEditDateEntry, item - DateRowItem(0));
            }
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

std::string TickFrameKey(const PageLook& look, const TickMoment& moment) {
    std::string key = FormatTimeOfDay(moment.now) + '|' + std::to_string(look.page) + '|' +
                      std::to_string(look.scroll) + '|' + std::to_string(look.hotItem) + '|' +
                      std::to_string(look.pressState) + '|' + std::to_string(moment.lastDateCheck);
    if (look.page == kStopwatchPage && StopwatchStart != 0) key += '|' + std::to_string(moment.mediaTime / 100);
    int running = 0;
    for (const TimerEntry& timer : Timers)
        running += timer.startTick != 0 ? 1 : 0;
    return key + '|' + std::to_string(running) + '|' + LeastRemainingText(Timers, moment.tickCount);
}
