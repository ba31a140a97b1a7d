#include "forms/placement.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

const ScreenRect kWork{0, 0, 1280, 760};  // a 1280 x 800 screen above a 40-pixel taskbar

}  // namespace

TEST(CentredOver, CentresOverTheOwner) {
    const ScreenPoint p = CentredOver({100, 100, 300, 400}, 100, 50, kWork);
    EXPECT_EQ(p.x, 150);
    EXPECT_EQ(p.y, 225);
    // An owned window larger than its owner still centres (negative half-differences).
    const ScreenPoint big = CentredOver({500, 300, 600, 350}, 300, 200, kWork);
    EXPECT_EQ(big.x, 400);
    EXPECT_EQ(big.y, 225);
}

TEST(CentredOver, StaysInsideTheWorkArea) {
    // The main window at the lower right corner: a box over it would reach under the taskbar.
    const ScreenPoint corner = CentredOver({1087, 460, 1280, 760}, 300, 420, kWork);
    EXPECT_EQ(corner.x, 1280 - 300);
    EXPECT_EQ(corner.y, 760 - 420);
    const ScreenPoint topLeft = CentredOver({-50, -80, 50, 20}, 300, 200, kWork);
    EXPECT_EQ(topLeft.x, 0);
    EXPECT_EQ(topLeft.y, 0);
    // A work area that does not start at 0 (taskbar at the top or left, a second monitor).
    const ScreenPoint shifted =
        CentredOver({1300, 40, 1400, 100}, 200, 100, ScreenRect{1280, 30, 2560, 1024});
    EXPECT_EQ(shifted.x, 1280);
    EXPECT_EQ(shifted.y, 30);
}

TEST(CentredOver, LargerThanTheWorkAreaKeepsTheTopLeftCornerInside) {
    const ScreenPoint p = CentredOver({100, 100, 300, 300}, 2000, 1000, kWork);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
}

TEST(CentredOver, HugeCoordinatesDoNotOverflow) {
    const ScreenPoint p = CentredOver({INT_MAX - 100, INT_MAX - 100, INT_MAX, INT_MAX}, 50, 50,
                                      ScreenRect{INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2});
    EXPECT_EQ(p.x, INT_MAX / 2 - 50);
    EXPECT_EQ(p.y, INT_MAX / 2 - 50);
}
