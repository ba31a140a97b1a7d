#include "clock/core/keyboard_focus.h"

#include <algorithm>
#include <vector>

#include "clock/core/main_window_rules.h"

namespace {

enum Zone { kTabZone, kHeaderZone, kListZone, kCloseZone };

struct FocusPlace {
    Zone zone = kTabZone;
    int index = 0;   // the tab, the header item, or the row
    int column = 0;  // within a row, left to right
    bool found = false;
};

bool Drawn(const PageItem& item) {
    return item.box.w > 0 && item.box.h > 0;
}

std::vector<int> HeaderFocusItems(const PageView& view) {
    std::vector<int> items;
    for (const PageItem& item : HeaderItems(view)) {
        if (Drawn(item)) items.push_back(item.item);
    }
    return items;
}

// A row's items left to right: the order the eye reads them, not the hit test's.
std::vector<int> RowFocusItems(const PageView& view, int row) {
    std::vector<PageItem> drawn;
    for (const PageItem& item : RowItems(view, row)) {
        if (Drawn(item)) drawn.push_back(item);
    }
    std::stable_sort(drawn.begin(), drawn.end(),
                     [](const PageItem& a, const PageItem& b) { return a.box.x < b.box.x; });
    std::vector<int> items;
    for (const PageItem& item : drawn) items.push_back(item.item);
    return items;
}

bool HasList(const PageView& view) {
    return view.entryCount > 0 && !RowFocusItems(view, 0).empty();
}

FocusPlace Locate(const PageView& view, int item) {
    FocusPlace place;
    if (item >= kFirstTabItem && item <= kLastTabItem) {
        place.zone = kTabZone;
        place.index = item - kFirstTabItem;
        place.found = true;
        return place;
    }
    if (view.page == kSettingsPage && item == kCloseItem) {
        place.zone = kCloseZone;
        place.found = true;
        return place;
    }
    const std::vector<int> header = HeaderFocusItems(view);
    const auto inHeader = std::find(header.begin(), header.end(), item);
    if (inHeader != header.end()) {
        place.zone = kHeaderZone;
        place.index = static_cast<int>(inHeader - header.begin());
        place.found = true;
        return place;
    }
    for (int row = 0; row < view.entryCount; ++row) {
        const std::vector<int> cells = RowFocusItems(view, row);
        const auto at = std::find(cells.begin(), cells.end(), item);
        if (at == cells.end()) continue;
        place.zone = kListZone;
        place.index = row;
        place.column = static_cast<int>(at - cells.begin());
        place.found = true;
        return place;
    }
    return place;
}

int RowCell(const PageView& view, int row, int column) {
    const std::vector<int> cells = RowFocusItems(view, row);
    if (cells.empty()) return 0;
    return cells[std::min<size_t>(static_cast<size_t>(column), cells.size() - 1)];
}

// The first row at least half out from under the band, where Tab enters the list.
int FirstSeenRow(const PageView& view) {
    const int top = VisibleRowsTop(view.page);
    for (int row = 0; row < view.entryCount; ++row) {
        if (2 * RowTop(view, row) + RowHeight(view.page) >= 2 * top) return row;
    }
    return std::max(0, view.entryCount - 1);
}

// Tab stops as (zone, header index); the list and the close button are one stop each.
struct Stop {
    Zone zone;
    int index;
};

std::vector<Stop> Stops(const PageView& view) {
    std::vector<Stop> stops{{kTabZone, 0}};
    const int headerCount = static_cast<int>(HeaderFocusItems(view).size());
    for (int i = 0; i < headerCount; ++i) stops.push_back({kHeaderZone, i});
    if (HasList(view)) stops.push_back({kListZone, 0});
    if (view.page == kSettingsPage) stops.push_back({kCloseZone, 0});
    return stops;
}

int LandOn(const PageView& view, const Stop& stop) {
    switch (stop.zone) {
        case kTabZone:
            return TabItem(view.page);
        case kHeaderZone:
            return HeaderFocusItems(view)[static_cast<size_t>(stop.index)];
        case kListZone:
            return RowCell(view, FirstSeenRow(view), 0);
        default:
            return kCloseItem;
    }
}

int TabStep(const PageView& view, const FocusPlace& at, bool forward) {
    const std::vector<Stop> stops = Stops(view);
    const int count = static_cast<int>(stops.size());
    int current = 0;
    for (int i = 0; i < count; ++i) {
        const bool sameZone = stops[static_cast<size_t>(i)].zone == at.zone;
        if (sameZone && (at.zone != kHeaderZone || stops[static_cast<size_t>(i)].index == at.index)) current = i;
    }
    const int next = (current + (forward ? 1 : count - 1)) % count;
    return LandOn(view, stops[static_cast<size_t>(next)]);
}

int ArrowInTabs(const FocusPlace& at, FocusMove move) {
    if (move == FocusMove::kLeft && at.index > 0) return TabItem(at.index - 1);
    if (move == FocusMove::kRight && at.index < kPageCount - 1) return TabItem(at.index + 1);
    return TabItem(at.index);
}

int ArrowInHeader(const PageView& view, const FocusPlace& at, FocusMove move) {
    const std::vector<int> header = HeaderFocusItems(view);
    const bool back = move == FocusMove::kUp || move == FocusMove::kLeft;
    if (back) return header[static_cast<size_t>(std::max(0, at.index - 1))];
    if (at.index + 1 < static_cast<int>(header.size())) return header[static_cast<size_t>(at.index + 1)];
    if (move == FocusMove::kDown && HasList(view)) return RowCell(view, 0, 0);
    return header[static_cast<size_t>(at.index)];
}

int ArrowInList(const PageView& view, const FocusPlace& at, FocusMove move) {
    const int here = RowCell(view, at.index, at.column);
    switch (move) {
        case FocusMove::kUp: {
            if (at.index > 0) return RowCell(view, at.index - 1, at.column);
            const std::vector<int> header = HeaderFocusItems(view);
            return header.empty() ? here : header.back();
        }
        case FocusMove::kDown:
            return at.index + 1 < view.entryCount ? RowCell(view, at.index + 1, at.column) : here;
        case FocusMove::kLeft:
            return RowCell(view, at.index, std::max(0, at.column - 1));
        default:
            return RowCell(view, at.index, at.column + 1);
    }
}

}  // namespace

bool CanTakeFocus(const PageView& view, int item) {
    return item != 0 && Locate(view, item).found;
}

int MoveFocus(const PageView& view, int current, FocusMove move) {
    const FocusPlace at = Locate(view, current);
    if (current == 0 || !at.found) return TabItem(view.page);
    if (move == FocusMove::kNext || move == FocusMove::kPrevious)
        return TabStep(view, at, move == FocusMove::kNext);
    switch (at.zone) {
        case kTabZone:
            return ArrowInTabs(at, move);
        case kHeaderZone:
            return ArrowInHeader(view, at, move);
        case kListZone:
            return ArrowInList(view, at, move);
        default:
            return current;
    }
}

int NextPage(int page, bool forward) {
    return (page + (forward ? 1 : kPageCount - 1)) % kPageCount;
}

int FocusVisibleTop(const PageView& view, int item) {
    const FocusPlace at = Locate(view, item);
    if (!at.found || at.zone == kTabZone || at.zone == kCloseZone) return 0;
    return at.zone == kListZone ? VisibleRowsTop(view.page) : kBandHeight;
}

int ScrollToShow(const PageView& view, int item, int clientHeight, int lastIndex) {
    const FocusPlace at = Locate(view, item);
    if (!at.found || at.zone == kTabZone || at.zone == kCloseZone) return view.scroll;
    // A list item shows its whole row.
    const LayoutRect box = at.zone == kListZone
                               ? LayoutRect{0, RowTop(view, at.index), 0, RowHeight(view.page)}
                               : FindItem(PageItems(view), item).box;
    const int top = FocusVisibleTop(view, item);
    int scroll = view.scroll;
    if (box.y + box.h > clientHeight) scroll -= box.y + box.h - clientHeight;
    if (box.y + (scroll - view.scroll) < top) scroll += top - (box.y + (scroll - view.scroll));
    return std::max(LowestScroll(view.page, lastIndex), std::min(0, scroll));
}
