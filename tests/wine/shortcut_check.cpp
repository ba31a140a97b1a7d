// shortcut_check [PROGRAM_PATH]: writes the start-up shortcut for PROGRAM_PATH (default: this test
// program), finds it in the user's Startup folder, reads it back through the shell's own link
// object and compares every field, then does the same for a folder name outside GBK and for a
// program at a drive root, and finally removes the link and checks it is gone. A link that was
// there before the test is moved aside and put back at the end.
// Prints one line per check and ends with "N passed, M failed"; exit code 0 only when all pass.
#include <windows.h>
// The shell headers below expect <windows.h> first.
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <string>

#include "clock/core/platform.h"
#include "clock/core/startup_shortcut_win.h"
#include "forms/gbk.h"
#include "tests/wine/check_report.h"

namespace {

std::string Utf8(const std::wstring& text) {
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool FitsGbk(const std::wstring& text) {
    const std::u16string wide(text.begin(), text.end());
    return GbkToUtf16(Utf16ToGbk(wide)) == wide;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return lstrcmpiW(a.c_str(), b.c_str()) == 0;
}

// The link as the shell reads it.
struct LinkFields {
    bool loaded = false;
    std::wstring target;    // the plain path kept in the link
    std::wstring itemPath;  // the path of the link's shell item list, which the shell resolves
    std::wstring workingDirectory;
    std::wstring description;
    std::wstring arguments;
    std::wstring iconPath;
    int showCmd = 0;
    WORD hotkey = 0xFFFF;
};

LinkFields ReadLink(const std::wstring& linkPath) {
    LinkFields fields;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(linkPath.c_str(), STGM_READ))) {
        wchar_t text[1024];
        int icon = 0;
        fields.loaded = true;
        if (link->GetPath(text, 1024, nullptr, SLGP_RAWPATH) == S_OK) fields.target = text;
        PIDLIST_ABSOLUTE items = nullptr;
        if (SUCCEEDED(link->GetIDList(&items)) && items && SHGetPathFromIDListW(items, text))
            fields.itemPath = text;
        CoTaskMemFree(items);
        if (SUCCEEDED(link->GetWorkingDirectory(text, 1024))) fields.workingDirectory = text;
        if (SUCCEEDED(link->GetDescription(text, 1024))) fields.description = text;
        if (SUCCEEDED(link->GetArguments(text, 1024))) fields.arguments = text;
        if (SUCCEEDED(link->GetIconLocation(text, 1024, &icon))) fields.iconPath = text;
        link->GetShowCmd(&fields.showCmd);
        link->GetHotkey(&fields.hotkey);
    }
    if (file) file->Release();
    if (link) link->Release();
    CoUninitialize();
    return fields;
}

// The Startup folder as the newer known-folder interface reports it, to cross-check the path the
// clock computes through the older CSIDL interface.
std::wstring KnownStartupFolder() {
    PWSTR folder = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Startup, 0, nullptr, &folder))) result = folder;
    CoTaskMemFree(folder);
    return result;
}

// Creates the link for program and checks that the shell reads back every field.
void CheckLinkFor(const std::wstring& program, const std::wstring& expectedFolder, const std::string& label) {
    Check(CreateStartupShortcut(Utf8(program)), label + ": CreateStartupShortcut reports the link");
    Check(StartupShortcutExists(), label + ": StartupShortcutExists");
    const LinkFields fields = ReadLink(StartupShortcutFile());
    Check(fields.loaded, label + ": the shell loads the .lnk");
    Check(SameText(fields.itemPath, program),
          label + ": item list names the program (" + Utf8(fields.itemPath) + ")");
    // Wine keeps the link's plain path in the ANSI code page only (the item list and the working
    // folder are UTF-16), so that copy can hold the program's name only when GBK can.
    if (FitsGbk(program))
        Check(SameText(fields.target, program),
              label + ": target path is the program (" + Utf8(fields.target) + ")");
    Check(fields.workingDirectory == expectedFolder,
          label + ": working folder is the program's (" + Utf8(fields.workingDirectory) + ")");
    Check(fields.description == L"简单方便的闹钟、秒表、计时、生日、日程等小功能", label + ": description");
    Check(fields.showCmd == SW_SHOWNORMAL, label + ": normal window");
    Check(fields.arguments.empty() && fields.iconPath.empty() && fields.hotkey == 0,
          label + ": no arguments, icon or hotkey");
}

void CheckLinkPlace() {
    const std::wstring link = StartupShortcutFile();
    std::wstring known = KnownStartupFolder();
    if (!known.empty() && known.back() != L'\\') known += L'\\';
    Check(!known.empty() && SameText(link, known + L"钟伴.lnk"),
          "the link is 钟伴.lnk in the user's Startup folder: " + Utf8(link));
}

std::wstring OwnPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L"\\/"));
}

// A program in a folder whose name has Hangul, which GBK cannot hold: a detour through GBK would
// turn it into '?' and the link would point nowhere.
void CheckFolderOutsideGbk() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"钟伴测试 한글";
    const std::wstring program = folder + L"\\钟伴.exe";
    CreateDirectoryW(folder.c_str(), nullptr);
    HANDLE file = CreateFileW(program.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    Check(file != INVALID_HANDLE_VALUE, "test program created in a folder outside GBK");
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    CheckLinkFor(program, folder, "folder outside GBK (overwrites the link)");
    DeleteFileW(program.c_str());
    RemoveDirectoryW(folder.c_str());
}

void CheckRemoval() {
    const std::wstring link = StartupShortcutFile();
    Check(RemoveStartupShortcut(), "RemoveStartupShortcut reports no link");
    Check(!StartupShortcutExists() && !Exists(link), "the .lnk file is gone");
    Check(RemoveStartupShortcut(), "removing when there is no link succeeds");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring link = StartupShortcutFile(true);
    Check(!link.empty(), "the Startup folder is known");
    if (link.empty()) return 1;
    // Someone's real start-up link is kept out of the way and restored whatever happens.
    const std::wstring keep = link + L".before-test";
    const bool hadLink = Exists(link) && MoveFileExW(link.c_str(), keep.c_str(), MOVEFILE_REPLACE_EXISTING);
    Check(!StartupShortcutExists(), "no link before the test");

    const std::wstring program = argc > 1 ? argv[1] : OwnPath();
    CheckLinkFor(program, FolderOf(program), "given program");
    CheckLinkPlace();
    CheckFolderOutsideGbk();
    // The root of a drive keeps its '\': "C:" alone would be the drive's current folder.
    CheckLinkFor(L"C:\\钟伴.exe", L"C:\\", "program at a drive root");
    CheckRemoval();

    if (hadLink) MoveFileExW(keep.c_str(), link.c_str(), MOVEFILE_REPLACE_EXISTING);
    return CheckReport();
}
