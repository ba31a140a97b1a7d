// Loaded by the drivers' sync (window_sync_win.h) into the thread of the program under test: marks
// the window with each sync marker the thread takes from its queue, and turns a posted DPI change
// into the WM_DPICHANGED the system would send, whose rectangle must lie in this process.
#include <windows.h>

#include "window_sync_win.h"

namespace {

// Suggested as the system does: the window's place kept, the size as the sender computed it.
void SendDpiChange(HWND window, WPARAM dpi, LPARAM size) {
    RECT suggested;
    if (!GetWindowRect(window, &suggested)) return;
    suggested.right = suggested.left + LOWORD(size);
    suggested.bottom = suggested.top + HIWORD(size);
    SendMessageW(window, WM_DPICHANGED, dpi, reinterpret_cast<LPARAM>(&suggested));
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK SyncMessageHook(int code, WPARAM removed, LPARAM lParam) {
    static const UINT marker = RegisterWindowMessageW(kSyncMessageName);
    static const UINT dpiChange = RegisterWindowMessageW(kDpiChangeMessageName);
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE && message->message == dpiChange && message->hwnd)
        SendDpiChange(message->hwnd, message->wParam, message->lParam);
    if (code == HC_ACTION && removed == PM_REMOVE && message->message == marker && message->hwnd)
        SetPropW(message->hwnd, kSyncMarkProp, reinterpret_cast<HANDLE>(message->wParam));
    if (code == HC_ACTION && removed == PM_REMOVE && message->message == WM_KEYUP && message->hwnd) {
        HWND top = GetAncestor(message->hwnd, GA_ROOTOWNER);
        const auto count = reinterpret_cast<UINT_PTR>(GetPropW(top, kKeyUpCountProp));
        SetPropW(top, kKeyUpCountProp, reinterpret_cast<HANDLE>(count + 1));
    }
    return CallNextHookEx(nullptr, code, removed, lParam);
}
