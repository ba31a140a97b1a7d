// Where the items of the main window lie. Hit zones are written as the half-open form of the edges
// the window has always tested: "165 < x < 185" is x 166 with width 19, "5 <= x <= 50" x 5 width 46.
#include "clock/core/page_layout.h"

#include <algorithm>

#include "clock/core/clock_data.h"

namespace {

constexpr int kRowWidth = 197;  // row fills reach past the 193-pixel window: no seam at any scale
// Rows that act as one button answer at any x, a release dragged outside the window included.
constexpr int kFarLeft = -(1 << 20);
constexpr int kAnyWidth = 1 << 21;

// The settings readout's round close button.
constexpr LayoutRect kCloseBox{166, 4, 20, 20};  // y relative to the readout
constexpr LayoutRect kCloseHit{165, 3, 24, 21};

// The button of the stopwatch and timer pages, in the button band; the stopwatch splits it at x 95.
constexpr LayoutRect kBandButton{5, 55, 180, 20};
constexpr int kStopwatchSplitX = 95;

// Alarm rows (y relative to the row).
constexpr LayoutRect kTimeBox{5, 0, 45, 35};
constexpr int kTimeHitWidth = 46;
constexpr LayoutRect kAlarmSwitch{165, 10, 20, 20};
constexpr int kDayLeft = 55, kDayTop = 20, kDaySize = 15;
constexpr int kDayHitTop = 19, kDayHitHeight = 16;  // to the row's end
constexpr int kPastSunday = 8;  // the strip's column at x 160 answers with this day's code

// Timer rows (y relative to the row).
constexpr LayoutRect kDurationBox{5, 0, 125, 30};
constexpr LayoutRect kToggleBox{135, 6, 20, 20};
constexpr LayoutRect kDeleteBox{165, 9, 16, 16};

// Settings page (y relative to the option row).
constexpr LayoutRect kOptionSwitch{155, 2, 30, 18};
constexpr int kOptionHitWidth = 31;
constexpr int kButtonsGap = 4;
constexpr LayoutRect kSettingsButton{5, 0, 180, 20};
constexpr int kSettingsButtonStep = 25;

bool IsDatePage(int page) {
    return page == kBirthdayPage || page == kSchedulePage;
}

LayoutRect Moved(LayoutRect r, int dy) {
    r.y += dy;
    return r;
}

// The open interval (r.x, r.x + r.w) x (r.y, r.y + r.h) as a half-open rectangle.
LayoutRect Inside(LayoutRect r) {
    return {r.x + 1, r.y + 1, r.w - 1, r.h - 1};
}

// The rows' vertical extent for zones that span the whole row; the list's top line is not the
// first row's.
LayoutRect RowSpan(const PageView& view, int row, int x, int w) {
    const int top = RowTop(view, row);
    const int first = row == 0 ? 1 : 0;
    return {x, top + first, w, RowHeight(view.page) - first};
}

// The add header answers below the band down to the list's top line, inclusive.
PageItem AddHeader(const PageView& view) {
    const LayoutRect box{0, view.scroll + kBandHeight, kRowWidth, kAddHeaderHeight};
    const int top = std::max(box.y + 1, kBandHeight + 1);
    const int bottom = box.y + box.h + 1;
    return PageItem{kAddItem, box, {kFarLeft, top, kAnyWidth, std::max(0, bottom - top)}};
}

std::vector<PageItem> StopwatchButtons(const PageView& view) {
    if (view.stopwatchReset) return {PageItem{kStopwatchLeftItem, kBandButton, Inside(kBandButton)}};
    const int leftWidth = kStopwatchSplitX - kBandButton.x;
    const LayoutRect left{kBandButton.x, kBandButton.y, leftWidth, kBandButton.h};
    const LayoutRect right{kStopwatchSplitX, kBandButton.y, kBandButton.w - leftWidth, kBandButton.h};
    return {PageItem{kStopwatchLeftItem, left, Inside(left)},
            PageItem{kStopwatchRightItem, right, Inside(right)}};
}

static_assert(kAboutItem == kFirstOptionItem + kOptionCount, "the buttons' items follow the options'");

std::vector<PageItem> SettingsItems(const PageView& view) {
    std::vector<PageItem> items;
    for (int k = 0; k < kOptionCount; ++k) {
        const int top = RowTop(view, k);
        const LayoutRect hit{kOptionSwitch.x, top, kOptionHitWidth, RowHeight(kSettingsPage)};
        items.push_back(PageItem{OptionItem(k), Moved(kOptionSwitch, top), hit});
    }
    const int first = RowTop(view, kOptionCount) + kButtonsGap;
    for (int b = 0; b < kSettingsButtonCount; ++b) {
        const LayoutRect box = Moved(kSettingsButton, first + kSettingsButtonStep * b);
        items.push_back(PageItem{SettingsButtonItem(b), box, {box.x, box.y, box.w + 1, box.h + 1}});
    }
    return items;
}

std::vector<PageItem> AlarmRow(const PageView& view, int row) {
    const int top = RowTop(view, row);
    const LayoutRect sw = Moved(kAlarmSwitch, top);
    std::vector<PageItem> items{PageItem{AlarmSwitchItem(row), sw, Inside(sw)}};
    for (int day = 1; day <= kPastSunday; ++day) {
        const int x = kDayLeft + kDaySize * (day - 1);
        const LayoutRect hit{x, top + kDayHitTop, day < kPastSunday ? kDaySize : 1, kDayHitHeight};
        const LayoutRect box =
            day < kPastSunday ? LayoutRect{x, top + kDayTop, kDaySize, kDaySize} : LayoutRect{};
        items.push_back(PageItem{AlarmDayItem(row, day), box, hit});
    }
    items.push_back(
        PageItem{AlarmRowItem(row), Moved(kTimeBox, top), RowSpan(view, row, kTimeBox.x, kTimeHitWidth)});
    return items;
}

std::vector<PageItem> TimerRow(const PageView& view, int row) {
    const int top = RowTop(view, row);
    const LayoutRect remove = Moved(kDeleteBox, top);
    const LayoutRect duration = Inside(kDurationBox), toggle = Inside(kToggleBox);
    return {PageItem{TimerRowItem(row), Moved(kDurationBox, top), RowSpan(view, row, duration.x, duration.w)},
            PageItem{TimerToggleItem(row), Moved(kToggleBox, top), RowSpan(view, row, toggle.x, toggle.w)},
            PageItem{TimerDeleteItem(row), remove, Inside(remove)}};
}

PageItem DateRow(const PageView& view, int row) {
    const LayoutRect box{0, RowTop(view, row) + 1, kRowWidth, RowHeight(view.page)};
    return PageItem{DateRowItem(row), box, RowSpan(view, row, kFarLeft, kAnyWidth)};
}

}  // namespace

int ReadoutTop(bool tabsBelow) {
    return tabsBelow ? 0 : kTabHeight;
}

int TabStripTop(bool tabsBelow) {
    return tabsBelow ? kBandHeight - kTabHeight : 0;
}

int RowHeight(int page) {
    static const int kHeights[kPageCount] = {kAlarmRowHeight, kListRowHeight, kListRowHeight,
                                             kDateRowHeight,  kDateRowHeight, kOptionRowHeight};
    return page >= 0 && page < kPageCount ? kHeights[page] : 0;
}

int RowTop(const PageView& view, int row) {
    const int first = view.page == kSettingsPage ? kBandHeight : kListTop;
    return view.scroll + first + RowHeight(view.page) * row;
}

int VisibleRowsTop(int page) {
    const bool buttonBand = page == kStopwatchPage || page == kTimerPage;
    return buttonBand ? kButtonBandTop + kButtonBandHeight : kBandHeight;
}

int RowAt(const PageView& view, int y) {
    if (view.page != kAlarmPage && view.page != kTimerPage && !IsDatePage(view.page)) return -1;
    const int listTop = view.scroll + kListTop;
    if (y <= listTop) return -1;
    const int row = (y - listTop) / RowHeight(view.page);
    return row < view.entryCount ? row : -1;
}

std::vector<PageItem> BandItems(const PageView& view) {
    std::vector<PageItem> items;
    const int strip = TabStripTop(view.tabsBelow);
    for (int tab = 0; tab < kPageCount; ++tab) {
        const LayoutRect box{kTabWidth * tab, strip, kTabWidth, kTabHeight};
        items.push_back(PageItem{TabItem(tab), box, box});
    }
    if (view.page == kSettingsPage) {
        const int top = ReadoutTop(view.tabsBelow);
        items.push_back(PageItem{kCloseItem, Moved(kCloseBox, top), Moved(kCloseHit, top)});
    }
    return items;
}

std::vector<PageItem> HeaderItems(const PageView& view) {
    if (view.page == kStopwatchPage) return StopwatchButtons(view);
    if (view.page == kTimerPage) return {PageItem{kAddItem, kBandButton, Inside(kBandButton)}};
    if (view.page == kSettingsPage) return SettingsItems(view);
    if (IsDatePage(view.page) || view.page == kAlarmPage) return {AddHeader(view)};
    return {};
}

std::vector<PageItem> RowItems(const PageView& view, int row) {
    if (view.page == kAlarmPage) return AlarmRow(view, row);
    if (view.page == kTimerPage) return TimerRow(view, row);
    if (IsDatePage(view.page)) return {DateRow(view, row)};
    return {};
}

std::vector<PageItem> PageItems(const PageView& view) {
    std::vector<PageItem> items = BandItems(view);
    const std::vector<PageItem> header = HeaderItems(view);
    items.insert(items.end(), header.begin(), header.end());
    for (int row = 0; row < view.entryCount; ++row) {
        const std::vector<PageItem> rowItems = RowItems(view, row);
        items.insert(items.end(), rowItems.begin(), rowItems.end());
    }
    return items;
}

PageItem FindItem(const std::vector<PageItem>& items, int item) {
    for (const PageItem& i : items) {
        if (i.item == item) return i;
    }
    return PageItem();
}
