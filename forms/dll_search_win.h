// The DLL search of a program, limited to the system folder.
#pragma once

#include <windows.h>

// DLLs are looked for in the system folder only, never beside the program or in the current
// folder, where a planted library would otherwise be loaded by name. Looked up at run time: the
// function is missing on a Windows 7 without its security update.
inline void RestrictDllSearchToSystem() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto set = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                            reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                      : nullptr;
    if (set) set(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
}
