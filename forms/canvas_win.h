// Drawing with GDI+ in logical pixels: the one place where geometry meets the screen scale.
// Paint code takes a Canvas and rectangles and reads nothing else from the window, so a test can
// render it into a memory bitmap and look at the pixels.
#pragma once

#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include <functional>
#include <memory>
#include <string>

#include "forms/colour.h"
#include "forms/contrast.h"
#include "forms/scale.h"

// Starts GDI+ for the life of the process (the programs keep one in main).
class GdiplusSession {
  public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool ok() const { return ok_; }

  private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

// A rectangle in logical pixels.
struct LogicalRect {
    float x = 0;
    float y = 0;
    float w = 0;
    float h = 0;
};

struct Canvas {
    Gdiplus::Graphics* graphics = nullptr;  // anti-aliased, set up by MakeCanvas
    Scale scale;
    const ContrastPalette* contrast = nullptr;  // high contrast on: every colour becomes a system one
};

// The system's colours while high contrast is on (SPI_GETHIGHCONTRAST), read anew at each call;
// null while it is off.
const ContrastPalette* SystemContrastPalette();

// Sets graphics up for drawing (anti-aliasing, pixel offsets, text rendering) and pairs it with the
// scale and with the system's high-contrast colours when they are on.
Canvas MakeCanvas(Gdiplus::Graphics& graphics, const Scale& scale);

// A font by face name and size in points, e.g. {L"Microsoft YaHei", 9}.
struct FontSpec {
    const wchar_t* face = L"Microsoft YaHei";
    float points = 9;
    bool bold = false;
};

// The face that will really be used: the one asked for when it is installed, else the system's
// user-interface face, else a Chinese face that is there; GDI+ would otherwise draw nothing.
std::wstring ResolveFontFace(const wchar_t* face);

enum TextFlags : unsigned {
    kTextLeft = 0,
    kTextCenter = 1,
    kTextRight = 2,
    kTextVCenter = 4,      // centred vertically in the box
    kTextEllipsis = 8,     // cut with "…" at the end when too long
    kTextSingleLine = 16,  // no wrapping
    kTextNoClip = 32,      // may run past the box
};

void FillRect(const Canvas& c, const LogicalRect& r, Argb colour);
void FillRoundRect(const Canvas& c, const LogicalRect& r, float radius, Argb colour);
void DrawRoundRect(const Canvas& c, const LogicalRect& r, float radius, Argb colour, float penWidth);
void FillEllipse(const Canvas& c, const LogicalRect& r, Argb colour);
void DrawEllipse(const Canvas& c, const LogicalRect& r, Argb colour, float penWidth);
void DrawLine(const Canvas& c, float x1, float y1, float x2, float y2, Argb colour, float penWidth);
void FillVerticalGradient(const Canvas& c, const LogicalRect& r, Argb top, Argb bottom);
// The keyboard focus: a dotted one-pixel frame just inside r.
void DrawFocusFrame(const Canvas& c, const LogicalRect& r, Argb colour);
// The width of text on one line in the font, in logical pixels.
float TextWidth(const Canvas& c, const std::wstring& text, const FontSpec& font);
void DrawTextIn(const Canvas& c, const std::wstring& text, const LogicalRect& box, const FontSpec& font,
                Argb colour, unsigned flags);

// Answers WM_PAINT by drawing the whole client area off screen and copying it in at once, so the
// window never flickers: paint gets a canvas at scale and the client size in logical pixels. A
// window without a client area is only validated.
using ClientPaint = std::function<void(const Canvas& c, float width, float height)>;
void PaintBuffered(HWND window, const Scale& scale, const ClientPaint& paint);

// Saves a bitmap as a PNG file. False on failure.
bool SaveBitmapPng(Gdiplus::Bitmap& bitmap, const std::wstring& path);

// Saves a window as it stands on the screen as a PNG file: drawn by the window itself when it is
// one of this process (PrintWindow), else copied from the screen (it must be uncovered then).
// False on failure.
bool CaptureWindowPng(HWND window, const std::wstring& path);
