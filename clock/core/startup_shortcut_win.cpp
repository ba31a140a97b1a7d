// The start-up shortcut, written as a shell link. The fixed fields (file name, description, window
// style) come from StartupShortcut(); the program path and the Startup folder stay UTF-16 from end
// to end, so a folder or user name with a character outside GBK still gives a working link.
#include "clock/core/startup_shortcut_win.h"

#include <windows.h>
// The shell headers below expect <windows.h> first.
#include <shlobj.h>

#include "clock/core/platform.h"
#include "clock/core/settings_rules.h"
#include "forms/shell_link_win.h"
#include "forms/wide_win.h"

namespace {

bool IsPlainFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

std::wstring StartupShortcutFile(bool createFolder) {
    wchar_t folder[MAX_PATH] = {};
    const int csidl = CSIDL_STARTUP | (createFolder ? CSIDL_FLAG_CREATE : 0);
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder)) || folder[0] == 0)
        return std::wstring();
    std::wstring path = folder;
    if (path.back() != L'\\') path += L'\\';
    return path + WideFromGbk(StartupShortcut(std::string()).fileName);
}

bool StartupShortcutExists() {
    const std::wstring link = StartupShortcutFile();
    return !link.empty() && IsPlainFile(link);
}

bool CreateStartupShortcut(const std::string& programPathUtf8) {
    const std::wstring linkPath = StartupShortcutFile(true);
    if (linkPath.empty()) return false;
    const StartupShortcutFields fields = StartupShortcut(std::string());
    ShellLink link;
    link.target = WideFromUtf8(programPathUtf8);
    link.workingFolder = FolderOfPath(link.target);
    link.description = WideFromGbk(fields.description);
    link.showCommand = fields.windowStyle;
    return WriteShellLink(linkPath, link);
}

bool RemoveStartupShortcut() {
    const std::wstring linkPath = StartupShortcutFile();
    if (linkPath.empty()) return true;
    if (IsPlainFile(linkPath)) DeleteFileW(linkPath.c_str());
    return !IsPlainFile(linkPath);
}
