#include "forms/placement.h"

namespace {

// The start of a span of length size placed at wanted and held within [low, high).
int HeldWithin(int wanted, int size, int low, int high) {
    if (wanted + size > high) wanted = high - size;
    return wanted < low ? low : wanted;
}

}  // namespace

ScreenPoint CentredOver(const ScreenRect& owner, int width, int height, const ScreenRect& workArea) {
    // Halves of the differences, so that a huge owner or window cannot overflow the sum.
    const int x = owner.left + ((owner.right - owner.left) - width) / 2;
    const int y = owner.top + ((owner.bottom - owner.top) - height) / 2;
    return ScreenPoint{HeldWithin(x, width, workArea.left, workArea.right),
                       HeldWithin(y, height, workArea.top, workArea.bottom)};
}
