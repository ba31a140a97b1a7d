// Loaded by clock_driver's "high-contrast" command into the thread of the program under test, as the
// sync hook is. Wine keeps high contrast off whatever one sets (SPI_SETHIGHCONTRAST does nothing
// there), so the shim answers for the system inside that program: it takes over the program's own
// imports of SystemParametersInfoW and GetSysColor, reports high contrast on or off with a black
// scheme, and tells the program's windows of the change as Windows would (WM_SETTINGCHANGE).
#include <windows.h>

#include <cstring>

#include "contrast_shim_win.h"

namespace {

bool gOn = false;
decltype(&SystemParametersInfoW) gRealParameters = nullptr;
decltype(&GetSysColor) gRealColour = nullptr;

BOOL WINAPI ShimParameters(UINT action, UINT param, PVOID data, UINT flags) {
    if (action == SPI_GETHIGHCONTRAST && data) {
        auto* state = static_cast<HIGHCONTRASTW*>(data);
        if (state->cbSize != sizeof *state) return FALSE;
        state->dwFlags = gOn ? (HCF_HIGHCONTRASTON | HCF_AVAILABLE) : HCF_AVAILABLE;
        state->lpszDefaultScheme = nullptr;
        return TRUE;
    }
    return gRealParameters(action, param, data, flags);
}

DWORD WINAPI ShimColour(int index) {
    if (gOn) {
        for (const ContrastShimColour& c : kContrastShimScheme) {
            if (c.index == index) return c.rgb;
        }
    }
    return gRealColour(index);
}

// Points the module's import of dll!name at replacement; the import's old target goes to real.
template <typename F>
bool PatchImport(HMODULE module, const char* dll, const char* name, F replacement, F* real) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return false;
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name;
         ++entry) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + entry->Name), dll) != 0 || !entry->OriginalFirstThunk)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0) continue;
            DWORD protection = 0;
            if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection))
                return false;
            *real = reinterpret_cast<F>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return true;
        }
    }
    return false;
}

// Once per program: the shim stays loaded for good, as the patched imports point into it.
bool Install() {
    static bool installed = false;
    if (installed) return true;
    HMODULE self = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                            reinterpret_cast<LPCWSTR>(&ShimParameters), &self))
        return false;
    HMODULE program = GetModuleHandleW(nullptr);
    installed = PatchImport(program, "user32.dll", "SystemParametersInfoW", &ShimParameters, &gRealParameters) &&
                PatchImport(program, "user32.dll", "GetSysColor", &ShimColour, &gRealColour);
    return installed;
}

// Sent, not posted: the system refuses to post this message (its lParam may carry a text).
BOOL CALLBACK TellSettingChanged(HWND window, LPARAM) {
    SendMessageW(window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    return TRUE;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ContrastShimHook(int code, WPARAM removed, LPARAM lParam) {
    static const UINT request = RegisterWindowMessageW(kContrastShimMessage);
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE && message->message == request && message->hwnd) {
        const bool done = Install();
        if (done) gOn = message->wParam != 0;
        SetPropW(message->hwnd, kContrastShimProp, reinterpret_cast<HANDLE>(done ? 1 + message->wParam : 0));
        if (done) EnumThreadWindows(GetCurrentThreadId(), TellSettingChanged, 0);
    }
    return CallNextHookEx(nullptr, code, removed, lParam);
}
