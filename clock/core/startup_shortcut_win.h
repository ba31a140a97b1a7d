// The start-up shortcut 钟伴.lnk in the current user's Startup folder, written and removed through
// the shell. Its presence is the truth for the "start with the system" option; the settings page
// hands it to FinishStartupToggle after each attempt. StartupShortcutExists() is declared in
// clock/core/platform.h and implemented here. All calls are made on the GUI thread.
#pragma once

#include <string>

// Full path of the link (UTF-16), or "" when the shell does not report a Startup folder.
// createFolder: make the Startup folder first when it is missing (for writing the link).
std::wstring StartupShortcutFile(bool createFolder = false);

// Writes (or overwrites) the link with the fields of StartupShortcut(): target programPathUtf8, its
// folder as working folder, the fixed description, a normal window, no arguments, hotkey or icon.
// COM is initialised for the call and released after it. True when the link exists afterwards.
bool CreateStartupShortcut(const std::string& programPathUtf8);

// Deletes the link if present. True when no link remains afterwards.
bool RemoveStartupShortcut();
