#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <stdio.h>

#include "forms/wide_win.h"
#include "tools/lcpack/console.h"

std::vector<std::string> Utf8Arguments(int, char**) {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return args;
    for (int i = 0; i < count; ++i)
        args.push_back(Utf8FromWide(wide[i]));
    LocalFree(wide);
    return args;
}

void PrepareConsole() {
    // Binary mode: the output is UTF-8 with LF line ends, byte for byte the same as on Linux.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
}
