#include "forms/shell_link_win.h"

#include <windows.h>
// The shell headers below expect <windows.h> first.
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "forms/com_win.h"

namespace {

bool IsPlainFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The shell's link object. Written here, and the interfaces taken by __uuidof, rather than the
// constants of the uuid library, whose one object holds every GUID of the SDK and would add 40 KiB
// to the installer that every package carries.
constexpr CLSID kShellLinkClass = {
    0x00021401, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

bool SaveLink(const std::wstring& linkPath, const ShellLink& fields) {
    ComRef<IShellLinkW> link;
    if (FAILED(CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkW),
                                link.out())))
        return false;
    if (FAILED(link->SetPath(fields.target.c_str()))) return false;
    if (!fields.workingFolder.empty()) link->SetWorkingDirectory(fields.workingFolder.c_str());
    link->SetDescription(fields.description.c_str());
    link->SetShowCmd(fields.showCommand);
    ComRef<IPersistFile> file;
    if (FAILED(link->QueryInterface(__uuidof(IPersistFile), file.out()))) return false;
    return SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}

}  // namespace

bool WriteShellLink(const std::wstring& linkPath, const ShellLink& link) {
    {
        ComScope com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        if (com.usable()) SaveLink(linkPath, link);
    }  // every interface is released before COM is uninitialised
    return IsPlainFile(linkPath);
}

std::wstring FolderOfPath(const std::wstring& path) {
    const size_t cut = path.find_last_of(L"\\/");
    if (cut == std::wstring::npos) return std::wstring();
    const bool driveRoot = cut > 0 && path[cut - 1] == L':';
    return path.substr(0, driveRoot ? cut + 1 : cut);
}
