// What the packer needs from the system it runs on.
#pragma once

#include <string>
#include <vector>

// The program's arguments as UTF-8 (on Windows read from the wide command line, so Chinese names
// and paths arrive whole whatever the ANSI code page).
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Makes standard output and error take UTF-8 bytes as they are (no newline translation).
void PrepareConsole();
