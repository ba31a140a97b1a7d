#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <stdio.h>

#include "clock/core/local_time_win.h"
#include "forms/gbk.h"
#include "tools/chimectl/console.h"

std::vector<std::string> Utf8Arguments(int, char**) {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return args;
    for (int i = 0; i < count; ++i) {
        const std::wstring arg(wide[i]);
        args.push_back(Utf16ToUtf8(std::u16string(arg.begin(), arg.end())));
    }
    LocalFree(wide);
    return args;
}

void PrepareConsole() {
    // Binary mode: the output is UTF-8 with LF line ends, byte for byte the same as on Linux.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
}

DateTime LocalNow() {
    return LocalDateTimeNow();
}
