#include "forms/shadow_win.h"

#include <commctrl.h>

#include <cmath>
#include <cstdint>
#include <map>

#include "forms/dpi_win.h"
#include "forms/gdi_handles_win.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x5348;  // the shadow's hook into the form's messages
constexpr int kSpread = 7;                // logical pixels of shade around the form
constexpr int kDrop = 2;                  // the shade sits a little lower, as under a light from above
constexpr double kEdgeAlpha = 72;         // opacity next to the form's edge, of 255

struct Shadow {
    HWND window = nullptr;
    int spread = kSpread;
    int drop = kDrop;
    SIZE drawn = {0, 0};  // the form size the picture was made for
};

std::map<HWND, Shadow>& Shadows() {
    static std::map<HWND, Shadow> shadows;
    return shadows;
}

void RegisterShadowClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kShadowWindowClass;
    registered = RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Opacity of a shadow pixel at distance d (pixels) outside the form, fading to nothing at spread.
uint8_t ShadeAt(double d, int spread) {
    if (d <= 0) return 0;  // under the form: never seen, and must not darken a translucent form
    if (d >= spread) return 0;
    const double t = 1.0 - d / spread;
    return static_cast<uint8_t>(std::lround(kEdgeAlpha * t * t));
}

// Paints the shade of a form of size w x h into a premultiplied 32-bit picture and hands it to
// the layered window at its place.
void Redraw(const Shadow& s, const RECT& form) {
    const int w = form.right - form.left, h = form.bottom - form.top;
    const int width = w + 2 * s.spread, height = h + 2 * s.spread;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    WindowDc screen(nullptr);
    GdiObject<HBITMAP> bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap.get() || !bits) return;
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        const int dy = y < s.spread ? s.spread - y : y >= s.spread + h ? y - (s.spread + h) + 1 : 0;
        for (int x = 0; x < width; ++x) {
            const int dx = x < s.spread ? s.spread - x : x >= s.spread + w ? x - (s.spread + w) + 1 : 0;
            const uint8_t a = ShadeAt(std::sqrt(static_cast<double>(dx * dx + dy * dy)), s.spread);
            pixels[y * width + x] = static_cast<uint32_t>(a) << 24;  // black, premultiplied
        }
    }
    MemoryDc memory(screen.get());
    Selection selected(memory.get(), bitmap.get());
    POINT place = {form.left - s.spread, form.top - s.spread + s.drop};
    SIZE size = {width, height};
    POINT origin = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(s.window, screen.get(), &place, &size, memory.get(), &origin, 0, &blend, ULW_ALPHA);
}

void Follow(HWND form, Shadow& s) {
    if (!IsWindowVisible(form) || IsIconic(form)) {
        ShowWindow(s.window, SW_HIDE);
        return;
    }
    RECT r;
    GetWindowRect(form, &r);
    const SIZE size = {r.right - r.left, r.bottom - r.top};
    if (size.cx != s.drawn.cx || size.cy != s.drawn.cy) {
        Redraw(s, r);
        s.drawn = size;
    }
    SetWindowPos(s.window, form, r.left - s.spread, r.top - s.spread + s.drop, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

LRESULT CALLBACK FormSubclass(HWND form, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    auto it = Shadows().find(form);
    if (it != Shadows().end()) {
        if (message == WM_WINDOWPOSCHANGED || message == WM_SHOWWINDOW || message == WM_ACTIVATE) {
            const LRESULT result = DefSubclassProc(form, message, wParam, lParam);
            Follow(form, it->second);
            return result;
        }
        if (message == WM_DPICHANGED) {
            // Seen before the form takes its new size, which then draws the shade again.
            Shadow& s = it->second;
            const Scale scale = ScaleOfDpiChange(wParam);
            s.spread = ScaleX(scale, kSpread);
            s.drop = ScaleY(scale, kDrop);
            s.drawn = SIZE{0, 0};
        }
        if (message == WM_NCDESTROY) {
            DestroyWindow(it->second.window);
            Shadows().erase(it);
            RemoveWindowSubclass(form, FormSubclass, kSubclassId);
        }
    }
    return DefSubclassProc(form, message, wParam, lParam);
}

}  // namespace

bool AttachShadow(HWND form, const Scale& scale) {
    if (!form || Shadows().count(form)) return form != nullptr;
    RegisterShadowClass();
    Shadow s;
    s.spread = ScaleX(scale, kSpread);
    s.drop = ScaleY(scale, kDrop);
    const DWORD topmost = GetWindowLongPtrW(form, GWL_EXSTYLE) & WS_EX_TOPMOST;
    s.window = CreateWindowExW(
        WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | topmost, kShadowWindowClass,
        L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!s.window) return false;
    if (!SetWindowSubclass(form, FormSubclass, kSubclassId, 0)) {
        DestroyWindow(s.window);
        return false;
    }
    Follow(form, Shadows()[form] = s);
    return true;
}

bool DesktopComposesWindows() {
    // dwmapi.dll is not one of the libraries Windows always takes from its own folder: loaded by
    // full path, so that a file of that name beside the program is never picked up.
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 12 >= MAX_PATH) return false;
    lstrcatW(path, L"\\dwmapi.dll");
    HMODULE dwm = LoadLibraryW(path);
    if (!dwm) return false;
    using IsCompositionEnabledFn = HRESULT(WINAPI*)(BOOL*);
    auto isEnabled = reinterpret_cast<IsCompositionEnabledFn>(
        reinterpret_cast<void*>(GetProcAddress(dwm, "DwmIsCompositionEnabled")));
    BOOL enabled = FALSE;
    const bool composes = isEnabled && SUCCEEDED(isEnabled(&enabled)) && enabled;
    FreeLibrary(dwm);
    return composes;
}

HWND ShadowOf(HWND form) {
    auto it = Shadows().find(form);
    return it == Shadows().end() ? nullptr : it->second.window;
}
