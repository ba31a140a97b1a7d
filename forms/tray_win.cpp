#include "forms/tray_win.h"

#include <shellapi.h>

namespace {

NOTIFYICONDATAW BaseData(const TrayIcon& tray) {
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = tray.window;
    data.uID = tray.id;
    return data;
}

void CopyText(wchar_t* target, size_t capacity, const std::wstring& text) {
    const size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
    text.copy(target, n);
    target[n] = L'\0';
}

}  // namespace

bool AddTrayIcon(TrayIcon& tray) {
    NOTIFYICONDATAW data = BaseData(tray);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = tray.callbackMessage;
    data.hIcon = tray.icon;
    CopyText(data.szTip, sizeof data.szTip / sizeof data.szTip[0], tray.tip);
    const BOOL ok = Shell_NotifyIconW(tray.shown ? NIM_MODIFY : NIM_ADD, &data);
    if (ok) tray.shown = true;
    return ok != FALSE;
}

void RemoveTrayIcon(TrayIcon& tray) {
    if (!tray.shown) return;
    NOTIFYICONDATAW data = BaseData(tray);
    Shell_NotifyIconW(NIM_DELETE, &data);
    tray.shown = false;
}

void ShowTrayBalloon(TrayIcon& tray, const std::wstring& title, const std::wstring& text, UINT timeoutMs) {
    if (!tray.shown) AddTrayIcon(tray);
    NOTIFYICONDATAW data = BaseData(tray);
    data.uFlags = NIF_INFO;
    data.uTimeout = timeoutMs;
    data.dwInfoFlags = NIIF_NONE;
    CopyText(data.szInfoTitle, sizeof data.szInfoTitle / sizeof data.szInfoTitle[0], title);
    CopyText(data.szInfo, sizeof data.szInfo / sizeof data.szInfo[0], text);
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

void ShowTrayMenu(HWND window, HMENU menu) {
    POINT at;
    GetCursorPos(&at);
    // Without the window in front the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(window);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr);
    PostMessageW(window, WM_NULL, 0, 0);
}

HBITMAP SetMenuItemIcon(HMENU menu, UINT id, HICON icon) {
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!picture || !memory) {
        if (picture) DeleteObject(picture);
        if (memory) DeleteDC(memory);
        return nullptr;
    }
    HGDIOBJ old = SelectObject(memory, picture);
    DrawIconEx(memory, 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL);
    SelectObject(memory, old);
    DeleteDC(memory);
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_BITMAP;
    item.hbmpItem = picture;
    SetMenuItemInfoW(menu, id, FALSE, &item);
    return picture;
}
