// Loaded by the drivers' sync (window_sync_win.h) into the thread of the program under test: marks
// the window with each sync marker the thread takes from its queue.
#include <windows.h>

#include "window_sync_win.h"

extern "C" __declspec(dllexport) LRESULT CALLBACK SyncMessageHook(int code, WPARAM removed, LPARAM lParam) {
    static const UINT marker = RegisterWindowMessageW(kSyncMessageName);
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE && message->message == marker && message->hwnd)
        SetPropW(message->hwnd, kSyncMarkProp, reinterpret_cast<HANDLE>(message->wParam));
    if (code == HC_ACTION && removed == PM_REMOVE && message->message == WM_KEYUP && message->hwnd) {
        HWND top = GetAncestor(message->hwnd, GA_ROOTOWNER);
        const auto count = reinterpret_cast<UINT_PTR>(GetPropW(top, kKeyUpCountProp));
        SetPropW(top, kKeyUpCountProp, reinterpret_cast<HANDLE>(count + 1));
    }
    return CallNextHookEx(nullptr, code, removed, lParam);
}
