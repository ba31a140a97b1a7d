// The install wizard Form1.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "forms/scale.h"
#include "setup/package.h"
#include "setup/wizard_rules.h"

// What the wizard's pages show and its steps share. GUI thread, but for the worker's outcome, which
// the window thread reads only after the worker has ended.
struct WizardState {
    HWND window = nullptr;
    Scale scale;
    int state = 1;  // 1 welcome, 2 folder, 3 extraction, 4 finish
    bool packageRead = false;
    PackageInfo info;
    PageHeader header;
    std::string label = "进度条提示";  // Label1, drawn by the window
    std::string defaultFolder;         // ends in '\'
    std::string installerPath;
    std::string installerFolder;
    std::string targetFolder;  // ends in '\'
    bool folderHadFiles = false;
    int outcome = 0;           // 0 not run, 1 failed or declined, 2 ran through the list
    ExtractOutcome extracted;  // what the list came to, when outcome is 2
    // The install step runs (with message loops of its own): the window is ended only by the step.
    bool installing = false;
    bool closeRequested = false;             // closed during the step, before files were written
    std::atomic<bool> stopRequested{false};  // the user asked to stop while files were written
};

// Creates and shows the wizard; its start step (reading the package) runs right after the first
// paint. Null when the window cannot be made.
HWND CreateWizard(HINSTANCE instance, const Scale& scale);
