// 钟伴.exe: start-up, the single-instance rule and the message loop.
#include <windows.h>

#include <commctrl.h>

#include "clock/core/main_window_win.h"
#include "clock/core/window_ids.h"
#include "clock/services/components_win.h"
#include "forms/canvas_win.h"

namespace {

// DLLs are looked for in the system folder only, never beside the program or in the current
// folder, where a planted library would otherwise be loaded by name. Looked up at run time: the
// function is missing on a Windows 7 without its security update.
void RestrictDllSearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto set = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                            reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                      : nullptr;
    if (set) set(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
}

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
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    RestrictDllSearch();
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
