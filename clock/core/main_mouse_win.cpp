// Every decision here comes from main_window_rules.h; this file turns messages into those calls
// and carries out the click actions.
#include "clock/core/main_mouse_win.h"

#include <shellapi.h>
#include <windowsx.h>

#include "clock/alarms/alarm_editor_win.h"
#include "clock/alarms/alarm_rules.h"
#include "clock/alarms/stopwatch.h"
#include "clock/alarms/timer_editor_win.h"
#include "clock/alarms/timer_rules.h"
#include "clock/calendar/date_editor_win.h"
#include "clock/core/keyboard_focus.h"
#include "clock/core/main_access_win.h"
#include "clock/core/main_window_rules.h"
#include "clock/core/main_window_win.h"
#include "clock/core/program_win.h"
#include "clock/core/platform.h"
#include "clock/core/settings_rules.h"
#include "clock/core/startup_shortcut_win.h"
#include "clock/core/window_ids.h"
#include "clock/services/about_win.h"
#include "clock/services/components_win.h"
#include "forms/gbk.h"
#include "forms/message_box_win.h"
#include "forms/wide_win.h"

namespace {

bool gResizeCursor = false;
bool gTrackingLeave = false;

int LastIndexOfPage(int page) {
    switch (page) {
        case 0:
            return static_cast<int>(Alarms.size()) - 1;
        case 1:
            return static_cast<int>(LapTimes.size()) - 1;
        case 2:
            return static_cast<int>(Timers.size()) - 1;
        case 3:
            return static_cast<int>(Birthdays.size()) - 1;
        case 4:
            return static_cast<int>(Schedules.size()) - 1;
        default:
            return -1;
    }
}

}  // namespace

PageView CurrentMainView() {
    PageView view;
    view.page = CurrentPage;
    view.scroll = PageScroll[CurrentPage];
    view.tabsBelow = OptionOn(kOptionTabsBelow);
    view.entryCount = LastIndexOfPage(CurrentPage) + 1;
    view.stopwatchReset = LapTimes.empty();
    return view;
}

namespace {

struct LogicalPoint {
    int x = 0;
    int y = 0;
};

LogicalPoint Logical(LPARAM lParam) {
    return LogicalPoint{LogicalX(WindowScale(), GET_X_LPARAM(lParam)),
                        LogicalY(WindowScale(), GET_Y_LPARAM(lParam))};
}

int ClientHeightLogical(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    return LogicalY(WindowScale(), client.bottom);
}

void Repaint(HWND window) {
    InvalidateRect(window, nullptr, FALSE);
}

// ---- Click actions ----

void WriteWindowPlace(HWND window) {
    if (!OptionOn(kOptionRememberWindow)) return;
    RECT r;
    GetWindowRect(window, &r);
    WriteSetting("X", std::to_string(r.left));
    WriteSetting("Y", std::to_string(r.top));
    WriteSetting("H", std::to_string(r.bottom - r.top));
}

void ToggleStartupShortcut(HWND window, ShortcutChange change) {
    if (change == ShortcutChange::kCreate) CreateStartupShortcut(ProgramPathUtf8());
    if (change == ShortcutChange::kRemove) RemoveStartupShortcut();
    const StartupToggleResult result = FinishStartupToggle(change, StartupShortcutExists());
    if (result.writeSlot) WriteOptionSlots({kOptionStartWithSystem});
    if (result.writeSlot) AnnounceItemState(window, OptionItem(kOptionStartWithSystem));
    if (!result.errorMessage.empty()) {
        ShowError(window, WideFromGbk(result.errorMessage), WideFromGbk(SettingsMessageCaption()));
    }
}

void ToggleOptionSwitch(HWND window, int k) {
    const bool topmost = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    const OptionToggleActions actions = ToggleOption(k, topmost);
    if (actions.zOrder != ZOrderChange::kNone) {
        SetWindowPos(window, actions.zOrder == ZOrderChange::kMakeTopmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0,
                     0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    }
    if (actions.tray != TrayChange::kNone) SetTrayIconShown(actions.tray == TrayChange::kAdd);
    if (actions.shortcut != ShortcutChange::kNone) ToggleStartupShortcut(window, actions.shortcut);
    WriteOptionSlots(actions.slotsToWrite);
    for (int slot : actions.slotsToWrite)
        AnnounceItemState(window, OptionItem(slot));
}

void PressCloseButton(HWND window) {
    const CloseButtonActions actions = CloseButtonAction();
    if (!actions.hideWindow) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return;
    }
    SetTrayIconShown(actions.showTrayIcon);
    SendMessageW(window, WM_COMMAND, kCmdHide, 0);
    ShowCloseBalloon(WideFromGbk(actions.balloonText), static_cast<UINT>(actions.balloonTimeoutMs));
}

void ClickStopwatch(int item) {
    if (!StopwatchClick(LapTimes, StopwatchStart, item, PlatformMediaTime())) return;
    SaveLaps();
    WriteSetting(Gbk("秒表"), std::to_string(StopwatchStart));
}

// This program's page on the maker's site, in the default browser.
void OpenHelpPage() {
    const std::wstring url = WideFromUtf8(std::string(kMakerSite) + kHelpPagePath);
    ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void ShowPage(HWND window, int page) {
    const bool changed = CurrentPage != page;
    CurrentPage = page;
    if (PageIsRemembered(page)) WriteSetting(Gbk("区域"), std::to_string(page));
    if (changed) AnnouncePageChange(window);
}

void DoClick(HWND window, const PageView& view, int item) {
    const ClickAction action = ClickActionFor(view, item);
    if (CanTakeFocus(view, item)) FocusItem = item;  // the keyboard goes on from what was clicked
    switch (action.kind) {
        case kClickTab:
            ShowPage(window, action.index);
            break;
        case kClickToggleAlarm:
            if (!ToggleAlarmItem(Alarms, item)) break;
            SaveAlarms();
            AnnounceItemState(window, item);
            break;
        case kClickStopwatch:
            ClickStopwatch(item);
            break;
        case kClickToggleTimer:
            if (!ToggleTimerAtRow(Timers, action.index, PlatformTickCount())) break;
            SaveTimers();
            AnnounceItemState(window, item);
            break;
        case kClickDeleteTimer:
            if (DeleteTimerAtRow(Timers, action.index)) SaveTimers();
            break;
        case kClickToggleOption:
            ToggleOptionSwitch(window, action.index);
            break;
        case kClickClose:
            PressCloseButton(window);
            break;
        case kClickAbout:
            OpenAboutWindow(window, kSoftwareNumber);
            break;
        case kClickChat:
            OPENAIDPORT(window, L"", L"", kSoftwareNumber);
            break;
        case kClickHelp:
            OpenHelpPage();
            break;
        case kClickNewAlarm:
            OpenAlarmEditor(kAddItem);
            break;
        case kClickEditAlarm:
            OpenAlarmEditor(AlarmRowItem(action.index));
            break;
        case kClickNewTimer:
            OpenTimerEditor(-1);
            break;
        case kClickEditTimer:
            OpenTimerEditor(action.index);
            break;
        case kClickNewDateEntry:
            OpenDateEditor(view.page, kAddItem);
            break;
        case kClickEditDateEntry:
            OpenDateEditor(view.page, DateRowItem(action.index));
            break;
        // The about window comes with its own step.
        default:
            break;
    }
    Repaint(window);
}

// ---- Messages ----

void OnLeftDown(HWND window, LPARAM lParam) {
    const LogicalPoint p = Logical(lParam);
    PressTick = GetTickCount();
    LastY = GET_Y_LPARAM(lParam);
    if (InResizeZone(p.y, ClientHeightLogical(window))) {
        SetCapture(window);
        SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
        PressState = kPressResizing;
        return;
    }
    const int item = HitTest(CurrentMainView(), p.x, p.y);
    if (StartsWindowDrag(item, p.y)) {
        // The system's caption drag: a modal loop that returns when the button is released.
        ReleaseCapture();
        SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        WriteWindowPlace(window);
        return;
    }
    const bool changed = HotItem != item || PressState != kPressHeld;
    HotItem = item;
    PressState = kPressHeld;
    SetCapture(window);
    if (changed) Repaint(window);
}

void ResizeStep(HWND window, int y) {
    RECT r;
    GetWindowRect(window, &r);
    const int height = ResizedHeight(r.bottom - r.top, y - LastY, WindowScale().y);
    LastY = y;
    SetWindowPos(window, nullptr, 0, 0, r.right - r.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DragStep(HWND window, int y) {
    const LogicalPoint at{0, LogicalY(WindowScale(), y)};
    if (!InDragScrollArea(at.y)) return;
    const int dy = static_cast<int>((y - LastY) / WindowScale().y);
    if (dy == 0) return;
    LastY = y;
    const int before = PageScroll[CurrentPage];
    PageScroll[CurrentPage] = DragScroll(CurrentPage, before, dy, LastIndexOfPage(CurrentPage));
    if (PageScroll[CurrentPage] != before) Repaint(window);
}

void OnMouseMove(HWND window, WPARAM buttons, LPARAM lParam) {
    const LogicalPoint p = Logical(lParam);
    gResizeCursor = InResizeZone(p.y, ClientHeightLogical(window));
    if (!gTrackingLeave) {
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, window, 0};
        gTrackingLeave = TrackMouseEvent(&track) != FALSE;
    }
    const bool leftDown = (buttons & MK_LBUTTON) != 0;
    if (PressState == kPressResizing && leftDown) return ResizeStep(window, GET_Y_LPARAM(lParam));
    if (leftDown && PressState == kPressHeld) return DragStep(window, GET_Y_LPARAM(lParam));
    const int item = HitTest(CurrentMainView(), p.x, p.y);
    if (item != HotItem) {
        HotItem = item;
        Repaint(window);
    }
}

void OnLeftUp(HWND window, LPARAM lParam) {
    ReleaseCapture();
    const LogicalPoint p = Logical(lParam);
    const PageView view = CurrentMainView();
    const int item = HitTest(view, p.x, p.y);
    const bool click = PressState == kPressHeld && IsClick(HotItem, item, PressTick, GetTickCount());
    PressState = kPressNone;
    if (click) DoClick(window, view, item);
    Repaint(window);
}

void OnWheel(HWND window, WPARAM wParam) {
    const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
    const int before = PageScroll[CurrentPage];
    PageScroll[CurrentPage] = WheelScroll(CurrentPage, before, notches, LastIndexOfPage(CurrentPage));
    if (PageScroll[CurrentPage] != before) Repaint(window);
}

void OnMouseLeave(HWND window) {
    gTrackingLeave = false;
    if (PressState == kPressResizing) return;
    if (HotItem != 0 || PressState != kPressNone) {
        HotItem = 0;
        PressState = kPressNone;
        Repaint(window);
    }
}

}  // namespace

void ClickMainItem(HWND window, int item) {
    DoClick(window, CurrentMainView(), item);
}

bool HandleMouseMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    *result = 0;
    switch (message) {
        case WM_LBUTTONDOWN:
            OnLeftDown(window, lParam);
            return true;
        case WM_MOUSEMOVE:
            OnMouseMove(window, wParam, lParam);
            return true;
        case WM_LBUTTONUP:
            OnLeftUp(window, lParam);
            return true;
        case WM_MOUSEWHEEL:
            OnWheel(window, wParam);
            return true;
        case WM_MOUSELEAVE:
            OnMouseLeave(window);
            return true;
        case WM_SETCURSOR:
            if (LOWORD(lParam) != HTCLIENT || !(gResizeCursor || PressState == kPressResizing)) return false;
            SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
            *result = TRUE;
            return true;
        default:
            return false;
    }
}
