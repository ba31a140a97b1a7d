// paint_bench [FRAMES]: time of one paint of the main window under the real GDI+ (Wine or Windows),
// per page and for its parts, printed as milliseconds per frame. A timed tool run, no assertions.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "clock/core/pages_win.h"

namespace {

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

template <typename Paint>
double MsPerFrame(HDC screen, int frames, Paint paint) {
    const int w = 193, h = 300;
    const double start = Now();
    for (int k = 0; k < frames; ++k) {
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
        HGDIOBJ old = SelectObject(memory, bitmap);
        {
            Gdiplus::Graphics graphics(memory);
            paint(MakeCanvas(graphics, Scale{}));
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
    }
    return (Now() - start) / frames;
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 200;
    GdiplusSession gdiplus;
    Alarms = DefaultAlarms();
    Timers = DefaultTimers();
    for (int k = 0; k < kOptionCount; ++k)
        OptionSlots[k] = BuiltInOption(k);
    HDC screen = GetDC(nullptr);
    MainPaint p;
    p.now = DateTime{2026, 12, 8, 10, 0, 30};
    p.page.height = 300;
    for (int page = 0; page <= 5; ++page) {
        p.band.page = page;
        const double whole = MsPerFrame(screen, frames, [&](const Canvas& c) { PaintMainWindow(c, p); });
        std::printf("page %d: %.2f ms per frame\n", page, whole);
    }
    p.band.page = 0;
    std::printf("band only: %.2f ms\n", MsPerFrame(screen, frames, [&](const Canvas& c) { DrawHeaderBand(c, p.band); }));
    std::printf("page 0 fixed layer: %.2f ms\n",
                MsPerFrame(screen, frames, [&](const Canvas& c) { PaintFixedLayer(c, p); }));
    std::printf("page 0 timed layer: %.2f ms\n",
                MsPerFrame(screen, frames, [&](const Canvas& c) { PaintTimedLayer(c, p, 300); }));
    std::printf("one text: %.2f ms\n", MsPerFrame(screen, frames, [&](const Canvas& c) {
                    DrawTextIn(c, L"12:34:56", {0, 0, 190, 30}, FontSpec{L"黑体", 18, false}, Argb{255, 255, 255, 255}, kTextCenter);
                }));
    std::printf("one round rect: %.2f ms\n", MsPerFrame(screen, frames, [&](const Canvas& c) {
                    FillRoundRect(c, {5, 5, 180, 40}, 6, Argb{255, 255, 255, 255});
                }));
    std::printf("empty: %.2f ms\n", MsPerFrame(screen, frames, [&](const Canvas&) {}));
    ReleaseDC(nullptr, screen);
    return 0;
}
