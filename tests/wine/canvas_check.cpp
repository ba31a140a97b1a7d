// canvas_check OUT_DIR [--window]: draws with the form framework's canvas into memory bitmaps at
// 96 and 144 dpi, and with --window into a real window captured from the screen; checks pixels at
// known places and saves each picture as a PNG in OUT_DIR for a person to look at.
// Prints one line per check and ends with "N passed, M failed"; exit code 0 only when all pass.
#include <cstdio>
#include <memory>
#include <string>

#include "forms/canvas_win.h"
#include "tests/wine/check_report.h"

namespace {

const Argb kBand = OpaqueRgb(102, 87, 199);
const Argb kPage = OpaqueRgb(255, 255, 255);

bool PixelIs(Gdiplus::Bitmap& bitmap, int x, int y, Argb expected) {
    Gdiplus::Color c;
    bitmap.GetPixel(x, y, &c);
    return c.GetR() == expected.r && c.GetG() == expected.g && c.GetB() == expected.b;
}

// Pixels in a device rectangle that differ from the given colour: text drawn there shows up.
int PixelsOtherThan(Gdiplus::Bitmap& bitmap, int x0, int y0, int x1, int y1, Argb colour) {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x)
            count += PixelIs(bitmap, x, y, colour) ? 0 : 1;
    }
    return count;
}

// A header band as the clock draws it: band, tab captions, a readout and a rounded button below.
void DrawSample(const Canvas& c) {
    FillRect(c, {0, 0, 200, 120}, kPage);
    FillRect(c, {0, 0, 200, 50}, kBand);
    DrawTextIn(c, L"闹钟秒表计时", {0, 0, 200, 20}, {L"Microsoft YaHei", 9}, OpaqueRgb(255, 255, 255),
               kTextCenter | kTextVCenter | kTextSingleLine);
    DrawTextIn(c, L"12:34:56", {0, 20, 197, 30}, {L"黑体", 18}, OpaqueRgb(255, 255, 255),
               kTextCenter | kTextVCenter | kTextSingleLine);
    FillRoundRect(c, {5, 55, 180, 20}, 4, Argb{0xD0, 0x80, 0xE0, 0xE0});
    DrawRoundRect(c, {5, 55, 180, 20}, 4, OpaqueRgb(0, 0, 0), 1);
    DrawTextIn(c, L"找不到的字体也要画出来", {5, 80, 190, 30}, {L"No Such Face", 11}, OpaqueRgb(0, 0, 0),
               kTextLeft | kTextVCenter | kTextSingleLine | kTextEllipsis);
}

void CheckBitmapAt(int dpi, const std::wstring& outDir) {
    const Scale scale = ScaleFromDpi(dpi, dpi);
    Gdiplus::Bitmap bitmap(ScaleX(scale, 200), ScaleY(scale, 120), PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&bitmap);
        DrawSample(MakeCanvas(graphics, scale));
    }
    const std::string at = " at " + std::to_string(dpi) + " dpi";
    Check(PixelIs(bitmap, ScaleX(scale, 195), ScaleY(scale, 45), kBand),
          ("band colour in the band" + at).c_str());
    Check(PixelIs(bitmap, ScaleX(scale, 195), ScaleY(scale, 52), kPage),
          ("page below the band" + at).c_str());
    Check(PixelsOtherThan(bitmap, 0, 0, ScaleX(scale, 200), ScaleY(scale, 20), kBand) > 40 * dpi / 96,
          ("tab captions drawn" + at).c_str());
    Check(PixelsOtherThan(bitmap, 0, ScaleY(scale, 22), ScaleX(scale, 200), ScaleY(scale, 48), kBand) >
              60 * dpi / 96,
          ("readout drawn" + at).c_str());
    Check(PixelsOtherThan(bitmap, 0, ScaleY(scale, 82), ScaleX(scale, 200), ScaleY(scale, 108), kPage) >
              40 * dpi / 96,
          ("a missing face falls back and still draws" + at).c_str());
    Check(SaveBitmapPng(bitmap, outDir + L"\\canvas-" + std::to_wstring(dpi) + L"dpi.png"),
          ("saved as PNG" + at).c_str());
}

void PaintSample(HDC dc) {
    Gdiplus::Graphics graphics(dc);
    DrawSample(MakeCanvas(graphics, Scale()));
}

// WM_PRINTCLIENT is how PrintWindow asks a custom-drawn window for its picture.
LRESULT CALLBACK SampleWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PRINTCLIENT) {
        PaintSample(reinterpret_cast<HDC>(wParam));
        return 0;
    }
    if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    PaintSample(dc);
    EndPaint(window, &ps);
    return 0;
}

void CheckWindowCapture(const std::wstring& outDir) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = SampleWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CanvasCheckWindow";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"canvas", WS_POPUP | WS_VISIBLE, 100, 100,
                                  200, 120, nullptr, nullptr, wc.hInstance, nullptr);
    Check(window != nullptr, "window created");
    if (!window) return;
    UpdateWindow(window);
    const std::wstring path = outDir + L"\\window-capture.png";
    Check(CaptureWindowPng(window, path), "window captured to PNG");
    Gdiplus::Bitmap captured(path.c_str());
    Check(captured.GetLastStatus() == Gdiplus::Ok && PixelIs(captured, 195, 45, kBand),
          "the capture shows the band colour");
    DestroyWindow(window);
}

// A line drawn into a white strip 120 x 30 (logical) at scale, in a box 60 wide.
std::unique_ptr<Gdiplus::Bitmap> LineStrip(const Scale& scale, const std::wstring& text, unsigned flags) {
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(ScaleX(scale, 120), ScaleY(scale, 30), PixelFormat32bppARGB);
    Gdiplus::Graphics graphics(bitmap.get());
    const Canvas c = MakeCanvas(graphics, scale);
    FillRect(c, {0, 0, 120, 30}, kPage);
    DrawTextIn(c, text, {5, 5, 60, 20}, {L"Microsoft YaHei", 9}, OpaqueRgb(0, 0, 0), flags);
    return bitmap;
}

bool SamePixels(Gdiplus::Bitmap& a, Gdiplus::Bitmap& b) {
    for (UINT y = 0; y < a.GetHeight(); ++y) {
        for (UINT x = 0; x < a.GetWidth(); ++x) {
            Gdiplus::Color p, q;
            a.GetPixel(static_cast<INT>(x), static_cast<INT>(y), &p);
            b.GetPixel(static_cast<INT>(x), static_cast<INT>(y), &q);
            if (p.GetValue() != q.GetValue()) return false;
        }
    }
    return true;
}

// A line too long for its box shows how it goes on: it is drawn as its start and "…", never as
// a glyph cut in half at the box's edge.
void CheckEllipsisAt(int dpi) {
    const Scale scale = ScaleFromDpi(dpi, dpi);
    const std::wstring text = L"很长的捐赠留言一直写到格子外面去";
    const unsigned flags = kTextVCenter | kTextSingleLine;
    const auto cut = LineStrip(scale, text, flags | kTextEllipsis);
    // The same pixels as some start of the text with "…" drawn after it, the dots showing.
    bool endsInEllipsis = false;
    for (size_t kept = 1; kept < text.size() && !endsInEllipsis; ++kept) {
        const std::wstring start = text.substr(0, kept);
        endsInEllipsis = SamePixels(*cut, *LineStrip(scale, start + L"\u2026", flags)) &&
                         !SamePixels(*cut, *LineStrip(scale, start, flags));
    }
    Check(endsInEllipsis, ("a line too long for its box ends in an ellipsis at " + std::to_string(dpi) + " dpi").c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: canvas_check OUT_DIR [--window]\n");
        return 2;
    }
    GdiplusSession gdiplus;
    Check(gdiplus.ok(), "GDI+ started");
    const std::string dir = argv[1];
    const std::wstring outDir(dir.begin(), dir.end());  // the test passes an ASCII folder
    CreateDirectoryW(outDir.c_str(), nullptr);
    CheckBitmapAt(96, outDir);
    CheckBitmapAt(144, outDir);
    CheckEllipsisAt(96);
    CheckEllipsisAt(144);
    if (argc > 2 && std::string(argv[2]) == "--window") CheckWindowCapture(outDir);
    return CheckReport();
}
