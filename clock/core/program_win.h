// The program's own path, recorded once at start-up, and the main window's scale. GUI thread.
#pragma once

#include <string>

#include "forms/scale.h"

// The program's own full path and folder (UTF-8); recording it also places the data file beside it.
void RecordProgramPath();
const std::string& ProgramPathUtf8();
std::string ProgramFolderUtf8();  // ends in its '\'

// The main window's scale: its form's, which follows the monitor it is on (WM_DPICHANGED). Before
// the window is there, the scale of the monitor it is made on, recorded by RecordWindowScale. Other
// windows draw at their own form's scale.
void RecordWindowScale();
const Scale& WindowScale();
