// The install /S asks for: no window and no question at all.
#pragma once

#include "setup/command_line.h"
#include "setup/install_log_win.h"

// Reads the package from this program's own file and installs it into arguments.folder (or the
// default folder the wizard proposes), overwriting without asking. Programs running from the
// folder are ended only with arguments.closeApps, else nothing is written; a file held open is
// skipped and counts as failed. After a complete install of a program package the desktop
// shortcut is made, and nothing is started. Every step goes to the log when it is open. Returns
// the exit code.
SetupExit RunSilentInstall(const SetupArguments& arguments, InstallLog* log);
