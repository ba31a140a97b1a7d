// 钟伴.exe: start-up, the single-instance rule and the message loop.
#include <windows.h>

#include <commctrl.h>

#include "clock/core/main_window_win.h"
#include "clock/core/window_ids.h"
#include "clock/services/about_win.h"
#include "clock/services/components_win.h"
#include "forms/canvas_win.h"
#include "forms/dll_search_win.h"

namespace {

// A running copy is shown instead of starting a second one.
bool ShowRunningCopy() {
    HWND running = FindWindowW(kMainWindowClass, nullptr);
    if (!running) return false;
    PostMessageW(running, WM_COMMAND, kCmdShow, 0);
    return true;
}

int RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (AboutWindowMessage(&message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    RestrictDllSearchToSystem();
    RecordProgramPath();
    SetServiceFolder(ProgramFolderUtf8());
    GdiplusSession gdiplus;
    if (ShowRunningCopy()) return 0;
    INITCOMMONCONTROLSEX controls = {sizeof controls,
                                     ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    if (!CreateMainWindow(instance)) return 0;
    RunMessageLoop();
    return 0;
}
