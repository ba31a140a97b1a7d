// The installer's command line: 澜川软件安装.exe [/S] [/LOG=file] [/CLOSEAPPS] [/D=folder], each
// option also spelled with '-', in any case. Portable; texts are UTF-8.
#pragma once

#include <string>

struct SetupArguments {
    bool silent = false;     // /S: no window, no question
    bool closeApps = false;  // /CLOSEAPPS: a silent install ends programs running from the folder
    std::string folder;      // /D=: the target folder, trimmed, ending in '\'; empty for the default
    std::string logPath;     // /LOG=: the log file; empty for none
};

// Reads the whole raw command line, the program's own path first (quoted or not), as Windows
// hands it over. Options are separated by spaces or tabs; a pair of double quotes keeps spaces in
// a value (/LOG="C:\my logs\a.log" or "/LOG=C:\my logs\a.log"). /D= must come last and takes
// everything after it to the end of the line, spaces included, with one surrounding pair of quotes
// removed; its folder must pass CheckTargetFolder.
// True when every argument is understood. False with *badArgument set to the first one that is
// not: an unknown option, an empty /LOG= or /D=, a /D= folder that will not do, or one followed by
// another option (/D= not last). *arguments is filled as far as it is understood either way, so
// that a /S anywhere, even after /D=, keeps a bad command line from showing a window.
bool ParseSetupArguments(const std::string& commandLine, SetupArguments* arguments, std::string* badArgument);

// The usage the installer shows for a bad command line (CR LF inside).
std::string UsageMessage(const std::string& badArgument);
