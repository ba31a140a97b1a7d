// One paint of the main window, in the order that lets the fixed band cover a scrolled page.
#include "clock/core/page_parts_win.h"
#include "clock/core/pages_win.h"

namespace {

constexpr float kShadowTop = 48;
constexpr float kShadowHeight = 10;
constexpr Argb kShadowDark = Argb{0x60, 0, 0, 0};
constexpr Argb kShadowClear = Argb{0, 0, 0, 0};

float DrawPage(const Canvas& c, const MainPaint& paint) {
    switch (paint.band.page) {
        case kStopwatchPage:
            return DrawStopwatchPage(c, paint.page);
        case kTimerPage:
            return DrawTimerPage(c, paint.page);
        case kBirthdayPage:
            return DrawBirthdayPage(c, paint.page);
        case kSchedulePage:
            return DrawSchedulePage(c, paint.page);
        case kSettingsPage:
            return DrawSettingsPage(c, paint.page, paint.serviceUnread);
        default:
            return DrawAlarmPage(c, paint.page, paint.now);
    }
}

}  // namespace

float PaintFixedLayer(const Canvas& c, const MainPaint& paint) {
    FillRect(c, {0, 0, paint.page.width, paint.page.height}, kWhite);
    return DrawPage(c, paint);
}

void PaintTimedLayer(const Canvas& c, const MainPaint& paint, float contentBottom) {
    if (paint.band.page == kAlarmPage) DrawAlarmCountdowns(c, paint.page, paint.now);
    DrawBottomFade(c, contentBottom, paint.page.width, paint.page.height);
    DrawHeaderBand(c, paint.band);
    // The shadow tells that rows have slid under the band.
    if (paint.page.scroll < 0) {
        FillVerticalGradient(c, {0, kShadowTop, paint.page.width, kShadowHeight}, kShadowDark, kShadowClear);
    }
    if (paint.focus.w > 0) {
        const Rgb band = ContrastTextColour(PageColour(paint.band.page));
        const Argb colour = paint.focusOnBand ? OpaqueRgb(band.r, band.g, band.b) : kBlack;
        const LayoutRect& f = paint.focus;
        DrawFocusFrame(c, {f.x + 1.0f, f.y + 1.0f, f.w - 2.0f, f.h - 2.0f}, colour);
    }
}

void PaintMainWindow(const Canvas& c, const MainPaint& paint) {
    PaintTimedLayer(c, paint, PaintFixedLayer(c, paint));
}
