// 澜川软件安装.exe: start-up and the message loop of the install wizard.
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>

#include "forms/canvas_win.h"
#include "forms/dll_search_win.h"
#include "forms/dpi_win.h"
#include "setup/wizard_win.h"

#if defined(__GNUC__) && !defined(__clang__)
// The GNU runtime's default terminate handler prints the demangled type of the exception that
// ended the program, which brings a 45 KiB demangler into the image every package carries; a GUI
// program has no console to print to anyway. Defining the handler here keeps the runtime's out.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Installers run from download folders, where anyone may have left a DLL of a system name.
    RestrictDllSearchToSystem();
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    GdiplusSession gdiplus;
    if (!CreateWizard(instance, WorkAreaScale())) return 0;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        HWND active = GetActiveWindow();
        if (active && IsDialogMessageW(active, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
