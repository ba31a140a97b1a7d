// The drivers' barrier: returns once a window of another program has taken from its thread's queue
// every message posted to it before the call, so that a check may then look for what the input did
// not do. Wine's DefWindowProc keeps no state a posted message could change and a sent one read back
// (no UI state, no hot key), so a hook in that thread (sync_hook.dll, beside the drivers) marks the
// window when the thread takes a marker message, which the window itself ignores. The hook library
// loads only into a program of its own bitness: a 32-bit driver syncs with 32-bit programs only.
#pragma once

#include <windows.h>

constexpr const wchar_t* kSyncMessageName = L"LcChimeTestSync";
constexpr const wchar_t* kSyncMarkProp = L"LcChimeTestSyncMark";
// The count of key releases the thread has taken, on the top window that owns the one they were for:
// a key is pressed and handled once its release is taken.
constexpr const wchar_t* kKeyUpCountProp = L"LcChimeTestKeyUps";

// The hook library beside the drivers, and its hook set on the window's thread (null on failure).
inline HHOOK SetSyncHook(HWND window, HMODULE* library) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    while (n > 0 && path[n - 1] != L'\\')
        --n;
    *library = nullptr;
    if (n + 16 >= MAX_PATH) return nullptr;
    lstrcpyW(path + n, L"sync_hook.dll");
    *library = LoadLibraryW(path);
    // Through void*: FARPROC is a different function type from the hook's.
    const auto proc =
        *library
            ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(*library, "SyncMessageHook")))
            : nullptr;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return proc && thread ? SetWindowsHookExW(WH_GETMESSAGE, proc, *library, thread) : nullptr;
}

// Posted with the new DPI as WM_DPICHANGED has it and the suggested width and height (device pixels,
// MAKELPARAM): the hook sends the window WM_DPICHANGED with that size at its place. The message
// carries a pointer, so only a sender in the window's own process can give it.
constexpr const wchar_t* kDpiChangeMessageName = L"LcChimeTestDpiChange";

// A thread takes its posted messages in order, so the marker comes out only after those ahead of
// it have been handled, unless a handler is still running a loop of its own (a message box). The
// second round also waits for what those messages posted in turn. False when the window goes, the
// hook cannot be set or the marker is not taken within TIMEOUT_MS.
// Message (0 for none) is posted to the window first, while the hook is in its thread.
inline bool SyncWithWindowAfter(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int timeoutMs) {
    HMODULE library = nullptr;
    HHOOK hook = SetSyncHook(window, &library);
    const UINT marker = RegisterWindowMessageW(kSyncMessageName);
    bool synced = hook != nullptr && (message == 0 || PostMessageW(window, message, wParam, lParam));
    for (int round = 0; synced && round < 2; ++round) {
        // Distinct from any mark an earlier sync left on the window.
        const auto mark = static_cast<WPARAM>(GetTickCount64() * 4 + round + 1);
        synced = PostMessageW(window, marker, mark, 0) != FALSE;
        for (int waited = 0; synced; waited += 10) {
            if (reinterpret_cast<WPARAM>(GetPropW(window, kSyncMarkProp)) == mark) break;
            synced = waited < timeoutMs && IsWindow(window);
            Sleep(10);
        }
    }
    if (hook) UnhookWindowsHookEx(hook);
    if (library) FreeLibrary(library);
    return synced;
}

inline bool SyncWithWindow(HWND window, int timeoutMs) {
    return SyncWithWindowAfter(window, 0, 0, 0, timeoutMs);
}
