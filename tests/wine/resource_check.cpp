// resource_check EXE: opens the built alarm clock as a resource file and checks what the resource
// script put into it: the version block with its Chinese strings (proof that the script was read
// as UTF-8, not in the build machine's code page), the two icon groups with their sizes, the
// pop-up's PNG picture and the application manifest.
// Prints one line per check and ends with "N passed, M failed"; exit code 0 only when all pass.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>
#include "tests/wine/check_report.h"

namespace {

std::wstring VersionString(const std::vector<BYTE>& block, const wchar_t* name) {
    const std::wstring key = std::wstring(L"\\StringFileInfo\\080404B0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), key.c_str(), &value, &length) || length == 0) return std::wstring();
    return static_cast<const wchar_t*>(value);
}

void CheckVersion(const std::wstring& exe) {
    const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), nullptr);
    std::vector<BYTE> block(size);
    Check(size > 0 && GetFileVersionInfoW(exe.c_str(), 0, size, block.data()), "version block present");
    if (size == 0) return;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    const bool haveFixed = VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length);
    Check(haveFixed && fixed->dwFileVersionMS == MAKELONG(3, 1) && fixed->dwFileVersionLS == MAKELONG(847, 8),
          "file version 1.3.8.847");
    Check(haveFixed && fixed->dwProductVersionMS == MAKELONG(3, 1) &&
              fixed->dwProductVersionLS == MAKELONG(847, 8),
          "product version 1.3.8.847");
    Check(VersionString(block, L"CompanyName") == L"澜川软件", "CompanyName");
    Check(VersionString(block, L"FileDescription") == L"钟伴", "FileDescription");
    Check(VersionString(block, L"ProductName") == L"钟伴", "ProductName");
    Check(VersionString(block, L"FileVersion") == L"1.3.8.847", "FileVersion");
    Check(VersionString(block, L"OriginalFilename") == L"钟伴.exe", "OriginalFilename");
    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    const bool haveTranslation = VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                                                reinterpret_cast<void**>(&translation), &length);
    Check(haveTranslation && length >= sizeof(Translation) && translation->language == 0x0804 &&
              translation->codePage == 1200,
          "translation: Simplified Chinese, Unicode");
}

// The raw bytes of a resource, or empty.
std::vector<BYTE> ResourceBytes(HMODULE module, const wchar_t* name, const wchar_t* type) {
    HRSRC found = FindResourceW(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!data) return {};
    return std::vector<BYTE>(data, data + SizeofResource(module, found));
}

// Widths listed in an icon group (GRPICONDIR: 6-byte header, then 14-byte entries).
std::set<int> IconGroupSizes(HMODULE module, const wchar_t* name) {
    const std::vector<BYTE> group = ResourceBytes(module, name, MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    std::set<int> sizes;
    if (group.size() < 6) return sizes;
    const int count = group[4] | group[5] << 8;
    for (int i = 0; i < count && 6 + 14 * (i + 1) <= static_cast<int>(group.size()); ++i) {
        const int width = group[6 + 14 * i] == 0 ? 256 : group[6 + 14 * i];
        if (group[6 + 14 * i + 1] == group[6 + 14 * i] && group[6 + 14 * i + 6] == 32) sizes.insert(width);
    }
    return sizes;
}

bool IconLoads(HMODULE module, const wchar_t* name, int size) {
    HICON icon = static_cast<HICON>(LoadImageW(module, name, IMAGE_ICON, size, size, 0));
    ICONINFO info = {};
    bool ok = icon && GetIconInfo(icon, &info);
    if (ok) {
        BITMAP bitmap = {};
        GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
        ok = bitmap.bmWidth == size && bitmap.bmHeight == size;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    if (icon) DestroyIcon(icon);
    return ok;
}

void CheckIcons(HMODULE module) {
    Check(IconGroupSizes(module, L"AAAAA_APPICON") == std::set<int>{16, 32, 48},
          "AAAAA_APPICON has 32-bit images of 16, 32 and 48 px");
    Check(IconGroupSizes(module, L"ICON_DR2") == std::set<int>{16, 32},
          "ICON_DR2 has 32-bit images of 16 and 32 px");
    for (int size : {16, 32, 48})
        Check(IconLoads(module, L"AAAAA_APPICON", size),
              "AAAAA_APPICON loads at " + std::to_string(size) + " px");
    for (int size : {16, 32})
        Check(IconLoads(module, L"ICON_DR2", size), "ICON_DR2 loads at " + std::to_string(size) + " px");
}

uint32_t BigEndian32(const BYTE* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

void CheckPicture(HMODULE module) {
    const std::vector<BYTE> png = ResourceBytes(module, L"PNG_SHIZUO128", L"PNG");
    static const BYTE kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const bool isPng = png.size() > 24 && std::memcmp(png.data(), kSignature, 8) == 0 &&
                       std::memcmp(png.data() + 12, "IHDR", 4) == 0;
    Check(isPng, "PNG_SHIZUO128 is a PNG resource");
    Check(isPng && BigEndian32(png.data() + 16) == 128 && BigEndian32(png.data() + 20) == 128,
          "PNG_SHIZUO128 is 128 x 128");
}

void CheckManifest(HMODULE module) {
    const std::vector<BYTE> bytes =
        ResourceBytes(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    const std::string text(bytes.begin(), bytes.end());
    Check(!text.empty(), "manifest with id 1");
    Check(text.find("Microsoft.Windows.Common-Controls") != std::string::npos &&
              text.find("version=\"6.0.0.0\"") != std::string::npos,
          "manifest asks for common controls 6");
    Check(text.find("true/pm</dpiAware>") != std::string::npos, "manifest: dpiAware true/pm");
    Check(text.find(">PerMonitorV2,PerMonitor</dpiAwareness>") != std::string::npos,
          "manifest: dpiAwareness PerMonitorV2,PerMonitor");
    Check(text.find("level=\"asInvoker\"") != std::string::npos, "manifest: runs as invoker");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::printf("usage: resource_check EXE\n");
        return 2;
    }
    CheckVersion(argv[1]);
    HMODULE module =
        LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    Check(module != nullptr, "program opens as a resource file");
    if (module) {
        CheckIcons(module);
        CheckPicture(module);
        CheckManifest(module);
        FreeLibrary(module);
    }
    return CheckReport();
}
