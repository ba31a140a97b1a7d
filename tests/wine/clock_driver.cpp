// clock_driver: drives a running 钟伴.exe through Win32, as a user would, for the end-to-end tests.
//   clock_driver wait [MS]          until the main window exists and is visible (exit 1 on time-out)
//   clock_driver wait-hidden [MS]   until it exists and is hidden
//   clock_driver wait-gone [MS]     until it no longer exists
//   clock_driver visible            prints 1 or 0
//   clock_driver topmost            prints 1 or 0
//   clock_driver rect               prints "left top width height" of the window
//   clock_driver command ID         posts WM_COMMAND ID
//   clock_driver click X Y          presses and releases the left button at logical client (X, Y)
//   clock_driver drag X Y DY        presses at (X, Y), moves by DY logical pixels, releases
//   clock_driver capture PATH       saves the window as a PNG
//   clock_driver tray-icon          prints 1 when the program's notification-area icon is there, else 0
//   clock_driver tray-click         a left click on the tray icon, as the shell reports it
//   clock_driver escape             brings the window to the front and presses Escape on the keyboard
//   clock_driver keys KEY...        brings the window to the front and types the keys, each a name
//                                   with optional "ctrl+" and "shift+": tab, enter, space, up, down,
//                                   left, right; prints the focused item code after each key
//   clock_driver focus              prints the item code that shows the keyboard focus, 0 for none
//   clock_driver high-contrast on|off  makes the program see high contrast on (with a black scheme)
//                                   or off, through contrast_shim.dll beside the driver
//   clock_driver tray-menu PATH     opens the tray icon's menu, saves it as a PNG and closes it again
//   clock_driver sync [MS]          returns once the window has handled what was posted to it before
//   clock_driver move X Y           moves the window's top-left corner to (X, Y), device pixels
//   clock_driver dpi-change TO FROM sends WM_DPICHANGED from inside the program, as the system does
//                                   when the window moves to a monitor of TO dpi from one of FROM: the
//                                   suggested size is the window's scaled by TO/FROM; returns once
//                                   handled
//   clock_driver wake               prints the local moment the wake timer is armed for (seconds
//                                   since 1899-12-30), 0 when none is
//   clock_driver power EVENT        sends WM_POWERBROADCAST with EVENT (4 suspend, 18 resumed)
//   clock_driver hold-file PATH     opens the file without sharing it, as some editors do, creates
//                                   PATH.held and keeps it so until PATH.release exists (60 s at most)
//   clock_driver hold-lock PATH     holds the mutex by which a copy of the clock in another session
//                                   claims the data file PATH, likewise
// Coordinates are 96-dpi logical pixels, scaled with the screen's DPI as the program scales them.
#include <windows.h>

#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <string>

#include "clock/core/data_file_guard_win.h"
#include "clock/core/window_ids.h"
#include "forms/canvas_win.h"
#include "contrast_shim_win.h"
#include "forms/dpi_win.h"
#include "window_sync_win.h"

namespace {

HWND MainWindowOfClock() {
    return FindWindowW(kMainWindowClass, nullptr);
}

template <typename Condition>
int WaitFor(Condition condition, int timeoutMs) {
    for (int waited = 0; waited <= timeoutMs; waited += 50) {
        if (condition()) return 0;
        Sleep(50);
    }
    std::fprintf(stderr, "clock_driver: timed out\n");
    return 1;
}

LPARAM At(int x, int y) {
    const Scale s = ScreenScale();
    return MAKELPARAM(ScaleX(s, x), ScaleY(s, y));
}

// Posted in order to the window's queue; the program handles them as a user's press and release.
void Click(HWND window, int x, int y) {
    PostMessageW(window, WM_MOUSEMOVE, 0, At(x, y));
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    PostMessageW(window, WM_LBUTTONUP, 0, At(x, y));
}

// The shell answers a change of an icon that is not there with failure; the tip is set to what the
// program itself shows, so the check changes nothing.
bool TrayIconPresent(HWND window) {
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = kTrayIconId;
    data.uFlags = NIF_TIP;
    GetWindowTextW(window, data.szTip, ARRAYSIZE(data.szTip));
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// Real key strokes through the input queue, so that they pass the program's keyboard hook.
void PressEscape(HWND window) {
    SetForegroundWindow(window);
    Sleep(100);
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

WORD KeyCode(const std::string& name) {
    static const struct {
        const char* name;
        WORD key;
    } kKeys[] = {{"tab", VK_TAB},   {"enter", VK_RETURN}, {"space", VK_SPACE}, {"up", VK_UP},
                 {"down", VK_DOWN}, {"left", VK_LEFT},    {"right", VK_RIGHT}};
    for (const auto& k : kKeys) {
        if (name == k.name) return k.key;
    }
    return 0;
}

// One key stroke through the input queue, as the keyboard makes it, with its modifiers held.
// Returns the number of keys released, 0 when the name is unknown or the input was refused.
int TypeKey(std::string spec) {
    WORD held[2] = {};
    int heldCount = 0;
    for (const auto& modifier : {std::make_pair("ctrl+", VK_CONTROL), std::make_pair("shift+", VK_SHIFT)}) {
        if (spec.rfind(modifier.first, 0) == 0) {
            held[heldCount++] = static_cast<WORD>(modifier.second);
            spec = spec.substr(std::strlen(modifier.first));
        }
    }
    const WORD key = KeyCode(spec);
    if (!key) return 0;
    INPUT inputs[6] = {};
    int n = 0;
    for (int i = 0; i < heldCount; ++i) inputs[n++].ki.wVk = held[i];
    inputs[n++].ki.wVk = key;
    inputs[n].ki.wVk = key;
    inputs[n++].ki.dwFlags = KEYEVENTF_KEYUP;
    for (int i = heldCount - 1; i >= 0; --i) {
        inputs[n].ki.wVk = held[i];
        inputs[n++].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    for (int i = 0; i < n; ++i) inputs[i].type = INPUT_KEYBOARD;
    return SendInput(static_cast<UINT>(n), inputs, sizeof(INPUT)) == static_cast<UINT>(n) ? heldCount + 1 : 0;
}

UINT_PTR KeyUpsTaken(HWND window) {
    return reinterpret_cast<UINT_PTR>(GetPropW(window, kKeyUpCountProp));
}

// Input comes after posted messages, so a sync marker alone could overtake the keys: each stroke
// is waited for until the thread has taken its releases (its press is handled by then), and then
// for what the press posted.
int TypeKeys(HWND window, int count, char** keys) {
    HMODULE library = nullptr;
    HHOOK hook = SetSyncHook(window, &library);
    SetForegroundWindow(window);
    Sleep(100);
    int result = hook ? 0 : 1;
    for (int i = 0; i < count && result == 0; ++i) {
        const UINT_PTR before = KeyUpsTaken(window);
        const int released = TypeKey(keys[i]);
        if (released == 0) {
            std::fprintf(stderr, "clock_driver: cannot type %s\n", keys[i]);
            result = 1;
            break;
        }
        result = WaitFor([&] { return KeyUpsTaken(window) - before >= static_cast<UINT_PTR>(released); }, 5000);
        if (result == 0 && !SyncWithWindow(window, 5000)) result = 1;
        if (result == 0) std::printf("%d\n", static_cast<int>(SendMessageW(window, kMsgFocusItem, 0, 0)));
    }
    if (hook) UnhookWindowsHookEx(hook);
    if (library) FreeLibrary(library);
    return result;
}

int SetHighContrast(HWND window, bool on) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    while (n > 0 && path[n - 1] != L'\\')
        --n;
    lstrcpynW(path + n, L"contrast_shim.dll", MAX_PATH - static_cast<int>(n));
    HMODULE library = LoadLibraryW(path);
    const auto proc =
        library
            ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(library, "ContrastShimHook")))
            : nullptr;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    HHOOK hook = proc && thread ? SetWindowsHookExW(WH_GETMESSAGE, proc, library, thread) : nullptr;
    RemovePropW(window, kContrastShimProp);
    const auto wanted = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(on ? 2 : 1));
    int result = 1;
    if (hook && PostMessageW(window, RegisterWindowMessageW(kContrastShimMessage), on ? 1 : 0, 0))
        result = WaitFor([&] { return GetPropW(window, kContrastShimProp) == wanted; }, 5000);
    if (hook) UnhookWindowsHookEx(hook);
    if (library) FreeLibrary(library);
    return result == 0 && SyncWithWindow(window, 5000) ? 0 : 1;
}

// The open pop-up menu of the program's process (window class "#32768"), or null.
HWND OpenMenuOf(HWND window) {
    DWORD program = 0;
    GetWindowThreadProcessId(window, &program);
    for (HWND menu = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); menu;
         menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(menu, &owner);
        if (owner == program && IsWindowVisible(menu)) return menu;
    }
    return nullptr;
}

int CaptureTrayMenu(HWND window, const std::string& path) {
    PostMessageW(window, kMsgTray, kTrayIconId, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    if (WaitFor([&] { return (menu = OpenMenuOf(window)) != nullptr; }, 10000) != 0) return 1;
    Sleep(300);  // drawn
    GdiplusSession gdiplus;
    const bool saved = CaptureWindowPng(menu, std::wstring(path.begin(), path.end()));
    PostMessageW(window, WM_CANCELMODE, 0, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    WaitFor([&] { return OpenMenuOf(window) == nullptr; }, 5000);
    return saved ? 0 : 1;
}

void Drag(HWND window, int x, int y, int dy) {
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    const int steps = 4;
    for (int i = 1; i <= steps; ++i)
        PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, At(x, y + dy * i / steps));
    PostMessageW(window, WM_LBUTTONUP, 0, At(x, y + dy));
}

int ChangeDpi(HWND window, int to, int from) {
    RECT r;
    if (to <= 0 || from <= 0 || !GetWindowRect(window, &r)) return 1;
    const LPARAM size = MAKELPARAM(MulDiv(r.right - r.left, to, from), MulDiv(r.bottom - r.top, to, from));
    const UINT message = RegisterWindowMessageW(kDpiChangeMessageName);
    return SyncWithWindowAfter(window, message, MAKEWPARAM(to, to), size, 20000) ? 0 : 1;
}

// The argument as UTF-16: a data file path holds Chinese characters.
std::wstring WideArgument(int index) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring argument = arguments && index < count ? arguments[index] : L"";
    LocalFree(arguments);
    return argument;
}

int HoldUntilReleased(HANDLE held, const std::wstring& path) {
    if (held == nullptr || held == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "clock_driver: could not hold %lu\n", GetLastError());
        return 1;
    }
    // A file, not output: the caller sees it while this program still runs.
    CloseHandle(CreateFileW((path + L".held").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const std::wstring release = path + L".release";
    WaitFor([&] { return GetFileAttributesW(release.c_str()) != INVALID_FILE_ATTRIBUTES; }, 60000);
    CloseHandle(held);
    return 0;
}

int Run(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    const int timeout = argc > 2 ? std::atoi(argv[2]) : 20000;
    if (command == "wait")
        return WaitFor(
            [] {
                HWND w = MainWindowOfClock();
                return w && IsWindowVisible(w);
            },
            timeout);
    if (command == "wait-hidden") {
        return WaitFor(
            [] {
                HWND w = MainWindowOfClock();
                return w && !IsWindowVisible(w);
            },
            timeout);
    }
    if (command == "wait-gone") return WaitFor([] { return MainWindowOfClock() == nullptr; }, timeout);
    if (command == "hold-file" && argc > 2) {
        const std::wstring path = WideArgument(2);
        return HoldUntilReleased(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr),
                                 path);
    }
    if (command == "hold-lock" && argc > 2) {
        const std::wstring path = WideArgument(2);
        return HoldUntilReleased(CreateMutexW(nullptr, FALSE, DataFileMutexName(path).c_str()), path);
    }
    HWND window = MainWindowOfClock();
    if (!window) {
        std::fprintf(stderr, "clock_driver: no main window\n");
        return 1;
    }
    if (command == "visible") return std::printf("%d\n", IsWindowVisible(window) ? 1 : 0) > 0 ? 0 : 1;
    if (command == "topmost") {
        const bool topmost = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        return std::printf("%d\n", topmost ? 1 : 0) > 0 ? 0 : 1;
    }
    if (command == "rect") {
        RECT r;
        GetWindowRect(window, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (command == "command" && argc > 2)
        return PostMessageW(window, WM_COMMAND, std::atoi(argv[2]), 0) ? 0 : 1;
    if (command == "click" && argc > 3) return Click(window, std::atoi(argv[2]), std::atoi(argv[3])), 0;
    if (command == "drag" && argc > 4)
        return Drag(window, std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4])), 0;
    if (command == "tray-icon") return std::printf("%d\n", TrayIconPresent(window) ? 1 : 0) > 0 ? 0 : 1;
    if (command == "tray-click") return PostMessageW(window, kMsgTray, kTrayIconId, WM_LBUTTONDOWN) ? 0 : 1;
    if (command == "escape") return PressEscape(window), 0;
    if (command == "high-contrast" && argc > 2) return SetHighContrast(window, std::string(argv[2]) == "on");
    if (command == "keys") return TypeKeys(window, argc - 2, argv + 2);
    if (command == "focus") return std::printf("%d\n", static_cast<int>(SendMessageW(window, kMsgFocusItem, 0, 0))) > 0 ? 0 : 1;
    if (command == "tray-menu" && argc > 2) return CaptureTrayMenu(window, argv[2]);
    if (command == "sync") return SyncWithWindow(window, timeout) ? 0 : 1;
    if (command == "move" && argc > 3)
        return SetWindowPos(window, nullptr, std::atoi(argv[2]), std::atoi(argv[3]), 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)
                   ? 0
                   : 1;
    if (command == "dpi-change" && argc > 3) return ChangeDpi(window, std::atoi(argv[2]), std::atoi(argv[3]));
    // The local moment the wake timer is armed for, seconds since 1899-12-30; 0 when none is.
    if (command == "wake")
        return std::printf("%lld\n", static_cast<long long>(SendMessageW(window, kMsgWakeMoment, 0, 0))) > 0 ? 0 : 1;
    if (command == "power" && argc > 2)
        return SendMessageW(window, WM_POWERBROADCAST, std::atoi(argv[2]), 0) == TRUE ? 0 : 1;
    if (command == "capture" && argc > 2) {
        GdiplusSession gdiplus;
        const std::string path = argv[2];
        return CaptureWindowPng(window, std::wstring(path.begin(), path.end())) ? 0 : 1;
    }
    std::fprintf(stderr, "clock_driver: unknown command\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // Plain "\n" line ends, so that the shell compares "1" and not "1\r".
    _setmode(_fileno(stdout), _O_BINARY);
    // Window places and sizes as the clock sees them: under a scale other than 96 dpi the system
    // would otherwise scale them for a program that does not know of DPI.
    SetProcessDPIAware();
    const int result = Run(argc, argv);
    // Every failure says something, so that a run ending in an error without a word is one Wine
    // never started (wine_run.sh --prints tries that again).
    if (result != 0) std::fprintf(stderr, "clock_driver: exit %d\n", result);
    return result;
}
