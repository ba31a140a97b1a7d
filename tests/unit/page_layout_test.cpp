#include "clock/core/page_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "clock/core/main_window_rules.h"
#include "forms/scale.h"

namespace {

// Where the mouse lands, as the window passes it to the hit test, when it points at the middle of
// the pixels box is drawn on at scale.
int HitAtCentre(const PageView& view, const LayoutRect& box, const Scale& scale) {
    const int x = (ScaleX(scale, box.x) + ScaleX(scale, box.x + box.w)) / 2;
    const int y = (ScaleY(scale, box.y) + ScaleY(scale, box.y + box.h)) / 2;
    return HitTest(view, LogicalX(scale, x), LogicalY(scale, y));
}

void ExpectCentresHit(const PageView& view, const std::vector<PageItem>& items, int shownFrom, int dpi) {
    const Scale scale = ScaleFromDpi(dpi, dpi);
    for (const PageItem& item : items) {
        const LayoutRect& box = item.box;
        if (box.w == 0 || 2 * box.y + box.h < 2 * shownFrom) continue;  // not drawn, or covered
        EXPECT_EQ(HitAtCentre(view, box, scale), item.item)
            << "page " << view.page << " scroll " << view.scroll << " tabs below " << view.tabsBelow
            << " reset " << view.stopwatchReset << " at " << dpi << " dpi, box (" << box.x << ", " << box.y
            << ", " << box.w << ", " << box.h << ")";
    }
}

}  // namespace

TEST(PageLayout, CentreOfEveryDrawnItemHitsThatItem) {
    constexpr int kEntries = 3;
    for (int page = 0; page < kPageCount; ++page) {
        for (int notches : {0, -1}) {
            for (int flags = 0; flags < 4; ++flags) {
                PageView view;
                view.page = page;
                view.entryCount = kEntries;
                view.scroll = WheelScroll(page, 0, notches, kEntries - 1);
                view.tabsBelow = (flags & 1) != 0;
                view.stopwatchReset = (flags & 2) != 0;
                for (int dpi : {96, 144}) {
                    ExpectCentresHit(view, BandItems(view), 0, dpi);
                    ExpectCentresHit(view, HeaderItems(view), kBandHeight, dpi);
                    for (int row = 0; row < kEntries; ++row)
                        ExpectCentresHit(view, RowItems(view, row), VisibleRowsTop(page), dpi);
                }
            }
        }
    }
}
