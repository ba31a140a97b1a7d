// 钟伴.exe: start-up, the single-instance rule and the message loop.
#include <windows.h>

#include <commctrl.h>

#include "clock/core/clock_data.h"
#include "clock/core/data_file_guard_win.h"
#include "clock/core/main_window_win.h"
#include "clock/core/program_win.h"
#include "clock/core/window_ids.h"
#include "clock/services/about_win.h"
#include "clock/services/components_win.h"
#include "forms/canvas_win.h"
#include "forms/dll_search_win.h"
#include "forms/wide_win.h"

namespace {

constexpr int kRunningWindowWaitMs = 5000;

// A running copy is shown instead of starting a second one. The mutex exists from the first copy's
// first moment, so two copies started together cannot both pass, as they could when the window
// was the only sign; the second waits a moment for the first one's window to show it.
bool ShowRunningCopy() {
    // Kept for the run on purpose: the system closes it when the process ends.
    const HANDLE running = CreateMutexW(nullptr, FALSE, kSessionMutexName);
    const DWORD error = GetLastError();
    const bool another = running ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
    if (!another && !FindWindowW(kMainWindowClass, nullptr)) return false;
    for (int waited = 0; waited < kRunningWindowWaitMs; waited += 50) {
        if (HWND window = FindWindowW(kMainWindowClass, nullptr)) {
            PostMessageW(window, WM_COMMAND, kCmdShow, 0);
            break;
        }
        Sleep(50);
    }
    return true;
}

// A copy in another user session that uses the same data file would have its sections overwritten
// by every save of this one, and the other way round: this copy then opens the file read-only.
void GuardDataFileAcrossSessions() {
    const std::wstring name = DataFileMutexName(WideFromUtf8(DataFilePath));
    const HANDLE guard = CreateMutexW(nullptr, FALSE, name.c_str());  // kept for the run
    const DWORD error = GetLastError();
    // Another user's copy may have made it with rights that do not let this one open it.
    const bool taken = guard ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
    if (taken) RefuseSavesForRun(DataFileProblem::kOtherSession);
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
    GuardDataFileAcrossSessions();
    INITCOMMONCONTROLSEX controls = {sizeof controls,
                                     ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    if (!CreateMainWindow(instance)) return 0;
    RunMessageLoop();
    return 0;
}
