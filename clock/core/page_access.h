// What a screen reader is told of the main window: its children in reading order, each with the
// item code it acts on, its role, name and states, where it lies, and what its default action
// does. The window is drawn by the program itself, so this list is its only description.
// Texts are GBK; coordinates are 96-dpi logical pixels of the client area, as in page_layout.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "clock/core/date_value.h"
#include "clock/core/page_layout.h"

enum AccessRole {
    kAccessPageTab,
    kAccessStaticText,
    kAccessListItem,
    kAccessCheckButton,
    kAccessPushButton,
};

struct AccessibleItem {
    int item = 0;  // the item code a click acts on; 0 for what only shows (the readout, lap rows)
    AccessRole role = kAccessStaticText;
    std::string name;
    std::string description;  // "" when the name says all
    bool checked = false;
    bool selected = false;
    bool hidden = false;        // scrolled under the band, or below the client area
    LayoutRect location;        // the drawn box within the client area; a hidden item keeps its whole box
    std::string defaultAction;  // "" when there is none
};

// What the list depends on besides the view and the process-wide lists.
struct AccessMoment {
    DateTime now;            // the alarms' count-downs, the readout's time
    uint32_t tickNow = 0;    // the timers' time left
    int clientWidth = 193;   // logical pixels
    int clientHeight = 318;  // logical pixels
    int serviceUnread = 0;   // the chat button's count
    std::string caption;     // MainCaption: the settings page's readout
};

// The main window's children on view's page, in reading order: the six tabs (the current one
// selected), the readout, the close button of the settings page, the page's buttons and switches,
// then its rows, each alarm row as its text, its switch and its seven week days. Read from
// Alarms, LapTimes, StopwatchStart, Timers, Birthdays, Schedules and OptionSlots; view.entryCount
// rows are listed, whatever the lists hold beyond. Captions written with spaces between their
// characters ("新 增 计 时") are named without them, as a reader would spell them out otherwise.
std::vector<AccessibleItem> AccessibleItems(const PageView& view, const AccessMoment& moment);

// The 1-based position of the child with item code item in items (the child id a reader uses),
// or 0 when no child has it (item 0 included).
int ChildOfItem(const std::vector<AccessibleItem>& items, int item);
