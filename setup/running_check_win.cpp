#include "setup/running_check_win.h"

#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <cstring>

#include "forms/wide_win.h"

namespace {

constexpr DWORD kQueryRights = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
constexpr DWORD kLongestPath = 32767;  // characters; paths past 260 are read whole

// Closes a process handle at the end of a scope.
struct ProcessHandle {
    HANDLE handle;
    explicit ProcessHandle(DWORD id) : handle(OpenProcess(kQueryRights, FALSE, id)) {}
    ~ProcessHandle() {
        if (handle) CloseHandle(handle);
    }
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;
};

std::string MainModulePath(HANDLE process) {
    std::wstring path(kLongestPath, L'\0');
    path.resize(GetModuleFileNameExW(process, nullptr, &path[0], kLongestPath));
    return Utf8FromWide(path);
}

bool WindowsIs64Bit() {
    SYSTEM_INFO info;
    GetNativeSystemInfo(&info);
    const WORD arch = info.wProcessorArchitecture;
    return arch == PROCESSOR_ARCHITECTURE_AMD64 || arch == PROCESSOR_ARCHITECTURE_IA64 ||
           arch == 12 /* ARM64 */;
}

bool Is32BitProcess(HANDLE process) {
    if (!WindowsIs64Bit()) return true;
    BOOL wow64 = FALSE;
    return IsWow64Process(process, &wow64) && wow64;
}

#ifndef _WIN64
// A 32-bit process cannot see a 64-bit one's modules; its executable's path is read from the 64-bit
// process environment block instead: the block's address from the basic information, the process
// parameters' address at 0x20 in the block, the image path (a counted UTF-16 string) at 0x60 in the
// parameters.
using QueryInformation64 = LONG(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
using ReadMemory64 = LONG(NTAPI*)(HANDLE, ULONG64, PVOID, ULONG64, PULONG64);

template <typename T>
T At(const uint8_t* bytes, size_t offset) {
    T value;
    std::memcpy(&value, bytes + offset, sizeof value);
    return value;
}

std::string PathFromEnvironmentBlock64(HANDLE process) {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) return std::string();
    auto query = reinterpret_cast<QueryInformation64>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "NtWow64QueryInformationProcess64")));
    auto read = reinterpret_cast<ReadMemory64>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "NtWow64ReadVirtualMemory64")));
    if (!query || !read) return std::string();
    uint8_t basic[48] = {};
    if (query(process, 0 /* ProcessBasicInformation */, basic, sizeof basic, nullptr) < 0)
        return std::string();
    std::vector<uint8_t> block(0x380), parameters(0x3F8);
    if (read(process, At<uint64_t>(basic, 8), block.data(), block.size(), nullptr) < 0) return std::string();
    if (read(process, At<uint64_t>(block.data(), 0x20), parameters.data(), parameters.size(), nullptr) < 0)
        return std::string();
    const uint16_t length = At<uint16_t>(parameters.data(), 0x60);  // bytes, without the terminating NUL
    const uint64_t buffer = At<uint64_t>(parameters.data(), 0x68);
    if (length == 0 || buffer == 0) return std::string();
    std::wstring path(length / sizeof(wchar_t), L'\0');
    if (read(process, buffer, &path[0], length, nullptr) < 0) return std::string();
    path.resize(wcsnlen(path.c_str(), path.size()));
    return Utf8FromWide(path);
}
#endif

std::string PathByBitness(HANDLE process) {
    if (Is32BitProcess(process)) return MainModulePath(process);
#ifndef _WIN64
    return PathFromEnvironmentBlock64(process);
#else
    return MainModulePath(process);
#endif
}

// Windows' own answer (Vista on), for processes the routes above cannot open for memory reading.
std::string FullImageName(DWORD id) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!process) return std::string();
    std::wstring path(kLongestPath, L'\0');
    DWORD n = kLongestPath;
    const bool ok = QueryFullProcessImageNameW(process, 0, &path[0], &n) != FALSE;
    CloseHandle(process);
    if (!ok) return std::string();
    path.resize(n);
    return Utf8FromWide(path);
}

}  // namespace

std::string ProcessImagePath(uint32_t processId) {
    {
        ProcessHandle process(processId);
        if (process.handle) {
            const std::string path = MainModulePath(process.handle);
            if (!path.empty()) return path;
        }
    }
    {
        ProcessHandle process(processId);
        if (process.handle) {
            const std::string path = PathByBitness(process.handle);
            if (!path.empty()) return path;
        }
    }
    return FullImageName(processId);
}

std::vector<RunningProcess> SnapshotProcesses() {
    std::vector<RunningProcess> processes;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return processes;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        RunningProcess process;
        process.id = entry.th32ProcessID;
        process.imagePath = ProcessImagePath(entry.th32ProcessID);
        if (process.imagePath.empty()) process.imagePath = Utf8FromWide(entry.szExeFile);
        processes.push_back(process);
    }
    CloseHandle(snapshot);
    return processes;
}

std::string ImagePathFromEnvironmentBlock64(uint32_t processId) {
#ifndef _WIN64
    ProcessHandle process(processId);
    return process.handle ? PathFromEnvironmentBlock64(process.handle) : std::string();
#else
    (void)processId;
    return std::string();
#endif
}

bool EnvironmentBlockRouteAvailable() {
#ifndef _WIN64
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "NtWow64QueryInformationProcess64") &&
           GetProcAddress(ntdll, "NtWow64ReadVirtualMemory64");
#else
    return false;
#endif
}

ProcessesToEnd::~ProcessesToEnd() {
    for (const auto& process : opened_)
        CloseHandle(process.first);
}

bool ProcessesToEnd::Open(const std::vector<RunningProcess>& processes, std::vector<std::string>* unopened) {
    for (const RunningProcess& process : processes) {
        HANDLE handle = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process.id);
        if (handle) {
            opened_.emplace_back(handle, process.imagePath);
        } else {
            unopened->push_back(process.imagePath);
        }
    }
    return unopened->empty();
}

std::vector<std::string> ProcessesToEnd::EndAll() {
    std::vector<std::string> notEnded;
    for (const auto& process : opened_) {
        // TerminateProcess refuses a process that has already exited: the user may have closed it
        // while the question was shown, as it asks.
        const bool ended =
            TerminateProcess(process.first, 0) || WaitForSingleObject(process.first, 0) == WAIT_OBJECT_0;
        if (!ended) notEnded.push_back(process.second);
    }
    return notEnded;
}

bool ProcessesToEnd::AllGone() const {
    for (const auto& process : opened_) {
        if (WaitForSingleObject(process.first, 0) != WAIT_OBJECT_0) return false;
    }
    return true;
}
