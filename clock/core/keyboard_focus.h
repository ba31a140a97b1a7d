// Keyboard use of the main window, as pure functions of the layout: which item takes the focus on
// Tab, Shift+Tab and the arrow keys, which page Ctrl+Tab shows, and how far a page scrolls so that
// the focused item can be seen. The window keeps the focused item code and draws its rectangle.
//
// Tab stops, in order: the tab strip (one stop, landing on the current page's tab), each of the
// page's header items (the add header or button, the stopwatch buttons, every settings switch and
// button), the list (one stop, landing on the first row that can be seen), the close button of the
// settings page. Within the tab strip Left and Right move between tabs; within the list Up and Down
// move between rows keeping the column, Left and Right between a row's items; among header items
// Up/Left and Down/Right step to the previous and next, and Down from the last enters the list.
#pragma once

#include "clock/core/page_layout.h"

enum class FocusMove { kNext, kPrevious, kUp, kDown, kLeft, kRight };

// True when item takes the keyboard focus on view's page (a drawn item that exists there).
bool CanTakeFocus(const PageView& view, int item);

// The item that has the focus after move from current. A current of 0 (no focus yet), or one that
// is not on the page, starts at the current page's tab whatever the move. A move with nowhere to go
// keeps current.
int MoveFocus(const PageView& view, int current, FocusMove move);

// The page after Ctrl+Tab (forward) or Ctrl+Shift+Tab, around the six.
int NextPage(int page, bool forward);

// The lowest y at which item is not hidden: 0 for the band's items, the band's bottom for header
// items, VisibleRowsTop for the list's.
int FocusVisibleTop(const PageView& view, int item);

// The scroll offset that shows item whole between the page's visible top and clientHeight (all
// logical), held between LowestScroll(view.page, lastIndex) and 0. Items of the band never scroll.
int ScrollToShow(const PageView& view, int item, int clientHeight, int lastIndex);
