// components_check [SCRATCH_DIR]: drives the customer-service exports, GuestHallRequest and the
// update check against stand-in components in a scratch folder (default: components_scratch beside
// this program) and checks what reached them, which files were swapped, what was shown and what the
// data file holds. The stand-ins (AidPort.dll, AidPortV2.dll, GuestHallStub.dll, fake_updater.exe)
// are taken from this program's own folder. Message boxes are captured, never shown.
// Prints one line per check and ends with "N passed, M failed"; exit code 0 only when all pass.
// <windows.h> before the headers that build on its types.
#include <windows.h>

#include <objbase.h>

#include <cstdio>
#include <string>
#include <vector>

#include "clock/core/clock_data.h"
#include "clock/core/local_time_win.h"
#include "clock/services/components_win.h"
#include "clock/services/update_win.h"
#include "forms/file_io.h"
#include "forms/gbk.h"
#include "tests/wine/check_report.h"

namespace {

struct ShownMessage {
    HWND owner;
    std::string text;
    std::string caption;
    bool errorIcon;
};
std::vector<ShownMessage> gShown;

void CaptureMessage(HWND owner, const ServiceMessage& message) {
    gShown.push_back({owner, message.text, message.caption, message.errorIcon});
}

bool SameMessage(const ShownMessage& shown, HWND owner, const ServiceMessage& expected) {
    return shown.owner == owner && shown.text == expected.text && shown.caption == expected.caption &&
           shown.errorIcon == expected.errorIcon;
}

std::string Utf8(const std::wstring& text) {
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

// ---- Files of the scratch folder, all by UTF-8 path ----

struct Folders {
    std::string scratch;  // ends in '\'
    std::string stubs;    // this program's folder, ends in '\'
};
Folders gFolders;

std::string InScratch(const char* name) {
    return gFolders.scratch + name;
}

std::wstring Wide(const std::string& utf8) {
    const std::u16string text = Utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}

std::string FileBytes(const std::string& path) {
    std::string bytes;
    ReadWholeFile(path, &bytes);
    return bytes;
}

bool CopyStub(const char* stub, const char* target) {
    return CopyFileW(Wide(gFolders.stubs + stub).c_str(), Wide(InScratch(target)).c_str(), FALSE) != FALSE;
}

// A program that has just exited may hold its file for a moment under Wine.
void RemoveFile(const std::string& path) {
    for (int i = 0; i < 50 && PathExists(path); ++i) {
        if (DeleteFileW(Wide(path).c_str()) == FALSE) Sleep(100);
    }
}

std::vector<std::string> Lines(const std::string& path) {
    std::vector<std::string> lines;
    const std::string bytes = FileBytes(path);
    size_t start = 0;
    for (size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(bytes.substr(start, end - start));
    return lines;
}

std::string HexWindow(HWND window) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%llx",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
    return buffer;
}

// Hidden, and not merely absent: a window that was never made is not visible either.
bool Hidden(HWND window) {
    return IsWindow(window) && !IsWindowVisible(window);
}

std::string AidPortLine(const char* build, const std::string& rest) {
    return std::string(build) + " " + rest;
}

std::string BackLine(const char* build, HWND window) {
    return AidPortLine(build, "BACKAIDPORT_D " + HexWindow(window) + " 1529 [] [] 190");
}

double MillisecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// ---- Checks ----

void CheckExportedByName() {
    const HMODULE self = GetModuleHandleW(nullptr);
    for (const char* name : {"OPENAIDPORT", "BACKAIDPORT", "CLOSEAIDPORT"})
        Check(GetProcAddress(self, name) != nullptr, std::string("the program exports ") + name);
}

// Nothing in the scratch folder, while AidPort.dll lies beside this program (the application folder
// a bare-name load would search first): nothing may be loaded or shown.
void CheckWithoutComponents(HWND window) {
    const std::string strayLog = gFolders.stubs + "aidport.log";
    RemoveFile(strayLog);
    gShown.clear();
    Check(OPENAIDPORT(window, L"", L"", 190) == 0, "no component: OPENAIDPORT answers 0");
    BACKAIDPORT(window, 1529, L"", L"", 190);
    ShowWindow(window, SW_SHOW);
    CLOSEAIDPORT(window);
    Check(Hidden(window), "no component: CLOSEAIDPORT still hides the window");
    Check(gShown.empty(), "no component: no message is shown");
    Check(!PathExists(InScratch("aidport.log")) && !PathExists(strayLog),
          "no component: no AidPort.dll of another folder is loaded");
}

void CheckSwapAtFirstCall(HWND window) {
    CopyStub("AidPort.dll", "AidPort.dll");
    CopyStub("AidPortV2.dll", "AidPort.dll.up");
    BACKAIDPORT(window, 1529, L"", L"", 190);
    const std::vector<std::string> log = Lines(InScratch("aidport.log"));
    Check(log.size() == 1 && log[0] == BackLine("v2", window),
          "pending .up at the first call: the replacement is swapped in and reached with (window, 1529, "
          "\"\", \"\", 190)");
    Check(!PathExists(InScratch("AidPort.dll.up")), "pending .up at the first call: the .up file is gone");
    Check(FileBytes(InScratch("AidPort.dll")) == FileBytes(gFolders.stubs + "AidPortV2.dll"),
          "pending .up at the first call: AidPort.dll now holds the replacement");
}

// A folder named AidPort.dll.up is no replacement: the loaded component is called as usual.
void CheckLoadedComponent(HWND window) {
    const std::wstring upFolder = Wide(InScratch("AidPort.dll.up"));
    CreateDirectoryW(upFolder.c_str(), nullptr);
    gShown.clear();
    const intptr_t result = OPENAIDPORT(window, L"甲", L"b", 190);
    Check(result == 2000 + 190, "OPENAIDPORT returns the component's result");
    std::vector<std::string> log = Lines(InScratch("aidport.log"));
    Check(log.size() == 2 &&
              log[1] == AidPortLine("v2", "OPENAIDPORT_D " + HexWindow(window) + " [甲] [b] 190"),
          "OPENAIDPORT passes window, both texts and the number through");
    Check(gShown.empty(), "a folder named AidPort.dll.up is not taken for a replacement");
    RemoveDirectoryW(upFolder.c_str());

    ShowWindow(window, SW_SHOW);
    CLOSEAIDPORT(window);
    log = Lines(InScratch("aidport.log"));
    Check(Hidden(window) && log.size() == 3 && log[2] == "v2 CLOSEAIDPORT_D",
          "CLOSEAIDPORT hides the window and reaches CLOSEAIDPORT_D");
}

void CheckReplacementWhileLoaded(HWND window) {
    CopyStub("AidPort.dll", "AidPort.dll.up");
    const size_t before = Lines(InScratch("aidport.log")).size();
    gShown.clear();
    Check(OPENAIDPORT(window, L"", L"", 190) == 0, ".up while loaded: OPENAIDPORT answers 0");
    Check(gShown.size() == 1 && SameMessage(gShown[0], window, OutdatedMessage(Component::kAidPort)),
          ".up while loaded: OPENAIDPORT shows the outdated warning, caption 澜川_钟伴");
    ShowWindow(window, SW_SHOW);
    CLOSEAIDPORT(window);
    Check(Hidden(window), ".up pending: CLOSEAIDPORT hides the window");
    Check(Lines(InScratch("aidport.log")).size() == before && gShown.size() == 1,
          ".up pending: neither OPENAIDPORT nor CLOSEAIDPORT reaches the component or shows more");
    Check(PathExists(InScratch("AidPort.dll.up")), ".up pending: OPENAIDPORT and CLOSEAIDPORT do not swap");

    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    BACKAIDPORT(window, 1529, L"", L"", 190);
    const double elapsed = MillisecondsSince(start);
    const std::vector<std::string> log = Lines(InScratch("aidport.log"));
    Check(log.size() == before + 1 && log.back() == BackLine("v1", window) &&
              !PathExists(InScratch("AidPort.dll.up")),
          ".up while loaded: BACKAIDPORT unloads, swaps and reaches the new copy");
    Check(elapsed >= 90.0, ".up while loaded: BACKAIDPORT waits after unloading (" +
                               std::to_string(static_cast<int>(elapsed)) + " ms)");
}

void CheckGuestHall(HWND window) {
    gShown.clear();
    Check(GuestHallRequest(window, 190, 5, "x").empty(), "no GuestHall.dll: the reply is empty");
    Check(gShown.size() == 1 && SameMessage(gShown[0], window, GuestHallFailureMessage(false, false)),
          "no GuestHall.dll: the missing-file error is shown");

    // A library without INPUTGUESTHALL, with the real one waiting as its replacement.
    CopyStub("AidPort.dll", "GuestHall.dll");
    CopyStub("GuestHallStub.dll", "GuestHall.dll.up");
    gShown.clear();
    const std::string text = Gbk("会员");
    const std::string reply = GuestHallRequest(window, 190, kGuestHallAboutRequest, text);
    Check(reply == HexWindow(window) + " 190 5 " + text && gShown.empty(),
          "GuestHall.dll.up at the first request: swapped in, and the request passed through and answered");
    Check(!PathExists(InScratch("GuestHall.dll.up")), "GuestHall.dll.up at the first request: consumed");

    CopyStub("AidPort.dll", "GuestHall.dll.up");
    Check(GuestHallRequest(window, 190, 5, text).empty() && gShown.size() == 1 &&
              SameMessage(gShown[0], window, OutdatedMessage(Component::kGuestHall)),
          "GuestHall.dll.up while loaded: the outdated warning and an empty reply");
}

// True when the stored update time lies within the last minute.
bool StoredTimeIsNow(const std::string& dataFile) {
    DateTime stored;
    if (!ParseDateTime(ReadUpdateTime(dataFile), &stored)) return false;
    const int64_t age = ToSeconds(ToDateValue(LocalDateTimeNow())) - ToSeconds(ToDateValue(stored));
    return age >= 0 && age < 60;
}

std::string ThreeDaysAgo() {
    return FormatUpdateTime(SplitDate(AddDays(ToDateValue(LocalDateTimeNow()), -3)));
}

// Polls for the updater's log: the updater runs as a process of its own.
std::vector<std::string> WaitForUpdaterLog(int maxMs) {
    const std::string log = InScratch("updater.log");
    for (int waited = 0; waited < maxMs && Lines(log).empty(); waited += 100)
        Sleep(100);
    Sleep(300);  // a second, wrongly started updater would have written by now too
    return Lines(log);
}

void CheckUpdate() {
    const std::string dataFile = DataFilePathFor(gFolders.scratch + "钟伴.exe");
    CopyStub("fake_updater.exe", "Update.exe");
    UpdateCheck(190, dataFile);
    Check(StoredTimeIsNow(dataFile), "first update check: the current time is written");

    WriteUpdateTime(dataFile, ThreeDaysAgo());
    const bool upLongEnough = GetTickCount64() > kUpdateMinUptimeMs;
    UpdateCheck(190, dataFile);
    if (!upLongEnough) {
        std::printf("note: the system is up less than three minutes, so the updater must not start\n");
        Check(!StoredTimeIsNow(dataFile), "short uptime: the old time stays");
        Check(WaitForUpdaterLog(2000).empty(), "short uptime: the updater is not started");
        return;
    }
    const std::vector<std::string> started = WaitForUpdaterLog(15000);
    Check(started.size() == 1, "only the check on a three-day-old time starts the updater (" +
                                   std::to_string(started.size()) + " starts)");
    Check(!started.empty() && started[0] == "zf190,1.3.8|show=1",
          "the updater gets zf190,1.3.8 and a normal window (" + (started.empty() ? "" : started[0]) + ")");
    Check(StoredTimeIsNow(dataFile), "three-day-old time: rewritten to now");

    RemoveFile(InScratch("Update.exe"));
    WriteUpdateTime(dataFile, ThreeDaysAgo());
    UpdateCheck(190, dataFile);
    Check(StoredTimeIsNow(dataFile) && Lines(InScratch("updater.log")).size() == 1,
          "no Update.exe: nothing starts, the time is rewritten all the same");
}

// ---- Set-up ----

std::string FullFolder(const std::wstring& path) {
    wchar_t full[MAX_PATH * 2] = {};
    GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
    std::string folder = Utf8(full);
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

std::string OwnFolder() {
    wchar_t path[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L'\\') + 1);
    return Utf8(folder);
}

void EmptyScratchFolder() {
    CreateDirectoryW(Wide(gFolders.scratch).c_str(), nullptr);
    for (const char* name : {"AidPort.dll", "AidPort.dll.up", "GuestHall.dll", "GuestHall.dll.up",
                             "Update.exe", "aidport.log", "updater.log"})
        RemoveFile(InScratch(name));
    RemoveDirectoryW(Wide(InScratch("AidPort.dll.up")).c_str());
    RemoveFile(DataFilePathFor(gFolders.scratch + "钟伴.exe"));
}

// The window the components are given. Creation is retried: while another program restarts the
// prefix's server the desktop may briefly refuse new windows.
HWND MakeWindow() {
    for (int attempt = 0; attempt < 20; ++attempt) {
        HWND window = CreateWindowExW(0, L"STATIC", L"components_check", WS_OVERLAPPEDWINDOW, 40, 40, 200,
                                      100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (window != nullptr) {
            ShowWindow(window, SW_SHOW);
            return window;
        }
        std::printf("note: CreateWindowExW failed (error %lu), trying again\n", GetLastError());
        Sleep(250);
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    gFolders.stubs = OwnFolder();
    gFolders.scratch = argc > 1 ? FullFolder(Wide(argv[1])) : gFolders.stubs + "components_scratch\\";
    EmptyScratchFolder();
    SetServiceMessageShowForTesting(CaptureMessage);
    SetServiceFolder(gFolders.scratch);
    const HWND window = MakeWindow();
    Check(window != nullptr, "a test window is created");

    CheckExportedByName();
    CheckWithoutComponents(window);
    CheckSwapAtFirstCall(window);
    CheckLoadedComponent(window);
    CheckReplacementWhileLoaded(window);
    CheckGuestHall(window);
    CheckUpdate();

    DestroyWindow(window);
    return CheckReport();
}
