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
// Coordinates are 96-dpi logical pixels, scaled with the screen's DPI as the program scales them.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "clock/core/window_ids.h"
#include "forms/canvas_win.h"
#include "forms/gdi_handles_win.h"

namespace {

HWND MainWindowOfClock() {
    return FindWindowW(kMainWindowClass, nullptr);
}

Scale ScreenScale() {
    WindowDc screen(nullptr);
    return ScaleFromDpi(GetDeviceCaps(screen.get(), LOGPIXELSX), GetDeviceCaps(screen.get(), LOGPIXELSY));
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

void Drag(HWND window, int x, int y, int dy) {
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    const int steps = 4;
    for (int i = 1; i <= steps; ++i)
        PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, At(x, y + dy * i / steps));
    PostMessageW(window, WM_LBUTTONUP, 0, At(x, y + dy));
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
    return Run(argc, argv);
}
