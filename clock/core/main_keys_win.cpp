// Every decision here comes from keyboard_focus.h; this file turns key strokes into those calls.
#include "clock/core/main_keys_win.h"

#include "clock/core/keyboard_focus.h"
#include "clock/core/main_access_win.h"
#include "clock/core/main_mouse_win.h"
#include "clock/core/main_window_rules.h"
#include "clock/core/main_window_win.h"
#include "clock/core/program_win.h"

namespace {

bool Held(int key) {
    return GetKeyState(key) < 0;
}

int ClientHeightLogical(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    return LogicalY(WindowScale(), client.bottom);
}

// Moves the focus, scrolls it into view and tells a screen reader where it went.
void FocusOn(HWND window, int item) {
    const PageView view = CurrentMainView();
    const bool moved = FocusItem != item || !FocusShown;
    FocusItem = item;
    FocusShown = true;
    PageScroll[CurrentPage] = ScrollToShow(view, item, ClientHeightLogical(window), view.entryCount - 1);
    InvalidateRect(window, nullptr, FALSE);
    if (moved) AnnounceFocusItem(window, item);
}

bool MoveFor(WPARAM key, FocusMove* move) {
    switch (key) {
        case VK_TAB:
            *move = Held(VK_SHIFT) ? FocusMove::kPrevious : FocusMove::kNext;
            return true;
        case VK_UP:
            *move = FocusMove::kUp;
            return true;
        case VK_DOWN:
            *move = FocusMove::kDown;
            return true;
        case VK_LEFT:
            *move = FocusMove::kLeft;
            return true;
        case VK_RIGHT:
            *move = FocusMove::kRight;
            return true;
        default:
            return false;
    }
}

bool OnKeyDown(HWND window, WPARAM key, LPARAM flags) {
    const bool repeated = (flags & (1 << 30)) != 0;
    if (key == VK_TAB && Held(VK_CONTROL)) {
        ClickMainItem(window, TabItem(NextPage(CurrentPage, !Held(VK_SHIFT))));
        FocusOn(window, TabItem(CurrentPage));
        return true;
    }
    FocusMove move = FocusMove::kNext;
    if (MoveFor(key, &move)) {
        FocusOn(window, MoveFocus(CurrentMainView(), FocusItem, move));
        return true;
    }
    if (key == VK_RETURN || key == VK_SPACE) {
        // The first key only shows where the focus is; a held key acts once.
        if (!FocusShown || !CanTakeFocus(CurrentMainView(), FocusItem)) {
            FocusOn(window, MoveFocus(CurrentMainView(), 0, FocusMove::kNext));
        } else if (!repeated) {
            ClickMainItem(window, FocusItem);
        }
        return true;
    }
    return false;
}

}  // namespace

bool HandleKeyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    *result = 0;
    if (message == WM_GETDLGCODE) {
        *result = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTTAB;
        return true;
    }
    if (message == WM_KEYDOWN) return OnKeyDown(window, wParam, lParam);
    return false;
}
