// The yardstick of the idle benchmark: the smallest Win32 window that repaints itself every 100 ms
// (a timer, an invalidation and a GDI fill with a line of text), as the clock's window does.
#include <windows.h>

namespace {

LRESULT CALLBACK IdleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            InvalidateRect(window, nullptr, TRUE);
            UpdateWindow(window);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            RECT r;
            GetClientRect(window, &r);
            FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            SYSTEMTIME t;
            GetLocalTime(&t);
            wchar_t text[16];
            wsprintfW(text, L"%02d:%02d:%02d", t.wHour, t.wMinute, t.wSecond);
            TextOutW(dc, 10, 10, text, lstrlenW(text));
            EndPaint(window, &ps);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = IdleProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"IdleBenchWindow";
    RegisterClassW(&wc);
    HWND window =
        CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"idle", WS_POPUP | WS_BORDER,
                        100, 100, 193, 300, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    SetTimer(window, 1, 100, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}
