#include "forms/placement.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>

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

#include "forms/control_ids.h"

TEST(ControlIds, OneIdPerNameAndIndex) {
    const char* names[] = {"Text1",    "Text2",    "Text3",        "UpDown1", "Check1",
                           "Option1",  "Option2",  "Label1",       "Label2",  "Command1",
                           "Command2", "Command3", "Combo1",       "Combo3",  "DateTimePicker1",
                           "Frame1",   "Frame3",   "ProgressBar1", "Text10"};
    std::set<int> seen;
    for (const char* name : names) {
        for (int index = 0; index < 40; ++index) {
            const int id = ControlIdFor(name, index);
            EXPECT_GE(id, 2000) << name << index;
            EXPECT_LT(id, 8000) << name << index;  // below the programs' WM_COMMAND ids
            EXPECT_TRUE(seen.insert(id).second) << name << " " << index << " repeats an id";
        }
    }
    // "Text1" is not the prefix of "Text10", nor "Option1" of "Option2".
    EXPECT_NE(ControlIdFor("Text1", 0), ControlIdFor("Text10", 0));
}

TEST(ControlIds, NamesOutsideTheSchemeGetNone) {
    EXPECT_EQ(ControlIdFor("Timer1", 0), 0);  // components have ids of their own
    EXPECT_EQ(ControlIdFor("Text", 0), 0);
    EXPECT_EQ(ControlIdFor("Text0", 0), 0);
    EXPECT_EQ(ControlIdFor("Text01", 0), 0);
    EXPECT_EQ(ControlIdFor("Text11", 0), 0);
    EXPECT_EQ(ControlIdFor("Textx", 0), 0);
    EXPECT_EQ(ControlIdFor("Text1", 40), 0);
    EXPECT_EQ(ControlIdFor("Text1", -1), 0);
}
