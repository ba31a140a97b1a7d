// The Win32 side of the update check: the local time, the system's uptime and the updater's file
// feed DecideUpdateCheck (update_rules.h), and the updater is started through the shell when it
// says so. The program folder is the one given to SetServiceFolder (components_win.h).
#pragma once

#include <string>

// Runs the update check once, as the main window does when first shown: reads and rewrites
// Updates/DateTime of the data file at dataFilePath (UTF-8) as decided, and when the stored time is
// three or more days old and the system has been up more than three minutes, starts Update.exe
// from the program folder with the verb "open", a normal window and the parameter text for
// software ("zf190,1.3.8" for 190). A missing updater or data file, a failed write or a failed
// start is not reported. Does nothing before SetServiceFolder.
void UpdateCheck(int software, const std::string& dataFilePath);
