// The program's own path and the scale its windows are drawn at: recorded once at start-up, read
// by every window of the clock. GUI thread.
#pragma once

#include <string>

#include "forms/scale.h"

// The program's own full path and folder (UTF-8); recording it also places the data file beside it.
void RecordProgramPath();
const std::string& ProgramPathUtf8();
std::string ProgramFolderUtf8();  // ends in its '\'

// The screen scale, read once at start: the windows keep the size they were made at.
void RecordWindowScale();
const Scale& WindowScale();
