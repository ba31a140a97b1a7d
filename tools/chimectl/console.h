// What the command-line tool needs from the system it runs on.
#pragma once

#include <string>
#include <vector>

#include "clock/core/date_value.h"

// The program's arguments as UTF-8 (on Windows read from the wide command line, so any path works).
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Makes standard output and error take UTF-8 bytes as they are (no newline translation).
void PrepareConsole();

// The local wall clock, whole seconds.
DateTime LocalNow();
