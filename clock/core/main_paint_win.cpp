// One paint of the main window, in the order that lets the fixed band cover a scrolled page.
#include "clock/core/page_parts_win.h"
#include "clock/core/pages_win.h"

namespace {

constexpr float kShadowTop = 48;
constexpr float kShadowHeight = 10;
constexpr Argb kShadowDark = Argb{0x60, 0, 0, 0};
constexpr Argb kShadowClear = Argb{0, 0, 0, 0};

void DrawPage(const Canvas& c, const MainPaint& paint) {
    switch (paint.band.page) {
        case 1:
            DrawStopwatchPage(c, paint.page);
            break;
        case 2:
            DrawTimerPage(c, paint.page, paint.tickNow);
            break;
        case 3:
            DrawBirthdayPage(c, paint.page);
            break;
        case 4:
            DrawSchedulePage(c, paint.page);
            break;
        case kSettingsPage:
            DrawSettingsPage(c, paint.page, paint.serviceUnread);
            break;
        default:
            DrawAlarmPage(c, paint.page, paint.now);
            break;
    }
}

}  // namespace

void PaintMainWindow(const Canvas& c, const MainPaint& paint) {
    FillRect(c, {0, 0, paint.page.width, paint.page.height}, kWhite);
    DrawPage(c, paint);
    DrawHeaderBand(c, paint.band);
    // The shadow tells that rows have slid under the band.
    if (paint.page.scroll < 0) {
        FillVerticalGradient(c, {0, kShadowTop, paint.page.width, kShadowHeight}, kShadowDark, kShadowClear);
    }
}
