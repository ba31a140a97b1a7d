// A stand-in for the maker's updater: appends its parameter text and the show command it was
// started with to updater.log beside itself, then exits, so a test can see that it was started
// and how.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR parameters, int show) {
    wchar_t path[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::wstring log(path);
    log.resize(log.find_last_of(L'\\') + 1);
    log += L"updater.log";
    FILE* file = _wfopen(log.c_str(), L"ab");
    if (file == nullptr) return 1;
    std::fprintf(file, "%s|show=%d\n", parameters, show);
    std::fclose(file);
    return 0;
}
