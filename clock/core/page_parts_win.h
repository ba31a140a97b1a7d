// Small drawing pieces that every page of the main window shares: the GBK-to-wide step at the
// drawing call, the greys of the lists, the add header of the list pages, row separators, the
// drag hint with the fade at the window's bottom, and the shapes drawn as strokes (circled plus,
// check mark) so they never depend on a font having the glyph.
#pragma once

#include <string>

#include "clock/core/main_window_rules.h"
#include "forms/canvas_win.h"
#include "forms/wide_win.h"

constexpr float kRowLineLeft = 5;     // separator lines run from x 5 ...
constexpr float kRowLineRight = 187;  // ... to x 187
constexpr float kBottomFade = 10;     // the lowest pixels that fade out when the list runs past them

constexpr Argb kBlack = OpaqueRgb(0, 0, 0);
constexpr Argb kWhite = OpaqueRgb(255, 255, 255);
constexpr Argb kLineGrey = OpaqueRgb(128, 128, 128);
constexpr Argb kHintGrey = OpaqueRgb(160, 160, 160);
constexpr Argb kBlue = OpaqueRgb(0, 0, 255);
constexpr Argb kHoverGreen = OpaqueRgb(160, 255, 160);  // a hovered header or button
constexpr Argb kPressGreen = OpaqueRgb(128, 224, 31);   // ... with the button held

// The font faces the pages ask for; ResolveFontFace stands in when one is not installed.
inline FontSpec YaHei(float points) {
    return FontSpec{L"Microsoft YaHei", points, false};
}
inline FontSpec Heiti(float points, bool bold = false) {
    return FontSpec{L"黑体", points, bold};
}

// The program's picture (the clock, 128 pixels), decoded once from the resources; null when it
// cannot be read.
Gdiplus::Bitmap* ProgramPicture();

inline Argb ToArgb(Rgb c) {
    return OpaqueRgb(c.r, c.g, c.b);
}

inline LogicalRect ToLogical(const LayoutRect& r) {
    return {static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.w),
            static_cast<float>(r.h)};
}

// The box page_layout.h gives the item among items.
inline LogicalRect BoxOf(const std::vector<PageItem>& items, int item) {
    return ToLogical(FindItem(items, item).box);
}

// True when item is the hovered one, and pressed when the left button is held on it as well.
inline bool IsHot(int hotItem, int item) {
    return hotItem != 0 && hotItem == item;
}

// One grey separator across the list at y.
void DrawRowLine(const Canvas& c, float y);

// A plus sign in a 16 x 16 circle with its top-left corner at (x, y), black pen 1.5.
void DrawCircledPlus(const Canvas& c, float x, float y);

// A check mark drawn as two strokes, centred in box.
// A check box's edge, drawn only under high contrast, where its pale fill becomes the background.
void DrawContrastEdge(const Canvas& c, const LogicalRect& box);
void DrawCheckMark(const Canvas& c, const LogicalRect& box, Argb colour, float penWidth);

// The add header of the alarm, birthday and schedule pages, kAddHeaderHeight high from top: hover
// fill, circled plus, caption, the count text, the closing line at its bottom.
struct AddHeader {
    const wchar_t* caption = L"";
    std::string count;  // ListCountText, GBK
    bool hot = false;
    bool pressed = false;
};
void DrawAddHeader(const Canvas& c, float top, float width, const AddHeader& header);

// The hint "可以用鼠标上下拖动" at (5, y), grey. Returns the bottom of its line.
float DrawDragHint(const Canvas& c, float y);

// When the content ends below the window's bottom, the lowest 10 pixels fade into white so the
// cut-off row reads as "more below" rather than as a drawing fault.
void DrawBottomFade(const Canvas& c, float contentBottom, float width, float height);

// The white band under the header that holds the stopwatch and timer buttons (fixed, not
// scrolled), and a rounded button in it: 1-pixel black outline, translucent hover fill.
constexpr Argb kButtonHover = Argb{0xD0, 0x80, 0xE0, 0xE0};
constexpr Argb kButtonPressed = Argb{0xE8, 0x80, 0x80, 0xFF};
void DrawFixedButtonBand(const Canvas& c, float width);
