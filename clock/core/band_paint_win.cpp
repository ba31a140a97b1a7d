// The header band: page colour (shaded while the window is inactive), the tab strip and the
// readout of the current page, and on the settings page the program icon, caption and close button.
#include "clock/core/page_parts_win.h"
#include "clock/core/pages_win.h"

namespace {

constexpr float kBandWidth = 200;  // wider than the 193-pixel window: no seam at any scale
constexpr float kReadoutWidth = 197;
constexpr float kReadoutHeight = 30;
constexpr float kLineHeight = 18;   // each line of the two-line readout
constexpr float kMarkerHeight = 2;  // the white bar under the current tab's caption
constexpr float kMarkerInset = 6;
constexpr Argb kCurrentTabWash = Argb{0x50, 255, 255, 255};

// The settings readout: icon, caption and the round close button.
constexpr float kIconX = 4, kIconDy = 8, kIconSize = 16;
constexpr float kCaptionX = 24, kCaptionDy = 9;
constexpr float kCrossInset = 7;  // the close button's cross, inside its circle
constexpr Argb kCloseHover = OpaqueRgb(232, 17, 35);
constexpr Argb kClosePressed = OpaqueRgb(150, 0, 0);
constexpr Argb kCloseIdle = Argb{0x40, 255, 255, 255};

const unsigned kOneLine = kTextCenter | kTextVCenter | kTextSingleLine;

Rgb BandColour(const BandPaint& band) {
    const Rgb colour = PageColour(band.page);
    return band.active ? colour : InactiveColour(colour);
}

std::vector<PageItem> ItemsOf(const BandPaint& band) {
    PageView view;
    view.page = band.page;
    view.tabsBelow = band.tabsBelow;
    return BandItems(view);
}

void DrawTab(const Canvas& c, const BandPaint& band, Rgb bandColour, int tab) {
    const LogicalRect box = BoxOf(ItemsOf(band), TabItem(tab));
    if (IsHot(band.hotItem, TabItem(tab))) {
        FillRect(c, box, ToArgb(TabHoverColour(bandColour, band.pressState == kPressHeld)));
    } else if (tab == band.page) {
        FillRect(c, box, kCurrentTabWash);
    }
    if (tab == band.page) {
        FillRect(
            c, {box.x + kMarkerInset, box.y + box.h - kMarkerHeight, box.w - 2 * kMarkerInset, kMarkerHeight},
            kWhite);
    }
    DrawTextIn(c, WideFromGbk(TabCaption(tab)), box, YaHei(9), ToArgb(ContrastTextColour(bandColour)), kOneLine);
}

void DrawTabStrip(const Canvas& c, const BandPaint& band, Rgb bandColour) {
    for (int tab = 0; tab < kPageCount; ++tab)
        DrawTab(c, band, bandColour, tab);
}

void DrawTwoLineReadout(const Canvas& c, const Readout& readout, float top) {
    const unsigned flags = kOneLine | kTextEllipsis;
    DrawTextIn(c, WideFromGbk(readout.text), {0, top - 2, kReadoutWidth, kLineHeight}, YaHei(9), kWhite, flags);
    DrawTextIn(c, WideFromGbk(readout.second), {0, top + 13, kReadoutWidth, kLineHeight}, YaHei(9), kWhite, flags);
}

// DrawIconEx through the surface's device context: the one call that draws an icon with its mask
// and alpha the way the shell does, on the double buffer and on a test bitmap alike.
void DrawAppIcon(const Canvas& c, HICON icon, float top) {
    if (icon == nullptr) return;
    HDC dc = c.graphics->GetHDC();
    if (dc == nullptr) return;
    DrawIconEx(dc, ScaleX(c.scale, kIconX), ScaleY(c.scale, top + kIconDy), icon, ScaleX(c.scale, kIconSize),
               ScaleY(c.scale, kIconSize), 0, nullptr, DI_NORMAL);
    c.graphics->ReleaseHDC(dc);
}

void DrawCloseButton(const Canvas& c, const BandPaint& band, const LogicalRect& circle) {
    const bool hot = IsHot(band.hotItem, kCloseItem);
    const Argb fill = !hot ? kCloseIdle : band.pressState == kPressHeld ? kClosePressed : kCloseHover;
    FillEllipse(c, circle, fill);
    const Argb cross = hot ? kWhite : ToArgb(ContrastTextColour(BandColour(band)));
    const float left = circle.x + kCrossInset, right = circle.x + circle.w - kCrossInset;
    const float top = circle.y + kCrossInset, bottom = circle.y + circle.h - kCrossInset;
    DrawLine(c, left, top, right, bottom, cross, 1.5f);
    DrawLine(c, right, top, left, bottom, cross, 1.5f);
}

void DrawCaptionReadout(const Canvas& c, const BandPaint& band, float top) {
    DrawAppIcon(c, band.appIcon, top);
    // The settings band is the one light page colour: white lettering would all but vanish on it.
    const Argb text = ToArgb(ContrastTextColour(BandColour(band)));
    const LogicalRect close = BoxOf(ItemsOf(band), kCloseItem);
    DrawTextIn(c, WideFromGbk(band.readout.text),
               {kCaptionX, top + kCaptionDy, close.x - kCaptionX - 2, kLineHeight}, YaHei(9), text,
               kTextSingleLine | kTextEllipsis);
    DrawCloseButton(c, band, close);
}

void DrawReadout(const Canvas& c, const BandPaint& band) {
    const float top = static_cast<float>(ReadoutTop(band.tabsBelow));
    const LogicalRect box{0, top, kReadoutWidth, kReadoutHeight};
    switch (band.readout.style) {
        case kReadoutLarge:
            DrawTextIn(c, WideFromGbk(band.readout.text), box, Heiti(18), kWhite, kOneLine);
            break;
        case kReadoutSmaller:
            DrawTextIn(c, WideFromGbk(band.readout.text), box, Heiti(14), kWhite, kOneLine | kTextEllipsis);
            break;
        case kReadoutTwoLines:
            DrawTwoLineReadout(c, band.readout, top);
            break;
        case kReadoutCaption:
            DrawCaptionReadout(c, band, top);
            break;
    }
}

}  // namespace

void DrawHeaderBand(const Canvas& c, const BandPaint& band) {
    const Rgb colour = BandColour(band);
    FillRect(c, {0, 0, kBandWidth, kBandHeight}, ToArgb(colour));
    DrawTabStrip(c, band, colour);
    DrawReadout(c, band);
}
