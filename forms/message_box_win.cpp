#include "forms/message_box_win.h"

#include "forms/placement.h"

namespace {

HWINEVENTHOOK gForegroundHook = nullptr;

ScreenRect FromRect(const RECT& r) {
    return ScreenRect{r.left, r.top, r.right, r.bottom};
}

RECT WorkAreaOf(HWND window) {
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) work = info.rcWork;
    return work;
}

void CALLBACK OnForeground(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
    if (object == OBJID_WINDOW && window) CentreOverOwner(window);
}

}  // namespace

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) {
    return MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
}

bool AskYesNo(HWND owner, const std::wstring& text, const std::wstring& caption) {
    return ShowMessageBox(owner, text, caption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) ==
           IDYES;
}

bool AskOkCancel(HWND owner, const std::wstring& text, const std::wstring& caption) {
    return ShowMessageBox(owner, text, caption, MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2) ==
           IDOK;
}

RetryAnswer AskRetryContinueCancel(HWND owner, const std::wstring& text, const std::wstring& caption) {
    switch (ShowMessageBox(owner, text, caption, MB_CANCELTRYCONTINUE | MB_ICONWARNING)) {
        case IDTRYAGAIN:
            return RetryAnswer::kRetry;
        case IDCONTINUE:
            return RetryAnswer::kContinue;
        default:
            return RetryAnswer::kCancel;  // Cancel, Esc, or a box that could not be shown
    }
}

void ShowError(HWND owner, const std::wstring& text, const std::wstring& caption) {
    ShowMessageBox(owner, text, caption, MB_OK | MB_ICONERROR);
}

void ShowWarning(HWND owner, const std::wstring& text, const std::wstring& caption) {
    ShowMessageBox(owner, text, caption, MB_OK | MB_ICONWARNING);
}

void StartCentringOwnedWindows() {
    if (gForegroundHook) return;
    gForegroundHook = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, OnForeground,
                                      GetCurrentProcessId(), GetCurrentThreadId(), WINEVENT_OUTOFCONTEXT);
}

void StopCentringOwnedWindows() {
    if (gForegroundHook) UnhookWinEvent(gForegroundHook);
    gForegroundHook = nullptr;
}

void CentreOverOwner(HWND window) {
    HWND owner = GetWindow(window, GW_OWNER);
    if (!owner || !IsWindowVisible(owner)) return;
    RECT own, mine;
    GetWindowRect(owner, &own);
    GetWindowRect(window, &mine);
    const ScreenPoint p = CentredOver(FromRect(own), mine.right - mine.left, mine.bottom - mine.top,
                                      FromRect(WorkAreaOf(owner)));
    SetWindowPos(window, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
