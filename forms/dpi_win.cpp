#include "forms/dpi_win.h"

#include <cmath>

#include "forms/gdi_handles_win.h"

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int /* MONITOR_DPI_TYPE */, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI: the DPI the user chose for the monitor

// user32 is in every process that has windows; the installer loads it at its first use.
template <class Fn>
Fn User32Function(const char* name) {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    return user ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user, name))) : nullptr;
}

GetDpiForWindowFn DpiForWindow() {
    static const auto fn = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    return fn;
}

GetSystemMetricsForDpiFn SystemMetricsForDpi() {
    static const auto fn = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    return fn;
}

// shcore.dll is not one of the libraries Windows always takes from its own folder: loaded by full
// path, so that a file of that name beside the program is never picked up. Kept for the process.
HMODULE SystemShcore() {
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 12 >= MAX_PATH) return nullptr;
    lstrcatW(path, L"\\shcore.dll");
    return LoadLibraryW(path);
}

GetDpiForMonitorFn DpiForMonitor() {
    static const auto fn = [] {
        HMODULE shcore = SystemShcore();
        return shcore ? reinterpret_cast<GetDpiForMonitorFn>(
                            reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    return fn;
}

}  // namespace

Scale ScreenScale() {
    WindowDc screen(nullptr);
    return ScaleFromDpi(GetDeviceCaps(screen.get(), LOGPIXELSX), GetDeviceCaps(screen.get(), LOGPIXELSY));
}

Scale ScaleOfWindow(HWND window) {
    const GetDpiForWindowFn dpiOf = DpiForWindow();
    // 0 for a window that is not there.
    const UINT dpi = dpiOf && window ? dpiOf(window) : 0;
    return dpi ? ScaleFromDpi(static_cast<int>(dpi), static_cast<int>(dpi)) : ScreenScale();
}

Scale ScaleOfMonitor(HMONITOR monitor) {
    const GetDpiForMonitorFn dpiOf = DpiForMonitor();
    UINT dpiX = 0, dpiY = 0;
    if (!dpiOf || !monitor || FAILED(dpiOf(monitor, kEffectiveDpi, &dpiX, &dpiY))) return ScreenScale();
    return ScaleFromDpi(static_cast<int>(dpiX), static_cast<int>(dpiY));
}

Scale ScaleAtPoint(POINT point) {
    return ScaleOfMonitor(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST));
}

int SystemMetricAt(int index, const Scale& scale) {
    const GetSystemMetricsForDpiFn metricFor = SystemMetricsForDpi();
    const int dpi = static_cast<int>(std::lround(scale.y * 96));
    return metricFor ? metricFor(index, static_cast<UINT>(dpi)) : GetSystemMetrics(index);
}

Scale WorkAreaScale() {
    // The primary monitor is the one with the origin.
    return ScaleOfMonitor(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
}
