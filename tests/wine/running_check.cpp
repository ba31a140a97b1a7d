// running_check HELPER.exe [HELPER64.exe]: the running-program check against real processes. A helper
// program is copied into a target folder "目标\" and into a sibling "目标2\" and started from both;
// the check must find the first with its full path (through the 64-bit route when the helper is a
// 64-bit program and this one is 32-bit), leave the sibling and this program itself alone, and end
// the found process. Prints one line per check and "N passed, M failed".
#include <windows.h>

#include <cstdio>
#include <string>

#include "setup/running_check_win.h"
#include "tests/wine/check_report.h"

namespace {

std::string Utf8(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    return out;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring ScratchFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"running_check_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
}

PROCESS_INFORMATION Start(const std::wstring& exe) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::wstring command = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        info = PROCESS_INFORMATION{};
    WaitForInputIdle(info.hProcess, 5000);
    return info;
}

bool SamePath(const std::string& utf8, const std::wstring& expected) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], n);
    return CompareStringOrdinal(wide.c_str(), -1, expected.c_str(), -1, TRUE) == CSTR_EQUAL;
}

void CleanUp(PROCESS_INFORMATION& process) {
    if (!process.hProcess) return;
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    // The 64-bit helper when there is one: a 32-bit check must see 64-bit programs.
    const std::wstring helper = argc > 2 && FileExists(argv[2]) ? argv[2] : argv[1];
    if (helper != argv[1] || argc <= 2) std::printf("note: helper %s\n", Utf8(helper).c_str());
    const std::wstring scratch = ScratchFolder(), target = scratch + L"目标\\",
                       sibling = scratch + L"目标2\\";
    CreateDirectoryW(scratch.c_str(), nullptr);
    CreateDirectoryW(target.c_str(), nullptr);
    CreateDirectoryW(sibling.c_str(), nullptr);
    const std::wstring inside = target + L"运行中.exe", beside = sibling + L"运行中.exe";
    Check(
        CopyFileW(helper.c_str(), inside.c_str(), FALSE) && CopyFileW(helper.c_str(), beside.c_str(), FALSE),
        "helpers copied into the target folder and its sibling");
    PROCESS_INFORMATION running = Start(inside), other = Start(beside);
    Check(running.hProcess && other.hProcess, "both started");

    Check(SamePath(ProcessImagePath(running.dwProcessId), inside), "ProcessImagePath gives the full path");
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    BOOL helperWow64 = TRUE;
    IsWow64Process(running.hProcess, &helperWow64);
    if (wow64 && !helperWow64 && EnvironmentBlockRouteAvailable()) {
        Check(SamePath(ImagePathFromEnvironmentBlock64(running.dwProcessId), inside),
              "a 32-bit program reads a 64-bit one's path from its environment block");
    } else if (wow64 && !helperWow64) {
        std::printf("note: no 64-bit environment-block route on this system; the path came another way\n");
    }
    const std::vector<RunningProcess> found =
        ProcessesInFolder(SnapshotProcesses(), Utf8(target), GetCurrentProcessId());
    Check(found.size() == 1 && found[0].id == running.dwProcessId,
          "only the program in the target folder is found");
    // This program's own folder holds it: it must never find itself.
    wchar_t own[MAX_PATH];
    std::wstring ownFolder(own, GetModuleFileNameW(nullptr, own, MAX_PATH));
    ownFolder.resize(ownFolder.find_last_of(L'\\') + 1);
    bool self = false;
    for (const RunningProcess& p :
         ProcessesInFolder(SnapshotProcesses(), Utf8(ownFolder), GetCurrentProcessId()))
        self = self || p.id == GetCurrentProcessId();
    Check(!self, "the check never finds the program that runs it");

    ProcessesToEnd toEnd;
    std::vector<std::string> unopened;
    Check(toEnd.Open(found, &unopened) && toEnd.EndAll().empty(), "the found program is ended");
    DWORD code = 99;
    Check(WaitForSingleObject(running.hProcess, 5000) == WAIT_OBJECT_0 &&
              GetExitCodeProcess(running.hProcess, &code) && code == 0,
          "with exit code 0");
    DWORD stillActive = 0;
    Check(GetExitCodeProcess(other.hProcess, &stillActive) && stillActive == STILL_ACTIVE,
          "the sibling runs on");

    CleanUp(running);
    CleanUp(other);
    DeleteFileW(inside.c_str());
    DeleteFileW(beside.c_str());
    RemoveDirectoryW(target.c_str());
    RemoveDirectoryW(sibling.c_str());
    RemoveDirectoryW(scratch.c_str());
    return CheckReport();
}
