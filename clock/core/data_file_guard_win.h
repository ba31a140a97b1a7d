// The name of the mutex that a running copy of the clock holds for its data file, shared by the
// program and its tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Held for the whole run by the copy that uses a data file, in the namespace all sessions share,
// so a copy in another session (fast user switching) sees it. The name keys on the file's full
// path, lower-cased, as Windows compares names; a hash keeps it short and free of backslashes.
inline std::wstring DataFileMutexName(const std::wstring& dataFilePath) {
    std::wstring full(32768, L'\0');
    const DWORD n =
        GetFullPathNameW(dataFilePath.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
    full.resize(n > 0 && n < full.size() ? n : 0);
    if (full.empty()) full = dataFilePath;
    CharLowerBuffW(&full[0], static_cast<DWORD>(full.size()));
    uint64_t hash = 14695981039346656037ull;  // 64-bit FNV-1a over the UTF-16 units
    for (wchar_t unit : full) {
        hash = (hash ^ static_cast<uint16_t>(unit)) * 1099511628211ull;
    }
    static const wchar_t kHex[] = L"0123456789abcdef";
    std::wstring name = L"Global\\LcChimePal.Data.";
    for (int shift = 60; shift >= 0; shift -= 4)
        name += kHex[(hash >> shift) & 0xF];
    return name;
}
