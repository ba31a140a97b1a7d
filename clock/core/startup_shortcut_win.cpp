// The start-up shortcut through IShellLinkW and IPersistFile. The fixed fields (file name,
// description, window style) come from StartupShortcut(); the program path and the Startup folder
// stay UTF-16 from end to end, so a folder or user name with a character outside GBK still gives a
// working link.
#include "clock/core/startup_shortcut_win.h"

#include <windows.h>
// The shell headers below expect <windows.h> first.
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "clock/core/platform.h"
#include "clock/core/settings_rules.h"
#include "forms/gbk.h"

namespace {

std::wstring Wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

// COM for the current thread, for as long as the scope lives. A thread that already runs COM in
// the other apartment model (RPC_E_CHANGED_MODE) can still make the calls, but must not uninitialise.
class ComScope {
  public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool usable() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

  private:
    HRESULT hr_;
};

// One interface pointer, released once.
template <typename Interface>
class ComRef {
  public:
    ComRef() = default;
    ~ComRef() {
        if (p_) p_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    Interface* get() const { return p_; }
    Interface* operator->() const { return p_; }
    void** out() { return reinterpret_cast<void**>(&p_); }

  private:
    Interface* p_ = nullptr;
};

// The program's folder: the path up to its last '\' or '/', keeping the separator of a drive root
// ("C:\" without it would name the drive's current folder). Same rule as StartupShortcut().
std::wstring WorkingFolderOf(const std::wstring& programPath) {
    const size_t cut = programPath.find_last_of(L"\\/");
    if (cut == std::wstring::npos) return std::wstring();
    const bool driveRoot = cut > 0 && programPath[cut - 1] == L':';
    return programPath.substr(0, driveRoot ? cut + 1 : cut);
}

bool IsPlainFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool WriteLink(const std::wstring& linkPath, const std::wstring& target,
               const StartupShortcutFields& fields) {
    ComRef<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.out())))
        return false;
    const std::wstring description = Wide(GbkToUtf16(fields.description));
    if (FAILED(link->SetPath(target.c_str()))) return false;
    // Arguments, hotkey, icon and relative path are left as a new link has them: empty.
    link->SetWorkingDirectory(WorkingFolderOf(target).c_str());
    link->SetDescription(description.c_str());
    link->SetShowCmd(fields.windowStyle);
    ComRef<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.out()))) return false;
    return SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}

}  // namespace

std::wstring StartupShortcutFile(bool createFolder) {
    wchar_t folder[MAX_PATH] = {};
    const int csidl = CSIDL_STARTUP | (createFolder ? CSIDL_FLAG_CREATE : 0);
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder)) || folder[0] == 0)
        return std::wstring();
    std::wstring path = folder;
    if (path.back() != L'\\') path += L'\\';
    return path + Wide(GbkToUtf16(StartupShortcut(std::string()).fileName));
}

bool StartupShortcutExists() {
    const std::wstring link = StartupShortcutFile();
    return !link.empty() && IsPlainFile(link);
}

bool CreateStartupShortcut(const std::string& programPathUtf8) {
    const std::wstring linkPath = StartupShortcutFile(true);
    if (linkPath.empty()) return false;
    {
        ComScope com;
        if (com.usable()) {
            const std::wstring target = Wide(Utf8ToUtf16(programPathUtf8));
            WriteLink(linkPath, target, StartupShortcut(std::string()));
        }
    }  // every interface is released before COM is uninitialised
    return IsPlainFile(linkPath);
}

bool RemoveStartupShortcut() {
    const std::wstring linkPath = StartupShortcutFile();
    if (linkPath.empty()) return true;
    if (IsPlainFile(linkPath)) DeleteFileW(linkPath.c_str());
    return !IsPlainFile(linkPath);
}
