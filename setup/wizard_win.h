// The install wizard Form1.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "forms/scale.h"
#include "setup/command_line.h"
#include "setup/install_log_win.h"
#include "setup/package.h"
#include "setup/wizard_rules.h"

// What the wizard's pages show and its steps share. GUI thread, but for what the worker shares: the
// list it walks (read-only while it runs), its progress (atomic) and its outcome, which the window
// thread reads only after the worker has ended.
struct WizardState {
    HWND window = nullptr;
    Scale scale;
    WizardPage page = WizardPage::kWelcome;
    bool packageRead = false;
    PackageInfo info;
    FileList list;  // read and checked before the first page shows
    PageHeader header;
    std::string label = "进度条提示";  // Label1, drawn by the window
    std::string defaultFolder;         // ends in '\'
    std::string installerPath;
    std::string installerFolder;
    std::string targetFolder;  // ends in '\'
    bool folderHadFiles = false;
    ExtractOutcome extracted;  // what the list came to
    // The entry the worker is at; a progress message is posted only when none is waiting, so a
    // list of a million entries never floods the window's queue.
    std::atomic<size_t> progressIndex{0};
    std::atomic<bool> progressPosted{false};
    bool extracting = false;  // progress messages count only while the worker runs
    // The install step runs (with message loops of its own): the window is ended only by the step.
    bool installing = false;
    bool closeRequested = false;               // closed during the step, before files were written
    std::atomic<bool> stopRequested{false};    // the user asked to stop while files were written
    EntriesReached reached;                    // by the worker, for the log
    std::string givenFolder;                   // from /D=: proposed instead of the default
    InstallLog* log = nullptr;                 // where the steps are logged (closed: nowhere)
    SetupExit result = SetupExit::kCancelled;  // the exit code, as the last step left it
};

// Creates and shows the wizard; its start step (reading the package) runs right after the first
// paint. A /D= folder is proposed in place of the default one, and the steps go to the log. Null
// when the window cannot be made.
HWND CreateWizard(HINSTANCE instance, const Scale& scale, const SetupArguments& arguments, InstallLog* log);

// The exit code of the wizard's end: that of the last install attempt, a package that could not
// be read, or kCancelled when nothing was tried.
SetupExit WizardResult();
