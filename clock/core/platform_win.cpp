// The platform functions of clock/core/platform.h on Win32.
#include "clock/core/platform.h"

#include <windows.h>

#include <mmsystem.h>
#include <shellapi.h>
#include <wininet.h>

#include <system_error>
#include <thread>

#include "clock/alarms/reminder_win.h"
#include "clock/alarms/shutdown_win.h"
#include "clock/alarms/timer_rules.h"
#include "clock/calendar/net_time.h"
#include "clock/core/local_time_win.h"
#include "clock/core/main_window_rules.h"
#include "clock/core/main_window_win.h"
#include "clock/core/program_win.h"
#include "clock/core/tick.h"
#include "clock/core/window_ids.h"
#include "forms/wide_win.h"

DateTime PlatformNow() {
    return LocalDateTimeNow();
}

uint32_t PlatformTickCount() {
    return GetTickCount();
}

uint32_t PlatformMediaTime() {
    return timeGetTime();
}

void ShowReminder(int kind, const std::string& firstText, const std::string& secondText) {
    RaiseReminder(kind, firstText, secondText);
}

void ShowReminderList(int kind, const std::string& title, const std::vector<std::string>& lines) {
    RaiseReminderList(kind, title, lines);
}

void OpenShutdownCountdown(int mode) {
    OpenShutdownWindow(mode);
}

bool IsOpenableFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(WideFromGbk(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY)) == 0;
}

bool OpenWithShell(const std::string& path) {
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", WideFromGbk(path).c_str(), L"", nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;  // the shell's way of saying it succeeded
}

// Never joined: nothing waits for a check's end, and the program may exit while one is under way.
// So the thread holds what it needs by value (the window to tell) and the check itself touches no
// object that exit destroys. Telling the user is left to the main window, through a posted
// message: IsWindow keeps a note from reaching a window that is gone. A thread the system cannot
// create skips this hour's check; the exception must not reach the window procedure that ticks.
void StartNetTimeCheck() {
    if (!BeginNetTimeCheck()) return;
    const HWND notify = MainWindow;
    try {
        std::thread([notify] {
            if (EndNetTimeCheck(NetTimeCheck()) && IsWindow(notify))
                PostMessageW(notify, kMsgNetTimeNoRight, 0, 0);
        }).detach();
    } catch (const std::system_error&) {
        EndNetTimeCheck(NetTimeOutcome::kFailed);
    }
}

bool PlatformIsOnline() {
    DWORD flags = 0;
    return InternetGetConnectedState(&flags, 0) != FALSE;
}

void PlatformSleep(uint32_t ms) {
    Sleep(ms);
}

DateValue PlatformUtcNow() {
    SYSTEMTIME st;
    GetSystemTime(&st);
    return ToDateValue(DateTimeOf(st));
}

// SetSystemTime enables the system-time privilege itself when the token holds it; a standard
// user's token does not, and the call fails with ERROR_PRIVILEGE_NOT_HELD (access denied where a
// policy withholds the right). The clock is then left as it was.
ClockWrite SetSystemClockUtc(DateValue utc) {
    const DateTime t = SplitDate(utc);
    if (t.year < 1601 || t.year > 30827) return ClockWrite::kFailed;  // outside what SYSTEMTIME holds
    const SYSTEMTIME st = SystemTimeOf(t);
    if (SetSystemTime(&st)) return ClockWrite::kDone;
    const DWORD error = GetLastError();
    return error == ERROR_PRIVILEGE_NOT_HELD || error == ERROR_ACCESS_DENIED ? ClockWrite::kNoRight
                                                                             : ClockWrite::kFailed;
}

// The tick asks for a repaint ten times a second; a frame that would show exactly what is on the
// screen already is skipped, which saves most of the drawing while the clock sits idle.
void RepaintMainWindow() {
    static std::string lastKey;
    if (!MainWindow || !IsWindowVisible(MainWindow)) return;
    PageLook look;
    look.page = CurrentPage;
    look.scroll = PageScroll[CurrentPage];
    look.hotItem = HotItem;
    look.pressState = PressState;
    const std::string key =
        TickFrameKey(look, TickMoment{PlatformNow(), PlatformMediaTime(), PlatformTickCount(), LastDateCheck});
    if (key == lastKey) return;
    lastKey = key;
    InvalidateRect(MainWindow, nullptr, TRUE);
    UpdateWindow(MainWindow);
}

void ShowTrayIcon(bool show) {
    SetTrayIconShown(show);
}

ScreenMetrics PlatformScreenMetrics() {
    RECT work = {0, 0, 1024, 768};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ScreenMetrics m;
    m.left = work.left;
    m.top = work.top;
    m.right = work.right;
    m.bottom = work.bottom;
    m.scaleX = WindowScale().x;
    m.scaleY = WindowScale().y;
    return m;
}

void MoveMainWindow(const WindowGeometry& g) {
    if (!MainWindow) return;
    SetWindowPos(MainWindow, nullptr, g.x, g.y, g.width, g.height, SWP_NOZORDER | SWP_NOACTIVATE);
}
