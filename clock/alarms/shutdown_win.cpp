// The shutdown and restart count-down: a large topmost window counting 60 seconds down in tenths
// with a "取消" button; when nobody cancels, the computer is shut down or restarted. One window at a
// time; a further request only brings it forward.
#include "clock/alarms/shutdown_win.h"

#include <windows.h>

#include "clock/alarms/reminder_rules.h"
#include "clock/core/program_win.h"
#include "forms/dpi_win.h"
#include "forms/form_win.h"
#include "forms/wide_win.h"

namespace {

constexpr const wchar_t* kCountdownClass = L"钟伴_Form重启关机";
constexpr int kClientWidth = 780, kClientHeight = 515;
constexpr UINT kRefreshTimer = 1;
constexpr UINT kRefreshMs = 100;
constexpr COLORREF kHeadlineColour = RGB(255, 26, 26);
constexpr const char* kFormName = "Form重启关机";

// What the window counts down to, kept on its form.
struct Countdown {
    int mode = kShutdownPowerOff;
    uint32_t startTick = 0;
};

// Programs are not forced closed (see ExitSystem): the user may come back to a machine that waits
// for a program with unsaved work; Label3 says so.
const ControlSpec kControls[] = {
    {"Label1", 0, kControlLabel, L"即将关闭电脑", 15, 21, 750, 145, 0, true, SS_CENTER, 80},
    {"Label2", 0, kControlLabel, L"60", 5, 196, 750, 199, 0, true, SS_CENTER, 100},
    {"Label3", 0, kControlLabel, L"只结束没有响应的程序，其他程序不会被强制关闭", 15, 482, 750, 30, 0, true,
     SS_CENTER, 12},
    {"Command1", 0, kControlButton, L"取消", 278, 415, 220, 64, 0, true, BS_DEFPUSHBUTTON, 22},
    TimerControl("Timer1", kRefreshTimer, kRefreshMs),
};

void OnRefresh(HWND window) {
    const Form* form = FormOfWindow(window);
    const Countdown* countdown = form ? FormState<Countdown>(*form) : nullptr;
    if (!countdown) return;
    const int mode = countdown->mode;
    SetControlText(*form, "Label1", 0, WideFromGbk(ShutdownHeadline(mode)));
    const int remaining = ShutdownRemainingMs(countdown->startTick, GetTickCount());
    SetControlText(*form, "Label2", 0, WideFromGbk(ShutdownCountdownText(remaining)));
    if (remaining > 0) return;
    // Once only. A refusal is said where the number was, and stays until the user closes it.
    KillTimer(window, kRefreshTimer);
    if (ExitSystem(mode)) return;
    SetControlText(*form, "Label1", 0, WideFromGbk(ShutdownFailedHeadline(mode)));
    SetControlText(*form, "Label2", 0, WideFromGbk(ShutdownFailedAdvice(mode)));
}

LRESULT CALLBACK CountdownProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kRefreshTimer) OnRefresh(window);
            return 0;
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            const Form* form = FormOfWindow(window);
            const bool headline = form && reinterpret_cast<HWND>(lParam) == ControlWindow(*form, "Label1");
            SetTextColor(dc, headline ? kHeadlineColour : GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) PostMessageW(window, WM_CLOSE, 0, 0);
            return 0;
        case WM_CLOSE:
            KillTimer(window, kRefreshTimer);  // the count-down is discarded
            DestroyWindow(window);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

FormSpec CountdownForm() {
    FormSpec spec;
    spec.name = kFormName;
    spec.className = kCountdownClass;
    spec.caption = WideFromUtf8("关机或重启电脑提醒");
    spec.width = kClientWidth;
    spec.height = kClientHeight;
    spec.clientSize = true;
    spec.style = WS_POPUP | WS_BORDER | WS_SYSMENU;
    spec.exStyle = WS_EX_TOPMOST;
    spec.iconName = L"AAAAA_APPICON";
    spec.handler = CountdownProc;
    spec.scale = WorkAreaScale();  // centred in the work area
    return spec;
}

void BringForward(HWND window) {
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    FLASHWINFO flash = {};
    flash.cbSize = sizeof flash;
    flash.hwnd = window;
    flash.dwFlags = FLASHW_CAPTION | FLASHW_TRAY;
    flash.uCount = 5;
    flash.dwTimeout = 100;
    FlashWindowEx(&flash);
}

// Centred in the work area; a screen too small for it keeps the top-left corner (and so the
// headline) in view.
void PlaceCentred(HWND window) {
    RECT work = {0, 0, 1024, 768}, outer;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window, &outer);
    const int w = outer.right - outer.left, h = outer.bottom - outer.top;
    int x = work.left + (work.right - work.left - w) / 2, y = work.top + (work.bottom - work.top - h) / 2;
    x = x < work.left ? work.left : x;
    y = y < work.top ? work.top : y;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void OpenShutdownWindow(int mode) {
    if (const Form* open = FindForm(kFormName)) {
        BringForward(open->window);  // its mode and time stay as they are
        return;
    }
    Form* form = CreateForm(GetModuleHandleW(nullptr), CountdownForm());
    if (!form) return;
    AddControls(*form, kControls);
    PlaceCentred(form->window);
    ShowWindow(form->window, SW_SHOW);
    SetFocus(ControlWindow(*form, "Command1"));
    SetFormState(*form, Countdown{mode, GetTickCount()});
}

int ExitSystem(int mode) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return 0;
    TOKEN_PRIVILEGES privileges = {};
    bool enabled = true;
    if (LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        // AdjustTokenPrivileges succeeds also when the privilege was not granted: the last error
        // tells.
        enabled = AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
                  GetLastError() == ERROR_SUCCESS;
    }
    CloseHandle(token);
    if (!enabled) return 0;
    // Only programs that do not answer are ended: a forced exit would throw away the unsaved work
    // of every other program while the user is away.
    const UINT how = (mode == kShutdownPowerOff ? EWX_SHUTDOWN : EWX_REBOOT) | EWX_FORCEIFHUNG;
    return ExitWindowsEx(how, 0) ? 1 : 0;
}
