#include "forms/canvas_win.h"

#include <map>
#include <tuple>
#include <vector>

#include "forms/gdi_handles_win.h"

namespace {

Gdiplus::Color ToColor(Argb c) {
    return Gdiplus::Color(c.a, c.r, c.g, c.b);
}

// The colour as drawn: the painter's own, or under high contrast the system colour of its part.
Gdiplus::Color Use(const Canvas& c, Argb colour, ColourUse use) {
    return ToColor(c.contrast ? ContrastColour(*c.contrast, colour, use) : colour);
}

Argb SystemColour(int index) {
    const COLORREF c = GetSysColor(index);
    return OpaqueRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

Gdiplus::RectF Device(const Canvas& c, const LogicalRect& r) {
    return Gdiplus::RectF(
        static_cast<Gdiplus::REAL>(r.x * c.scale.x), static_cast<Gdiplus::REAL>(r.y * c.scale.y),
        static_cast<Gdiplus::REAL>(r.w * c.scale.x), static_cast<Gdiplus::REAL>(r.h * c.scale.y));
}

// Pen widths follow the smaller axis, so a 1.5-pixel ring stays round on an uneven scale.
Gdiplus::REAL PenWidth(const Canvas& c, float width) {
    return static_cast<Gdiplus::REAL>(width * std::min(c.scale.x, c.scale.y));
}

// A rounded rectangle as a path; the radius is logical, per axis.
void RoundRectPath(const Canvas& c, const LogicalRect& r, float radius, Gdiplus::GraphicsPath* path) {
    const Gdiplus::RectF d = Device(c, r);
    const Gdiplus::REAL rx = std::min(static_cast<Gdiplus::REAL>(radius * c.scale.x), d.Width / 2);
    const Gdiplus::REAL ry = std::min(static_cast<Gdiplus::REAL>(radius * c.scale.y), d.Height / 2);
    if (rx <= 0 || ry <= 0) {
        path->AddRectangle(d);
        return;
    }
    path->AddArc(d.X, d.Y, 2 * rx, 2 * ry, 180, 90);
    path->AddArc(d.X + d.Width - 2 * rx, d.Y, 2 * rx, 2 * ry, 270, 90);
    path->AddArc(d.X + d.Width - 2 * rx, d.Y + d.Height - 2 * ry, 2 * rx, 2 * ry, 0, 90);
    path->AddArc(d.X, d.Y + d.Height - 2 * ry, 2 * rx, 2 * ry, 90, 90);
    path->CloseFigure();
}

bool FaceInstalled(const std::wstring& face) {
    if (face.empty()) return false;
    Gdiplus::FontFamily family(face.c_str());
    return family.GetLastStatus() == Gdiplus::Ok && family.IsAvailable();
}

std::wstring SystemMessageFace() {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return std::wstring();
    return metrics.lfMessageFont.lfFaceName;
}

// Finds the encoder of a MIME type among the installed image codecs.
bool EncoderFor(const wchar_t* mime, CLSID* clsid) {
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(codecs[i].MimeType, mime) == 0) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

// Fonts by face, pixel size and weight, made once: the window repaints ten times a second, and
// looking a face up and building a GDI+ font for every text is the dearest part of a frame.
// Emptied before GDI+ shuts down (the objects must not outlive it).
using FontKey = std::tuple<std::wstring, float, bool>;

std::map<FontKey, std::unique_ptr<Gdiplus::Font>>& FontCache() {
    static std::map<FontKey, std::unique_ptr<Gdiplus::Font>> cache;
    return cache;
}

std::map<std::wstring, std::wstring>& FaceCache() {
    static std::map<std::wstring, std::wstring> cache;
    return cache;
}

const Gdiplus::Font& CachedFont(const wchar_t* face, float pixels, bool bold) {
    const FontKey key{face ? face : L"", pixels, bold};
    std::unique_ptr<Gdiplus::Font>& font = FontCache()[key];
    if (!font) {
        const std::wstring resolved = ResolveFontFace(face);
        Gdiplus::FontFamily family(resolved.c_str());
        font = std::make_unique<Gdiplus::Font>(
            &family, pixels, bold ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    }
    return *font;
}

}  // namespace

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
}

GdiplusSession::~GdiplusSession() {
    FontCache().clear();
    if (ok_) Gdiplus::GdiplusShutdown(token_);
}

Canvas MakeCanvas(Gdiplus::Graphics& graphics, const Scale& scale) {
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
    Canvas canvas;
    canvas.graphics = &graphics;
    canvas.scale = scale;
    canvas.contrast = SystemContrastPalette();
    return canvas;
}

std::wstring ResolveFontFace(const wchar_t* face) {
    const std::wstring asked = face ? face : L"";
    const auto known = FaceCache().find(asked);
    if (known != FaceCache().end()) return known->second;
    std::wstring& resolved = FaceCache()[asked];
    if (FaceInstalled(asked)) return resolved = asked;
    const std::wstring candidates[] = {SystemMessageFace(), L"Microsoft YaHei", L"SimSun",
                                       L"WenQuanYi Micro Hei", L"Tahoma"};
    for (const std::wstring& candidate : candidates) {
        if (FaceInstalled(candidate)) return resolved = candidate;
    }
    return resolved;
}

const ContrastPalette* SystemContrastPalette() {
    HIGHCONTRASTW state = {};
    state.cbSize = sizeof state;
    if (!SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof state, &state, 0)) return nullptr;
    if ((state.dwFlags & HCF_HIGHCONTRASTON) == 0) return nullptr;
    static ContrastPalette palette;
    palette = ContrastPalette{SystemColour(COLOR_WINDOW), SystemColour(COLOR_WINDOWTEXT),
                              SystemColour(COLOR_HIGHLIGHT), SystemColour(COLOR_HIGHLIGHTTEXT),
                              SystemColour(COLOR_GRAYTEXT)};
    return &palette;
}

void FillRect(const Canvas& c, const LogicalRect& r, Argb colour) {
    Gdiplus::SolidBrush brush(Use(c, colour, ColourUse::kFill));
    c.graphics->FillRectangle(&brush, Device(c, r));
}

void FillRoundRect(const Canvas& c, const LogicalRect& r, float radius, Argb colour) {
    Gdiplus::GraphicsPath path;
    RoundRectPath(c, r, radius, &path);
    Gdiplus::SolidBrush brush(Use(c, colour, ColourUse::kFill));
    c.graphics->FillPath(&brush, &path);
}

void DrawRoundRect(const Canvas& c, const LogicalRect& r, float radius, Argb colour, float penWidth) {
    Gdiplus::GraphicsPath path;
    RoundRectPath(c, r, radius, &path);
    Gdiplus::Pen pen(Use(c, colour, ColourUse::kLine), PenWidth(c, penWidth));
    c.graphics->DrawPath(&pen, &path);
}

void FillEllipse(const Canvas& c, const LogicalRect& r, Argb colour) {
    Gdiplus::SolidBrush brush(Use(c, colour, ColourUse::kFill));
    c.graphics->FillEllipse(&brush, Device(c, r));
}

void DrawEllipse(const Canvas& c, const LogicalRect& r, Argb colour, float penWidth) {
    Gdiplus::Pen pen(Use(c, colour, ColourUse::kLine), PenWidth(c, penWidth));
    c.graphics->DrawEllipse(&pen, Device(c, r));
}

void DrawLine(const Canvas& c, float x1, float y1, float x2, float y2, Argb colour, float penWidth) {
    Gdiplus::Pen pen(Use(c, colour, ColourUse::kLine), PenWidth(c, penWidth));
    c.graphics->DrawLine(
        &pen, static_cast<Gdiplus::REAL>(x1 * c.scale.x), static_cast<Gdiplus::REAL>(y1 * c.scale.y),
        static_cast<Gdiplus::REAL>(x2 * c.scale.x), static_cast<Gdiplus::REAL>(y2 * c.scale.y));
}

void FillVerticalGradient(const Canvas& c, const LogicalRect& r, Argb top, Argb bottom) {
    const Gdiplus::RectF d = Device(c, r);
    if (d.Width <= 0 || d.Height <= 0) return;
    Gdiplus::LinearGradientBrush brush(d, Use(c, top, ColourUse::kFill), Use(c, bottom, ColourUse::kFill),
                                       Gdiplus::LinearGradientModeVertical);
    c.graphics->FillRectangle(&brush, d);
}

namespace {

// The longest start of text that fits width with "…" after it; the text itself when it fits.
// GDI+'s own trimming is not drawn everywhere (Wine leaves it out), so the cut is made here.
std::wstring FittedLine(const Canvas& c, const std::wstring& text, float width, const FontSpec& font) {
    if (TextWidth(c, text, font) <= width) return text;
    size_t fits = 0, tooLong = text.size();
    while (tooLong - fits > 1) {
        const size_t middle = (fits + tooLong) / 2;
        if (TextWidth(c, text.substr(0, middle) + L"\u2026", font) <= width) {
            fits = middle;
        } else {
            tooLong = middle;
        }
    }
    // Never keep half of a surrogate pair.
    if (fits > 0 && text[fits - 1] >= 0xD800 && text[fits - 1] <= 0xDBFF) --fits;
    return text.substr(0, fits) + L"\u2026";
}

}  // namespace

void DrawTextIn(const Canvas& c, const std::wstring& text, const LogicalRect& box, const FontSpec& font,
                Argb colour, unsigned flags) {
    if ((flags & kTextEllipsis) && (flags & kTextSingleLine)) {
        const std::wstring fitted = FittedLine(c, text, box.w, font);
        if (fitted != text) return DrawTextIn(c, fitted, box, font, colour, flags & ~kTextEllipsis);
    }
    // Points to device pixels through the vertical scale: the font grows with the screen exactly as
    // the boxes around it do, whatever resolution the bitmap claims.
    const auto pixels = static_cast<float>(font.points * 96.0 / 72.0 * c.scale.y);
    const Gdiplus::Font& gdiFont = CachedFont(font.face, pixels, font.bold);
    Gdiplus::StringFormat format;
    format.SetAlignment((flags & kTextCenter)  ? Gdiplus::StringAlignmentCenter
                        : (flags & kTextRight) ? Gdiplus::StringAlignmentFar
                                               : Gdiplus::StringAlignmentNear);
    format.SetLineAlignment((flags & kTextVCenter) ? Gdiplus::StringAlignmentCenter
                                                   : Gdiplus::StringAlignmentNear);
    if (flags & kTextEllipsis) format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
    INT formatFlags = 0;
    if (flags & kTextSingleLine) formatFlags |= Gdiplus::StringFormatFlagsNoWrap;
    if (flags & kTextNoClip) formatFlags |= Gdiplus::StringFormatFlagsNoClip;
    format.SetFormatFlags(formatFlags);
    Gdiplus::SolidBrush brush(Use(c, colour, ColourUse::kText));
    c.graphics->DrawString(text.c_str(), static_cast<INT>(text.size()), &gdiFont, Device(c, box), &format,
                           &brush);
}

void DrawFocusFrame(const Canvas& c, const LogicalRect& r, Argb colour) {
    Gdiplus::Pen pen(Use(c, colour, ColourUse::kLine), 1);
    pen.SetDashStyle(Gdiplus::DashStyleDot);
    const Gdiplus::RectF d = Device(c, r);
    c.graphics->DrawRectangle(&pen, d.X, d.Y, d.Width, d.Height);
}

float TextWidth(const Canvas& c, const std::wstring& text, const FontSpec& font) {
    const auto pixels = static_cast<float>(font.points * 96.0 / 72.0 * c.scale.y);
    Gdiplus::StringFormat format;
    format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    Gdiplus::RectF bounds;
    c.graphics->MeasureString(text.c_str(), static_cast<INT>(text.size()), &CachedFont(font.face, pixels, font.bold),
                              Gdiplus::PointF(0, 0), &format, &bounds);
    return c.scale.x > 0 ? static_cast<float>(bounds.Width / c.scale.x) : 0;
}

bool SaveBitmapPng(Gdiplus::Bitmap& bitmap, const std::wstring& path) {
    CLSID png;
    if (!EncoderFor(L"image/png", &png)) return false;
    return bitmap.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

bool CaptureWindowPng(HWND window, const std::wstring& path) {
    RECT rect;
    if (!GetWindowRect(window, &rect)) return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    WindowDc screen(nullptr);
    MemoryDc memory(screen.get());
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    if (!memory.get() || !bitmap.get()) return false;
    {
        Selection selected(memory.get(), bitmap.get());
        // PrintWindow hands the window a DC of this process, which a window of another process
        // cannot draw into (its picture stays black); such a window is copied from the screen.
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        const bool ours = owner == GetCurrentProcessId();
        const BOOL copied =
            ours ? PrintWindow(window, memory.get(), 0)
                 : BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY);
        if (!copied) return false;
    }
    Gdiplus::Bitmap image(bitmap.get(), nullptr);
    return SaveBitmapPng(image, path);
}

void PaintBuffered(HWND window, const Scale& scale, const ClientPaint& paint) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    if (client.right > 0 && client.bottom > 0) {
        MemoryDc memory(dc);
        GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
        Selection selected(memory.get(), bitmap.get());
        {
            Gdiplus::Graphics graphics(memory.get());
            paint(MakeCanvas(graphics, scale), static_cast<float>(client.right / scale.x),
                  static_cast<float>(client.bottom / scale.y));
        }
        BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
    }
    EndPaint(window, &ps);
}
