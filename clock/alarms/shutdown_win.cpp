// The shutdown and restart count-down: a large topmost window counting 60 seconds down in tenths
// with a "取消" button; when nobody cancels, the computer is shut down or restarted. One window at a
// time; a further request only brings it forward.
#include "clock/alarms/shutdown_win.h"

#include <windows.h>

#include "clock/alarms/reminder_rules.h"
#include "clock/core/program_win.h"
#include "forms/form_win.h"
#include "forms/wide_win.h"

namespace {

constexpr const wchar_t* kCountdownClass = L"钟伴_Form重启关机";
constexpr int kClientWidth = 780, kClientHeight = 515;
constexpr UINT kRefreshTimer = 1;
constexpr UINT kRefreshMs = 100;
constexpr COLORREF kHeadlineColour = RGB(255, 26, 26);

HWND gWindow = nullptr;
int gMode = kShutdownPowerOff;
uint32_t gStartTick = 0;

ControlSpec Label(const char* name, const char* text, int x, int y, int w, int h, float points) {
    ControlSpec spec;
    spec.name = name;
    spec.kind = kControlLabel;
    spec.caption = WideFromUtf8(text);
    spec.x = x, spec.y = y, spec.width = w, spec.height = h;
    spec.fontPoints = points;
    spec.style = SS_CENTER;
    return spec;
}

void AddControls(Form& form) {
    AddControl(form, Label("Label1", "即将关闭电脑", 15, 21, 750, 145, 80));
    AddControl(form, Label("Label2", "60", 5, 196, 750, 199, 100));
    // Programs are not forced closed (see ExitSystem): the user may come back to a machine that
    // waits for a program with unsaved work.
    AddControl(form, Label("Label3", "只结束没有响应的程序，其他程序不会被强制关闭", 15, 482, 750, 30, 12));
    ControlSpec cancel;
    cancel.name = "Command1";
    cancel.kind = kControlButton;
    cancel.caption = WideFromUtf8("取消");
    cancel.x = 278, cancel.y = 415, cancel.width = 220, cancel.height = 64;
    cancel.fontPoints = 22;
    AddControl(form, cancel);
    ControlSpec timer;
    timer.name = "Timer1";
    timer.kind = kControlTimer;
    timer.id = kRefreshTimer;
    timer.intervalMs = kRefreshMs;
    AddControl(form, timer);
}

void OnRefresh(HWND window) {
    const Form* form = FormOfWindow(window);
    if (!form) return;
    SetControlText(*form, "Label1", 0, WideFromGbk(ShutdownHeadline(gMode)));
    const int remaining = ShutdownRemainingMs(gStartTick, GetTickCount());
    SetControlText(*form, "Label2", 0, WideFromGbk(ShutdownCountdownText(remaining)));
    if (remaining > 0) return;
    // Once only. A refusal is said where the number was, and stays until the user closes it.
    KillTimer(window, kRefreshTimer);
    if (ExitSystem(gMode)) return;
    SetControlText(*form, "Label1", 0, WideFromGbk(ShutdownFailedHeadline(gMode)));
    SetControlText(*form, "Label2", 0, WideFromGbk(ShutdownFailedAdvice(gMode)));
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
        case WM_DESTROY:
            gWindow = nullptr;
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
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
    if (gWindow) {
        BringForward(gWindow);  // its mode and time stay as they are
        return;
    }
    FormSpec spec;
    spec.name = "Form重启关机";
    spec.className = kCountdownClass;
    spec.caption = WideFromUtf8("关机或重启电脑提醒");
    spec.width = kClientWidth;
    spec.height = kClientHeight;
    spec.clientSize = true;
    spec.style = WS_POPUP | WS_BORDER | WS_SYSMENU;
    spec.exStyle = WS_EX_TOPMOST;
    spec.iconName = L"AAAAA_APPICON";
    spec.handler = CountdownProc;
    spec.scale = WindowScale();
    gWindow = CreateForm(GetModuleHandleW(nullptr), spec);
    Form* form = FormOfWindow(gWindow);
    if (!form) {
        gWindow = nullptr;
        return;
    }
    AddControls(*form);
    PlaceCentred(gWindow);
    ShowWindow(gWindow, SW_SHOW);
    SetFocus(ControlWindow(*form, "Command1"));
    gMode = mode;
    gStartTick = GetTickCount();
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
