#include "setup/install_steps_win.h"

#include <windows.h>

#include <shlobj.h>

#include "forms/shell_link_win.h"
#include "forms/wide_win.h"
#include "setup/wizard_rules.h"

std::string DefaultInstallBase() {
    const std::string base = BaseFolderName(GetUserDefaultLangID());
    std::string folder = "D:" + base;
    if (!EnsureFolderPath(folder)) {
        wchar_t drive[MAX_PATH] = {};
        GetEnvironmentVariableW(L"HOMEDRIVE", drive, MAX_PATH);
        folder = Utf8FromWide(drive) + base;
        EnsureFolderPath(folder);
    }
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

std::string DefaultTargetFolder(const std::string& base, const PackageInfo& info) {
    return base + (IsDecompressOnly(info) ? info.description : info.name);
}

std::string OwnExecutablePath() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size())));
    return Utf8FromWide(path);
}

bool WriteDesktopShortcut(const PackageInfo& info, const std::string& folder) {
    wchar_t desktop[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop)))
        return false;
    std::wstring link = desktop;
    if (!link.empty() && link.back() != L'\\') link += L'\\';
    ShellLink fields;
    fields.target = WideFromUtf8(folder + info.programFile);
    fields.workingFolder = WideFromUtf8(folder);
    fields.description = WideFromUtf8(info.description);
    return WriteShellLink(link + WideFromUtf8(info.name) + L".lnk", fields);
}
