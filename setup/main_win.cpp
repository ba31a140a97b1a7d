// 澜川软件安装.exe: start-up, the command line, and the message loop of the install wizard or the
// silent install in its place.
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>

#include "forms/canvas_win.h"
#include "forms/dll_search_win.h"
#include "forms/dpi_win.h"
#include "forms/message_box_win.h"
#include "forms/wide_win.h"
#include "setup/command_line.h"
#include "setup/install_log_win.h"
#include "setup/silent_install_win.h"
#include "setup/wizard_rules.h"
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

namespace {

// The wizard until its window closes; the exit code its end came to.
SetupExit RunWizard(HINSTANCE instance, const SetupArguments& arguments, InstallLog* log) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    GdiplusSession gdiplus;
    if (!CreateWizard(instance, WorkAreaScale(), arguments, log)) return SetupExit::kCancelled;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        HWND active = GetActiveWindow();
        if (active && IsDialogMessageW(active, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return WizardResult();
}

// A silent run has no one to tell: its exit code and its log say it.
void TellUnlessSilent(const SetupArguments& arguments, const std::string& text) {
    if (!arguments.silent) ShowError(nullptr, WideFromUtf8(text), WideFromUtf8(WizardCaption()));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Installers run from download folders, where anyone may have left a DLL of a system name.
    RestrictDllSearchToSystem();
    SetupArguments arguments;
    std::string badArgument;
    if (!ParseSetupArguments(Utf8FromWide(GetCommandLineW()), &arguments, &badArgument)) {
        TellUnlessSilent(arguments, UsageMessage(badArgument));
        return static_cast<int>(SetupExit::kBadArguments);
    }
    // A log asked for and not to be had fails the run before anything is written.
    InstallLog log;
    if (!arguments.logPath.empty() && !log.Open(arguments.logPath)) {
        TellUnlessSilent(arguments, LogFailedMessage(arguments.logPath));
        return static_cast<int>(SetupExit::kFolderNotWritable);
    }
    SetupExit exit =
        arguments.silent ? RunSilentInstall(arguments, &log) : RunWizard(instance, arguments, &log);
    if (!log.Finish(exit)) {
        TellUnlessSilent(arguments, LogFailedMessage(arguments.logPath));
        if (exit == SetupExit::kInstalled) exit = SetupExit::kFolderNotWritable;
    }
    return static_cast<int>(exit);
}
