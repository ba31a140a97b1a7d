// A stand-in for the customer-service component: each export appends one line to aidport.log
// beside the DLL, naming its build, the export and the arguments it received, so a test can see
// which copy of the library the program reached and with what. Built twice: as AidPort.dll (v1)
// and, with AIDPORT_STUB_V2 defined, as the replacement dropped in as AidPort.dll.up (v2).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

#ifdef AIDPORT_STUB_V2
constexpr const char kBuild[] = "v2";
constexpr intptr_t kOpenResultBase = 2000;
#else
constexpr const char kBuild[] = "v1";
constexpr intptr_t kOpenResultBase = 1000;
#endif

std::wstring LogPath() {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&LogPath), &self);
    wchar_t path[MAX_PATH * 2] = {};
    GetModuleFileNameW(self, path, MAX_PATH * 2);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L'\\') + 1);
    return folder + L"aidport.log";
}

std::string Utf8(const wchar_t* text) {
    if (text == nullptr) return "(null)";
    char buffer[512] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer - 1, nullptr, nullptr);
    return buffer;
}

void Log(const std::string& line) {
    FILE* file = _wfopen(LogPath().c_str(), L"ab");
    if (file == nullptr) return;
    std::fprintf(file, "%s %s\n", kBuild, line.c_str());
    std::fclose(file);
}

std::string WindowText(HWND window) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%llx",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
    return buffer;
}

}  // namespace

extern "C" __declspec(dllexport) intptr_t
    OPENAIDPORT_D(HWND window, const wchar_t* first, const wchar_t* second, int software) {
    Log("OPENAIDPORT_D " + WindowText(window) + " [" + Utf8(first) + "] [" + Utf8(second) + "] " +
        std::to_string(software));
    return kOpenResultBase + software;
}

extern "C" __declspec(dllexport) void BACKAIDPORT_D(HWND window, int message, const wchar_t* first,
                                                    const wchar_t* second, long long software) {
    Log("BACKAIDPORT_D " + WindowText(window) + " " + std::to_string(message) + " [" + Utf8(first) + "] [" +
        Utf8(second) + "] " + std::to_string(software));
}

extern "C" __declspec(dllexport) void CLOSEAIDPORT_D() {
    Log("CLOSEAIDPORT_D");
}
